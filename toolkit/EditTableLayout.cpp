/* XomEditTable: fonts, sizes and positions. Rows all have one height, so a row's place is
 * arithmetic while no row is hidden; with hidden rows a table of row positions is kept. The
 * scroll origin is the content pixel of the scrolling cells at the cell area's corner. */
#include <string.h>

#include <algorithm>

#include "toolkit/EditTableP.h"
#include "toolkit/Scroll.h"

/* ---- fonts ---- */

void _XomEditTableLoadFonts(Widget w)
{
    XomEditTablePart* et = XomEditTable(w);
    XomEditTableState* s = et->state;
    Display* display = XtDisplay(w);
    s->tableFont = XomLoadFont(display, et->table_font ? et->table_font : "fixed");
    s->columnFont = et->column_annotation_font ? XomLoadFont(display, et->column_annotation_font)
                                               : s->tableFont;
    s->rowFont =
        et->row_annotation_font ? XomLoadFont(display, et->row_annotation_font) : s->tableFont;
    s->fontTable.clear();
    s->fontTableNames.clear();
    if (et->font_table) {
        std::string all = et->font_table;
        size_t start = 0;
        while (start <= all.size()) {
            size_t end = all.find('\t', start);
            if (end == std::string::npos)
                end = all.size();
            std::string name = all.substr(start, end - start);
            if (!name.empty()) {
                s->fontTableNames.push_back(name);
                s->fontTable.push_back(XomLoadFont(display, name.c_str()));
            }
            start = end + 1;
        }
    }
    s->layoutValid = false;
}

XFontStruct* _XomEditTableCellFont(Widget w, int column)
{
    XomEditTableState* s = XomEditTable(w)->state;
    int index = s->model.ColumnFont(column);
    /* Index 0 is the table's own font; the others pick from "fontTable". */
    if (index > 0 && index <= (int)s->fontTable.size())
        return s->fontTable[index - 1];
    return s->tableFont;
}

static int FontHeight(const XFontStruct* font)
{
    return font ? font->ascent + font->descent : 13;
}

static int TextWidth(XFontStruct* font, const std::string& text)
{
    return font ? XTextWidth(font, text.data(), (int)text.size()) : 6 * (int)text.size();
}

/* ---- layout ---- */

static bool InScrollContainer(Widget w)
{
    return XomIsScroll(XtParent(w));
}

/* Tells a scroll container the size of everything: the container's scroll position is then
 * the table's origin. Headings and frozen columns stay in place because the table paints
 * them itself, so the container's bands stay empty. */
static void ReportContent(Widget w)
{
    if (!InScrollContainer(w))
        return;
    XomEditTableState* s = XomEditTable(w)->state;
    const XomEditTableGeometry& g = s->geometry;
    XomScrollContent content = {};
    content.width = g.scrollLeft + g.contentWidth;
    content.height = g.cellTop + g.contentHeight;
    content.horizontalIncrement = 20;
    content.verticalIncrement = XomMax(g.rowHeight, 1);
    if (s->reportedWidth == content.width && s->reportedHeight == content.height
        && s->reportedStep == content.verticalIncrement)
        return;
    s->reportedWidth = content.width;
    s->reportedHeight = content.height;
    s->reportedStep = content.verticalIncrement;
    XomScrollSetContent(XtParent(w), &content);
}

void _XomEditTableSetOrigin(Widget w, int x, int y)
{
    if (InScrollContainer(w))
        XomScrollSetPosition(XtParent(w), x, y);
    else
        XomCompBaseSetOrigin(w, x, y);
}

/* The margins around the headings and cells. */
static void Margins(Widget w, int* left, int* right, int* top, int* bottom)
{
    XomCompBaseGetMargins(w, left, right, top, bottom);
    if (InScrollContainer(w)) {
        /* The container draws the frame and keeps the outer space. */
        *left = *right = *bottom = 0;
        *top = XomCompBaseTitleHeight(w);
    }
}

/* Positions in the content: rows times their height can pass what an int holds (a table
 * of millions of tall rows), so they are reckoned wider and held at XOM_CONTENT_MAX, which
 * leaves room for the headings and margins added to them. */
static int Saturated(long long pixels)
{
    return pixels > XOM_CONTENT_MAX ? XOM_CONTENT_MAX : pixels < 0 ? 0 : (int)pixels;
}

int _XomEditTableRowTop(const XomEditTableGeometry& g, int row)
{
    if (!g.rowY.empty() && row >= 0 && (size_t)row < g.rowY.size())
        return g.rowY[row];
    return Saturated((long long)(row - 1) * g.rowHeight);
}

static int GridWidth(const XomEditTablePart* et)
{
    return XomMax(et->grid_line_width, 0);
}

