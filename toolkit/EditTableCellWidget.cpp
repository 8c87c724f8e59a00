/* XomEditTable: cell widgets. A child created with "cellWidgetRange" serves that block of
 * cells. It waits off-screen; its cells are painted by the table with the look the display
 * callback gives them, and the widget itself is moved over its cell only while that cell is
 * edited, so that a click on the cell reaches the widget. */
#include <string.h>

#include <Xm/Label.h>
#include <Xm/RowColumn.h>
#include <Xm/ToggleB.h>

#include "toolkit/EditTableP.h"

static XomEditTableConstraintPart* ConstraintOf(Widget child)
{
    return &((XomEditTableConstraintRec*)child->core.constraints)->edit_table;
}

static void ParkOffScreen(Widget child)
{
    XtMoveWidget(child, -(Position)XomMax((int)child->core.width, 1),
                 -(Position)XomMax((int)child->core.height, 1));
}

void _XomEditTableRegisterCellWidget(Widget child)
{
    Widget table = XtParent(child);
    XomEditTableConstraintPart* c = ConstraintOf(child);
    if (!XomIsEditTable(table) || !c->cell_widget_range)
        return;
    EditTableModel& model = XomEditTableModelOf(table);
    const int* range = c->cell_widget_range;
    XomEditTableCellWidget cell = {child, XomMax(range[0], 1), range[1], XomMax(range[2], 1),
                                   range[3]};
    /* A count of 0 reaches to the end. */
    if (cell.rowCount <= 0)
        cell.rowCount = XomMax(model.Rows() - cell.row + 1, 1);
    if (cell.columnCount <= 0)
        cell.columnCount = XomMax(model.Columns() - cell.column + 1, 1);
    c->cell_widget_range = NULL; /* the caller's array is not ours to keep */
    XomEditTable(table)->state->cellWidgets.push_back(cell);
    if (XmIsRowColumn(child)) {
        unsigned char type = 0;
        XtVaGetValues(child, XmNrowColumnType, &type, NULL);
        if (type == XmMENU_OPTION)
            XtVaSetValues(child, XmNmarginWidth, 0, XmNmarginHeight, 0, XmNspacing, 0, NULL);
    }
    /* Keys pressed in the widget move on through the table (the actions find the table as
     * the widget's parent); the widget's own bindings come first. */
    if (c->cell_widget_override_translations)
        XtAugmentTranslations(child, XtParseTranslationTable(_xomEditTableTranslations));
    ParkOffScreen(child);
}

void _XomEditTableUnregisterCellWidget(Widget child)
{
    Widget table = XtParent(child);
    if (!XomIsEditTable(table) || !XomEditTable(table)->state)
        return;
    XomEditTableState* s = XomEditTable(table)->state;
    for (size_t i = 0; i < s->cellWidgets.size(); i++)
        if (s->cellWidgets[i].widget == child) {
            s->cellWidgets.erase(s->cellWidgets.begin() + (long)i);
            break;
        }
    if (s->editedWidget == child)
        s->editedWidget = NULL;
}

const XomEditTableCellWidget* _XomEditTableFindCellWidget(Widget w, int column, int row)
{
    for (const XomEditTableCellWidget& cell : XomEditTable(w)->state->cellWidgets)
        if (row >= cell.row && row < cell.row + cell.rowCount && column >= cell.column
            && column < cell.column + cell.columnCount)
            return &cell;
    return NULL;
}

/* The cell's look, offered to the display callback, then given to the widget. */
static XomEditTableCellAttributes Attributes(Widget w, int column, int row)
{
    XomEditTablePart* et = XomEditTable(w);
    EditTableModel& model = et->state->model;
    const char* text = model.CellText(column, row);
    Pixel background = model.CellBackground(column, row);
    Pixel foreground = model.CellForeground(column, row);
    XomEditTableCellAttributes a;
    a.text = (String)(text ? text : "");
    a.font = _XomEditTableCellFont(w, column);
    a.background = background != XomNO_PIXEL ? background : w->core.background_pixel;
    a.foreground = foreground != XomNO_PIXEL ? foreground : et->table_foreground;
    a.alignment = XomAlignmentAcross(model.ColumnAlignment(column));
    a.editable = model.ColumnEditMode(column) == XomCOLUMN_EDITABLE;
    return a;
}

static void SetResources(const XomEditTableCellWidget* cell, const XomEditTableCellAttributes& a)
{
    Widget child = cell->widget;
    if (!ConstraintOf(child)->cell_widget_set_resources)
        return;
    XtVaSetValues(child, XmNbackground, a.background, XmNforeground, a.foreground, XmNsensitive,
                  (Boolean)a.editable, NULL);
    if (XmIsLabel(child)) {
        XmString label = XmStringCreateLocalized(a.text);
        XtVaSetValues(child, XmNlabelString, label, XmNalignment,
                      (unsigned char)(a.alignment == 1       ? XmALIGNMENT_CENTER
                                          : a.alignment == 2 ? XmALIGNMENT_END
                                                             : XmALIGNMENT_BEGINNING),
                      NULL);
        XmStringFree(label);
    }
}

