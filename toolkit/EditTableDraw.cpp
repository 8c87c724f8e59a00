/* XomEditTable: painting through the canvas. Only the rows and columns that meet the area
 * asked for are painted, so a repaint costs the same with 100 rows as with 100,000. The
 * draw method works in the window's pixels: it takes back the scroll origin that the base
 * put into the canvas offset, and applies it only to the scrolling cells. */
#include <string.h>

#include <algorithm>

#include "toolkit/EditTableP.h"

namespace {

void Fill(XomCanvas canvas, Pixel color, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    XomFillAttributes fill = canvas->fill;
    fill.style = XomFILL_SOLID;
    fill.color = color;
    XomCanvasSetFillAttributes(canvas, &fill);
    XomCanvasFillRectangle(canvas, x, y, width, height);
}

/* A frame of the given thickness inside box. */
void Frame(XomCanvas canvas, Pixel color, const XomArea& box, int thickness)
{
    thickness = XomMin(thickness, XomMin(box.width, box.height) / 2);
    if (thickness <= 0)
        return;
    Fill(canvas, color, box.x, box.y, box.width, thickness);
    Fill(canvas, color, box.x, box.y + box.height - thickness, box.width, thickness);
    Fill(canvas, color, box.x, box.y, thickness, box.height);
    Fill(canvas, color, box.x + box.width - thickness, box.y, thickness, box.height);
}

/* The grid lines of one cell or heading: shadow styles light one side and darken the other
 * (shadow in the other way round), a third of the width each, at least one pixel; the
 * other styles draw the right and bottom edges in the grid colour. */
void Grid(Widget w, XomCanvas canvas, const XomArea& box)
{
    XomEditTablePart* et = XomEditTable(w);
    int width = et->grid_line_width;
    if (width <= 0)
        return;
    XmManagerPart* m = &((XmManagerWidget)w)->manager;
    int style = et->grid_line_style;
    if (style == XomGRID_LINE_SHADOW_IN || style == XomGRID_LINE_SHADOW_OUT) {
        int t = XomMax(width / 3, 1);
        Pixel light =
            style == XomGRID_LINE_SHADOW_OUT ? m->top_shadow_color : m->bottom_shadow_color;
        Pixel dark =
            style == XomGRID_LINE_SHADOW_OUT ? m->bottom_shadow_color : m->top_shadow_color;
        Fill(canvas, light, box.x, box.y, box.width, t);
        Fill(canvas, light, box.x, box.y, t, box.height);
        Fill(canvas, dark, box.x, box.y + box.height - t, box.width, t);
        Fill(canvas, dark, box.x + box.width - t, box.y, t, box.height);
        return;
    }
    Fill(canvas, et->grid_line_foreground, box.x, box.y + box.height - width, box.width, width);
    Fill(canvas, et->grid_line_foreground, box.x + box.width - width, box.y, width, box.height);
}

/* The box inside the grid lines and the cell margins. */
XomArea Inner(const XomEditTablePart* et, const XomArea& box)
{
    int g = XomMax(et->grid_line_width, 0);
    int t = et->grid_line_style >= XomGRID_LINE_SHADOW_IN ? XomMax(g / 3, 1) : 0;
    XomArea inner = {box.x + t + et->horizontal_cell_margin, box.y + t + et->vertical_cell_margin,
                     box.width - g - t - 2 * et->horizontal_cell_margin,
                     box.height - g - t - 2 * et->vertical_cell_margin};
    return inner;
}

void Text(XomCanvas canvas, XFontStruct* font, const char* name, Pixel color, const XomArea& box,
          const char* text, int alignment)
{
    if (!text || !*text || box.width <= 0 || box.height <= 0)
        return;
    XomCanvasSetFont(canvas, font, name);
    XomTextAttributes attributes = canvas->text;
    attributes.color = color;
    XomCanvasSetTextAttributes(canvas, &attributes);
    XomCanvasRestrictedText(canvas, &box, text, (int)strlen(text), XomAlignmentAcross(alignment));
}

const XomEditTableState::PixmapSize& PixmapSizeOf(Widget w, Pixmap pixmap)
{
    XomEditTableState* s = XomEditTable(w)->state;
    auto found = s->pixmapSizes.find(pixmap);
    if (found != s->pixmapSizes.end())
        return found->second;
    XomEditTableState::PixmapSize size = {0, 0, 0};
    Window root;
    int x, y;
    unsigned int width, height, border, depth;
    if (XGetGeometry(XtDisplay(w), pixmap, &root, &x, &y, &width, &height, &border, &depth))
        size = {(int)width, (int)height, (int)depth};
    return s->pixmapSizes[pixmap] = size;
}

const char* FontName(Widget w, int column)
{
    XomEditTablePart* et = XomEditTable(w);
    int index = et->state->model.ColumnFont(column);
    if (index > 0 && index <= (int)et->state->fontTableNames.size())
        return et->state->fontTableNames[index - 1].c_str();
    return et->table_font;
}

/* One cell, in the order: background, cell widget, pixmap, grid lines, text, cell pointer. */
void PaintCell(Widget w, XomCanvas canvas, int column, int row, const XomArea& box)
{
    XomEditTablePart* et = XomEditTable(w);
    EditTableModel& model = et->state->model;
    bool selected = model.IsSelected(column, row);
    Pixel own = model.CellBackground(column, row);
    Pixel background = selected ? et->cell_highlight_color
        : own != XomNO_PIXEL    ? own
                                : w->core.background_pixel;
    Fill(canvas, background, box.x, box.y, box.width, box.height);

    XomArea inner = Inner(et, box);
    const XomEditTableCellWidget* cell = _XomEditTableFindCellWidget(w, column, row);
    if (cell)
        _XomEditTablePaintCellWidget(w, cell, canvas, &box, column, row);

    Pixmap pixmap = model.CellPixmap(column, row);
    if (pixmap) {
        const XomEditTableState::PixmapSize& size = PixmapSizeOf(w, pixmap);
        int width = XomMin(size.width, box.width), height = XomMin(size.height, box.height);
        int y = box.y + (box.height - height) / 2;
        int x = XomMin(inner.x, box.x + box.width - width);
        if (width > 0 && height > 0)
            XomCanvasPixmap(canvas, pixmap, size.depth, 0, (size.height - height) / 2, x, y, width,
                            height);
        /* The text goes after the pixmap. */
        inner.width -= x + width + et->horizontal_cell_margin - inner.x;
        inner.x = x + width + et->horizontal_cell_margin;
    }

    Grid(w, canvas, box);

    if (!cell) {
        Pixel foreground = model.CellForeground(column, row);
        if (selected)
            foreground = w->core.background_pixel;
        else if (foreground == XomNO_PIXEL)
            foreground = et->table_foreground;
        Text(canvas, _XomEditTableCellFont(w, column), FontName(w, column), foreground, inner,
             model.CellText(column, row), model.ColumnAlignment(column));
    }

    if (et->cell_pointer_border_thickness > 0 && model.pointerColumn == column
        && model.pointerRow == row)
        Frame(canvas, et->cell_pointer_color, box, et->cell_pointer_border_thickness);
}

/* The sort arrow at the right end of a column heading: a small triangle pointing up for an
 * ascending order, down for a descending one. */
void PaintSortArrow(Widget w, XomCanvas canvas, const XomArea& box, bool descending)
{
    XmManagerPart* m = &((XmManagerWidget)w)->manager;
    int size = XomMin(XomMin(box.height / 3, 10), box.width / 4);
    if (size < 3)
        return;
    int right = box.x + box.width - XomMax(XomEditTable(w)->horizontal_cell_margin, 2) - 1;
    int left = right - 2 * size, middle = right - size;
    int top = box.y + (box.height - size) / 2, bottom = top + size;
    XomPoint up[3] = {{left, bottom}, {right, bottom}, {middle, top}};
    XomPoint down[3] = {{left, top}, {right, top}, {middle, bottom}};
    XomFillAttributes fill = canvas->fill;
    fill.style = XomFILL_SOLID;
    fill.color = m->foreground;
    XomCanvasSetFillAttributes(canvas, &fill);
    XomCanvasPolygon(canvas, descending ? down : up, 3);
}

void PaintHeading(Widget w, XomCanvas canvas, const XomArea& box, XFontStruct* font,
                  const char* fontName, const std::string& text, int alignment)
{
    XomEditTablePart* et = XomEditTable(w);
    XmManagerPart* m = &((XmManagerWidget)w)->manager;
    Fill(canvas, w->core.background_pixel, box.x, box.y, box.width, box.height);
    /* Headings always look raised, whatever the cells' grid. */
    Fill(canvas, m->top_shadow_color, box.x, box.y, box.width, 1);
    Fill(canvas, m->top_shadow_color, box.x, box.y, 1, box.height);
    Fill(canvas, m->bottom_shadow_color, box.x, box.y + box.height - 1, box.width, 1);
    Fill(canvas, m->bottom_shadow_color, box.x + box.width - 1, box.y, 1, box.height);
    Text(canvas, font, fontName, m->foreground, Inner(et, box), text.c_str(), alignment);
}

/* The visible rows whose boxes meet the window rows top to bottom (exclusive). */
void RowsIn(Widget w, int top, int bottom, int* first, int* last)
{
    EditTableModel& model = XomEditTableModelOf(w);
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    int ox, oy;
    _XomEditTableOrigin(w, &ox, &oy);
    int y0 = XomMax(top, g.cellTop) - g.cellTop + oy, y1 = bottom - g.cellTop + oy;
    *first = 1, *last = 0;
    if (y1 <= y0 || g.rowHeight <= 0 || model.Rows() == 0)
        return;
    if (g.rowY.empty()) {
        *first = y0 / g.rowHeight + 1;
        *last = XomMin((y1 - 1) / g.rowHeight + 1, model.Rows());
        return;
    }
    auto begin = g.rowY.begin() + 1, end = g.rowY.begin() + model.Rows() + 1;
    *first = XomMax((int)(std::upper_bound(begin, end, y0) - g.rowY.begin()) - 1, 1);
    *last = XomMin((int)(std::upper_bound(begin, end, y1 - 1) - g.rowY.begin()) - 1, model.Rows());
}

} // namespace