static int ColumnPixels(Widget w, int column)
{
    XomEditTablePart* et = XomEditTable(w);
    XomEditTableState* s = et->state;
    EditTableModel& model = s->model;
    int margins = 2 * et->horizontal_cell_margin + GridWidth(et);
    int width = model.ColumnWidth(column);
    if (width != XomSIZE_UNSET) {
        if (et->cell_size_unit == XomUNIT_PIXEL)
            return XomMax(width, 0);
        const char* ref = et->reference_char && *et->reference_char ? et->reference_char : "W";
        return width * TextWidth(s->tableFont, std::string(ref, 1)) + margins;
    }
    /* Fit the heading and every visible cell's text and pixmap; the cells of a table whose
     * owner gives them are not all asked for: the heading alone sets the width. */
    XFontStruct* font = _XomEditTableCellFont(w, column);
    int widest = TextWidth(s->columnFont, model.ColumnAnnotation(column));
    for (int r = 1; r <= model.Rows() && !et->cell_source; r++) {
        if (model.RowHidden(r))
            continue;
        const char* text = model.CellText(column, r);
        if (text)
            widest = XomMax(widest, TextWidth(font, text));
        Pixmap pixmap = model.CellPixmap(column, r);
        if (pixmap) {
            Window root;
            int x, y;
            unsigned int pw, ph, border, depth;
            if (XGetGeometry(XtDisplay(w), pixmap, &root, &x, &y, &pw, &ph, &border, &depth))
                widest = XomMax(widest, (int)pw);
        }
    }
    return widest + margins;
}

static int RowPixels(Widget w)
{
    XomEditTablePart* et = XomEditTable(w);
    XomEditTableState* s = et->state;
    int tallest = FontHeight(s->tableFont);
    for (XFontStruct* f : s->fontTable)
        tallest = XomMax(tallest, FontHeight(f));
    int margins = 2 * et->vertical_cell_margin + GridWidth(et);
    int height = et->default_cell_height;
    if (height == XomSIZE_UNSET)
        return tallest + margins;
    if (et->cell_size_unit == XomUNIT_PIXEL)
        return XomMax(height, 1);
    return XomMax(height, 1) * tallest + margins;
}

void _XomEditTableLayout(Widget w)
{
    XomEditTablePart* et = XomEditTable(w);
    XomEditTableState* s = et->state;
    EditTableModel& model = s->model;
    XomEditTableGeometry& g = s->geometry;
    XomCompBasePart* cb = XomCompBase(w);
    int left, right, top, bottom;
    Margins(w, &left, &right, &top, &bottom);
    int grid = GridWidth(et);

    g.columnHeadingHeight = cb->horizontal_annotation_placement & XomPLACEMENT_TOP
        ? FontHeight(s->columnFont) + 2 * et->vertical_cell_margin + grid
        : 0;
    g.rowHeadingWidth = 0;
    if (cb->vertical_annotation_placement & XomPLACEMENT_LEFT) {
        int widest = TextWidth(s->rowFont, std::to_string(XomMax(model.Rows(), 1)));
        if (!et->automatic_row_annotation)
            for (int r = 1; r <= model.Rows(); r++)
                widest = XomMax(widest, TextWidth(s->rowFont, model.RowAnnotation(r)));
        g.rowHeadingWidth = widest + 2 * et->horizontal_cell_margin + grid;
    }
    g.cellLeft = left + g.rowHeadingWidth;
    g.cellTop = top + g.columnHeadingHeight;
    g.rowHeight = RowPixels(w);

    int columns = model.Columns();
    g.columnWidth.assign((size_t)columns + 1, 0);
    g.columnX.assign((size_t)columns + 1, 0);
    g.frozenWidth = 0;
    g.contentWidth = 0;
    for (int c = 1; c <= columns; c++) {
        if (model.ColumnHidden(c))
            continue;
        g.columnWidth[c] = ColumnPixels(w, c);
        if (model.ColumnFrozen(c)) {
            g.columnX[c] = Saturated((long long)g.cellLeft + g.frozenWidth);
            g.frozenWidth = Saturated((long long)g.frozenWidth + g.columnWidth[c]);
        } else {
            g.columnX[c] = g.contentWidth;
            g.contentWidth = Saturated((long long)g.contentWidth + g.columnWidth[c]);
        }
    }
    g.scrollLeft = g.cellLeft + g.frozenWidth;

    g.rowY.clear();
    int visibleRows = model.Rows();
    bool anyHidden = false;
    for (int r = 1; r <= model.Rows() && !anyHidden; r++)
        anyHidden = model.RowHidden(r);
    if (anyHidden) {
        g.rowY.assign((size_t)model.Rows() + 2, 0);
        long long y = 0;
        visibleRows = 0;
        for (int r = 1; r <= model.Rows(); r++) {
            g.rowY[r] = Saturated(y);
            if (!model.RowHidden(r)) {
                y += g.rowHeight;
                visibleRows++;
            }
        }
        g.rowY[model.Rows() + 1] = Saturated(y);
    }
    g.contentHeight = Saturated((long long)visibleRows * g.rowHeight);
    g.scrollWidth = XomMax((int)w->core.width - right - g.scrollLeft, 0);
    g.viewWidth = g.scrollWidth;
    g.viewHeight = XomMax((int)w->core.height - bottom - g.cellTop, 0);
    s->layoutValid = true;
    ReportContent(w);
}