/* Paints the widget's likeness into the cell: a toggle's indicator and its label. */
void _XomEditTablePaintCellWidget(Widget w, const XomEditTableCellWidget* cell, XomCanvas canvas,
                                  const XomArea* box, int column, int row)
{
    XomEditTableCellAttributes a = Attributes(w, column, row);
    XomEditTableCellWidgetCallbackStruct data = {
        XomCR_CELL_WIDGET_DISPLAY, NULL, row, column, cell->widget, a};
    XtCallCallbacks(w, (String)XomNcellWidgetDisplayCallback, &data);
    a = data.attributes;
    if (XomEditTable(w)->state->editedWidget != cell->widget)
        SetResources(cell, a);

    XomEditTablePart* et = XomEditTable(w);
    XomArea inner = {box->x + et->horizontal_cell_margin, box->y + et->vertical_cell_margin,
                     box->width - 2 * et->horizontal_cell_margin,
                     box->height - 2 * et->vertical_cell_margin};
    if (XmIsToggleButton(cell->widget)) {
        int size = XomMin(inner.height, 13);
        int y = inner.y + (inner.height - size) / 2;
        XomLineAttributes line = canvas->line;
        line.color = a.foreground;
        line.width = 1;
        line.style = XomLINE_SOLID;
        XomCanvasSetLineAttributes(canvas, &line);
        XomCanvasRectangle(canvas, inner.x, y, size - 1, size - 1);
        if (XmToggleButtonGetState(cell->widget)) {
            XomFillAttributes fill = canvas->fill;
            fill.style = XomFILL_SOLID;
            fill.color = a.foreground;
            XomCanvasSetFillAttributes(canvas, &fill);
            XomCanvasFillRectangle(canvas, inner.x + 3, y + 3, size - 6, size - 6);
        }
        inner.x += size + et->horizontal_cell_margin;
        inner.width -= size + et->horizontal_cell_margin;
    }
    if (*a.text && inner.width > 0) {
        XomCanvasSetFont(canvas, a.font, et->table_font);
        XomTextAttributes text = canvas->text;
        text.color = a.foreground;
        XomCanvasSetTextAttributes(canvas, &text);
        XomCanvasRestrictedText(canvas, &inner, a.text, (int)strlen(a.text), a.alignment);
    }
}

/* Shows the widget over its cell and hands it the event that started the edit. */
void _XomEditTableEditCellWidget(Widget w, XEvent* event, int column, int row)
{
    XomEditTableState* s = XomEditTable(w)->state;
    const XomEditTableCellWidget* cell = _XomEditTableFindCellWidget(w, column, row);
    XomArea box;
    if (!cell || !_XomEditTableCellBox(w, column, row, &box))
        return;
    if (s->editedWidget && s->editedWidget != cell->widget)
        _XomEditTableEndCellEdit(w, NULL);
    Widget child = cell->widget;
    SetResources(cell, Attributes(w, column, row));
    XtConfigureWidget(child, (Position)box.x, (Position)box.y, (Dimension)XomMax(box.width, 1),
                      (Dimension)XomMax(box.height, 1), 0);
    if (!XtIsManaged(child))
        XtManageChild(child);
    s->editedWidget = child;
    if (event && event->type == ButtonPress && XtIsRealized(child)) {
        XEvent press = *event;
        press.xbutton.window = XtWindow(child);
        press.xbutton.x -= box.x;
        press.xbutton.y -= box.y;
        XtDispatchEvent(&press);
    }
}

/* Hands a button release to the edited widget (the press went to the table, so the release
 * does too); the widget stays over its cell until the cell pointer leaves it. */
void _XomEditTableEndCellEdit(Widget w, XEvent* event)
{
    XomEditTableState* s = XomEditTable(w)->state;
    EditTableModel& model = s->model;
    Widget child = s->editedWidget;
    if (!child)
        return;
    if (event && event->type == ButtonRelease && event->xbutton.window == XtWindow(w)
        && XtIsRealized(child)) {
        XEvent release = *event;
        release.xbutton.window = XtWindow(child);
        release.xbutton.x -= child->core.x;
        release.xbutton.y -= child->core.y;
        XtDispatchEvent(&release);
    }
    const XomEditTableCellWidget* cell =
        _XomEditTableFindCellWidget(w, model.pointerColumn, model.pointerRow);
    if (!cell || cell->widget != child)
        _XomEditTableStopCellEdit(w);
}

void _XomEditTableStopCellEdit(Widget w)
{
    XomEditTableState* s = XomEditTable(w)->state;
    if (s->editedWidget)
        ParkOffScreen(s->editedWidget);
    s->editedWidget = NULL;
}