void _XomEditTableDraw(Widget w, XomCanvas canvas, const XomArea* contentArea)
{
    XomEditTablePart* et = XomEditTable(w);
    EditTableModel& model = et->state->model;
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);

    /* Back to window pixels: the origin applies to the scrolling cells alone. */
    int rawX, rawY, offsetX, offsetY;
    XomCompBaseGetOrigin(w, &rawX, &rawY);
    XomCanvasGetOffset(canvas, &offsetX, &offsetY);
    XomCanvasSetOffset(canvas, offsetX + rawX, offsetY + rawY);
    XomArea area = {contentArea->x - rawX, contentArea->y - rawY, contentArea->width,
                    contentArea->height};
    int ox, oy;
    _XomEditTableOrigin(w, &ox, &oy);

    /* Background and title around the cells; the cells paint their own background. */
    XomArea cells = {g.cellLeft - g.rowHeadingWidth, g.cellTop - g.columnHeadingHeight,
                     g.rowHeadingWidth + g.frozenWidth + XomMin(g.contentWidth - ox, g.scrollWidth),
                     g.columnHeadingHeight + XomMin(g.contentHeight - oy, g.viewHeight)};
    XomArea covered;
    if (!XomIntersectAreas(&area, &cells, &covered) || cells.width <= 0 || cells.height <= 0) {
        (*xomCompBaseClassRec.comp_base_class.draw)(w, canvas, &area);
    } else {
        XomArea parts[4] = {{area.x, area.y, area.width, covered.y - area.y},
                            {area.x, covered.y + covered.height, area.width,
                             area.y + area.height - covered.y - covered.height},
                            {area.x, covered.y, covered.x - area.x, covered.height},
                            {covered.x + covered.width, covered.y,
                             area.x + area.width - covered.x - covered.width, covered.height}};
        for (const XomArea& part : parts)
            if (part.width > 0 && part.height > 0)
                (*xomCompBaseClassRec.comp_base_class.draw)(w, canvas, &part);
    }

    int firstRow, lastRow;
    RowsIn(w, area.y, area.y + area.height, &firstRow, &lastRow);
    XomCanvasSetClip(canvas, &area);

    /* Row headings and the heading corner. */
    if (g.rowHeadingWidth) {
        XomArea strip = {g.cellLeft - g.rowHeadingWidth, g.cellTop, g.rowHeadingWidth,
                         XomMin(g.viewHeight, g.contentHeight)};
        XomArea clip;
        if (XomIntersectAreas(&area, &strip, &clip)) {
            XomCanvasSetClip(canvas, &clip);
            for (int r = firstRow; r <= lastRow; r++) {
                if (model.RowHidden(r))
                    continue;
                int y = g.cellTop + (g.rowY.empty() ? (r - 1) * g.rowHeight : g.rowY[r]) - oy;
                XomArea heading = {strip.x, y, g.rowHeadingWidth, g.rowHeight};
                PaintHeading(w, canvas, heading, et->state->rowFont, et->row_annotation_font,
                             model.RowAnnotation(r), XomALIGNMENT_CENTER);
            }
        }
        if (g.columnHeadingHeight) {
            XomArea corner = {strip.x, g.cellTop - g.columnHeadingHeight, g.rowHeadingWidth,
                              g.columnHeadingHeight};
            XomCanvasSetClip(canvas, &area);
            PaintHeading(w, canvas, corner, et->state->columnFont, et->column_annotation_font, "",
                         0);
        }
    }

    /* Column headings, then cells: scrolling columns clipped to their part, frozen ones
     * over theirs. */
    XomArea scrolling = {g.scrollLeft, g.cellTop - g.columnHeadingHeight, g.scrollWidth,
                         g.viewHeight + g.columnHeadingHeight};
    XomArea frozen = {g.cellLeft, scrolling.y, g.frozenWidth, scrolling.height};
    for (int pass = 0; pass < 2; pass++) {
        XomArea clip;
        if (!XomIntersectAreas(&area, pass ? &frozen : &scrolling, &clip))
            continue;
        /* Headings above, cells below: a row half scrolled away stays under the headings. */
        XomArea headingStrip = {clip.x, g.cellTop - g.columnHeadingHeight, clip.width,
                                g.columnHeadingHeight};
        XomArea cellStrip = {clip.x, g.cellTop, clip.width, g.viewHeight};
        XomArea headingClip, cellClip;
        bool headings =
            g.columnHeadingHeight && XomIntersectAreas(&clip, &headingStrip, &headingClip);
        bool cellsShown = XomIntersectAreas(&clip, &cellStrip, &cellClip);
        for (int c = 1; c <= model.Columns(); c++) {
            if (model.ColumnFrozen(c) != (pass == 1) || !g.columnWidth[c])
                continue;
            int x = pass ? g.columnX[c] : g.scrollLeft + g.columnX[c] - ox;
            if (x >= clip.x + clip.width || x + g.columnWidth[c] <= clip.x)
                continue;
            if (headings) {
                XomCanvasSetClip(canvas, &headingClip);
                XomArea heading = {x, g.cellTop - g.columnHeadingHeight, g.columnWidth[c],
                                   g.columnHeadingHeight};
                PaintHeading(w, canvas, heading, et->state->columnFont, et->column_annotation_font,
                             model.ColumnAnnotation(c), XomALIGNMENT_CENTER);
                if (c == et->sort_indicator_column)
                    PaintSortArrow(w, canvas, heading, et->sort_indicator_descending);
            }
            if (!cellsShown)
                continue;
            XomCanvasSetClip(canvas, &cellClip);
            for (int r = firstRow; r <= lastRow; r++) {
                XomArea box;
                if (_XomEditTableCellBox(w, c, r, &box))
                    PaintCell(w, canvas, c, r, box);
            }
        }
    }
    XomCanvasRemoveClip(canvas);
    XomCanvasSetOffset(canvas, offsetX, offsetY);
}