const XomEditTableGeometry& _XomEditTableGeometryOf(Widget w)
{
    XomEditTableState* s = XomEditTable(w)->state;
    if (!s->layoutValid)
        _XomEditTableLayout(w);
    return s->geometry;
}

void _XomEditTableOrigin(Widget w, int* x, int* y)
{
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    XomCompBaseGetOrigin(w, x, y);
    *x = XomMax(0, XomMin(*x, g.contentWidth - g.viewWidth));
    *y = XomMax(0, XomMin(*y, g.contentHeight - g.viewHeight));
}

bool _XomEditTableCellBox(Widget w, int column, int row, XomArea* box)
{
    EditTableModel& model = XomEditTableModelOf(w);
    if (column < 1 || row < 1 || column > model.Columns() || row > model.Rows()
        || model.ColumnHidden(column) || model.RowHidden(row))
        return false;
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    int ox, oy;
    _XomEditTableOrigin(w, &ox, &oy);
    box->width = g.columnWidth[column];
    box->height = g.rowHeight;
    box->x = model.ColumnFrozen(column) ? g.columnX[column] : g.scrollLeft + g.columnX[column] - ox;
    box->y = g.cellTop + _XomEditTableRowTop(g, row) - oy;
    return true;
}

/* The visible column at window x (frozen or scrolled into view), or 0. */
static int ColumnAt(Widget w, int x)
{
    EditTableModel& model = XomEditTableModelOf(w);
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    if (x < g.cellLeft || x >= g.scrollLeft + g.scrollWidth)
        return 0;
    int ox, oy;
    _XomEditTableOrigin(w, &ox, &oy);
    for (int i = 1; i <= model.Columns(); i++) {
        if (!g.columnWidth[i])
            continue;
        bool frozen = model.ColumnFrozen(i);
        int left = frozen ? g.columnX[i] : g.scrollLeft + g.columnX[i] - ox;
        if (!frozen && x < g.scrollLeft)
            continue;
        if (x >= left && x < left + g.columnWidth[i])
            return i;
    }
    return 0;
}

bool _XomEditTableHeadingAt(Widget w, int x, int y, int* column)
{
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    if (!g.columnHeadingHeight || y < g.cellTop - g.columnHeadingHeight || y >= g.cellTop)
        return false;
    *column = ColumnAt(w, x);
    return *column != 0;
}

bool _XomEditTableCellAt(Widget w, int x, int y, int* column, int* row)
{
    EditTableModel& model = XomEditTableModelOf(w);
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    if (y < g.cellTop || y >= g.cellTop + g.viewHeight || x < g.cellLeft
        || x >= g.scrollLeft + g.scrollWidth || g.rowHeight <= 0)
        return false;
    int ox, oy;
    _XomEditTableOrigin(w, &ox, &oy);
    int cy = y - g.cellTop + oy;
    int r;
    if (g.rowY.empty()) {
        r = cy / g.rowHeight + 1;
    } else {
        /* The last row whose top is at or above cy, skipping hidden rows (same top). */
        auto it = std::upper_bound(g.rowY.begin() + 1, g.rowY.begin() + model.Rows() + 1, cy);
        r = (int)(it - g.rowY.begin()) - 1;
        while (r >= 1 && model.RowHidden(r))
            r--;
    }
    if (r < 1 || r > model.Rows() || cy >= g.contentHeight)
        return false;
    int c = ColumnAt(w, x);
    if (!c)
        return false;
    *column = c;
    *row = r;
    return true;
}

void _XomEditTableShowCell(Widget w, int column, int row)
{
    EditTableModel& model = XomEditTableModelOf(w);
    if (column < 1 || row < 1 || column > model.Columns() || row > model.Rows())
        return;
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    int ox, oy;
    _XomEditTableOrigin(w, &ox, &oy);
    int top = _XomEditTableRowTop(g, row);
    if (top < oy)
        oy = top;
    else if (top + g.rowHeight > oy + g.viewHeight)
        oy = top + g.rowHeight - g.viewHeight;
    if (!model.ColumnFrozen(column)) {
        int left = g.columnX[column];
        if (left < ox)
            ox = left;
        else if (left + g.columnWidth[column] > ox + g.viewWidth)
            ox = XomMin(left, left + g.columnWidth[column] - g.viewWidth);
    }
    _XomEditTableSetOrigin(w, ox, oy);
}