/* ---- repainting now ---- */

void _XomEditTableRepaintWindow(Widget w, XomArea area)
{
    XomEditTablePart* et = XomEditTable(w);
    if (!XtIsRealized(w) || et->freeze_update || XomEditObjectIsFrozen(w))
        return;
    XomArea window = {0, 0, (int)w->core.width, (int)w->core.height};
    if (!XomIntersectAreas(&area, &window, &area))
        return;
    XomCanvas canvas = XomCreateXCanvas(XtDisplay(w), XtWindow(w), XomCompBase(w)->gc,
                                        w->core.width, w->core.height);
    XomCanvasSetBound(canvas, &area);
    int rawX, rawY;
    XomCompBaseGetOrigin(w, &rawX, &rawY);
    XomCanvasSetOffset(canvas, -rawX, -rawY);
    XomArea content = {area.x + rawX, area.y + rawY, area.width, area.height};
    XomCompBaseDraw(w, canvas, &content);
    XomCanvasDestroy(canvas);
}

void _XomEditTableRepaintAll(Widget w)
{
    _XomEditTableRepaintWindow(w, XomArea{0, 0, (int)w->core.width, (int)w->core.height});
}

void _XomEditTableRepaintCells(Widget w, int column, int columnCount, int row, int rowCount)
{
    EditTableModel& model = XomEditTableModelOf(w);
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    int lastColumn =
        column ? XomMin(column + XomMax(columnCount, 1) - 1, model.Columns()) : model.Columns();
    int lastRow = row ? XomMin(row + XomMax(rowCount, 1) - 1, model.Rows()) : model.Rows();
    column = XomMax(column, 1);
    row = XomMax(row, 1);
    int firstInView, lastInView;
    RowsIn(w, g.cellTop, g.cellTop + g.viewHeight, &firstInView, &lastInView);
    row = XomMax(row, firstInView);
    lastRow = XomMin(lastRow, lastInView);
    int left = 1 << 30, right = -(1 << 30), top = 1 << 30, bottom = -(1 << 30);
    for (int c = column; c <= lastColumn; c++) {
        XomArea first, last;
        if (!_XomEditTableCellBox(w, c, row, &first) || !_XomEditTableCellBox(w, c, lastRow, &last))
            continue;
        left = XomMin(left, first.x);
        right = XomMax(right, first.x + first.width);
        top = XomMin(top, first.y);
        bottom = XomMax(bottom, last.y + last.height);
    }
    if (row > lastRow || left >= right || top >= bottom)
        return;
    /* Only the view: a cell scrolled under a heading or frozen column stays there. */
    XomArea view = {g.cellLeft, g.cellTop, g.frozenWidth + g.scrollWidth, g.viewHeight};
    XomArea block = {left, top, right - left, bottom - top}, shown;
    if (XomIntersectAreas(&block, &view, &shown))
        _XomEditTableRepaintWindow(w, shown);
}
