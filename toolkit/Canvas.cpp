/* The device-independent half of the canvas: offset and clip bookkeeping, attributes, the
 * colour table and text metrics. Every call ends in the device's slot. */
#include <stdlib.h>
#include <string.h>

#include "toolkit/XomP.h"

/* ---- creation ---- */

XomCanvas XomCanvasCreate(const XomCanvasOps* ops, void* device, int width, int height,
                          const XomColorTable* colors)
{
    XomCanvas c = (XomCanvas)calloc(1, sizeof(struct _XomCanvasRec));
    c->ops = ops;
    c->device = device;
    c->colors = colors;
    c->width = width;
    c->height = height;
    c->line.style = XomLINE_SOLID;
    c->line.cap = CapButt;
    c->line.join = JoinMiter;
    c->line.dashLength = 4;
    c->fill.style = XomFILL_SOLID;
    return c;
}

void XomCanvasDestroy(XomCanvas c)
{
    if (!c)
        return;
    if (c->ops->destroy)
        c->ops->destroy(c);
    free(c);
}

/* ---- colour table ---- */

XomColorTable* XomCreateColorTable(Widget w)
{
    while (w && !XtIsWidget(w))
        w = XtParent(w);
    XomColorTable* table = (XomColorTable*)calloc(1, sizeof(XomColorTable));
    Display* display = XtDisplay(w);
    Visual* visual = DefaultVisual(display, DefaultScreen(display));
    Colormap colormap = w->core.colormap;
    if (visual->c_class == TrueColor || visual->c_class == DirectColor) {
        table->trueColor = True;
        table->redMask = visual->red_mask;
        table->greenMask = visual->green_mask;
        table->blueMask = visual->blue_mask;
        return table;
    }
    table->count = visual->map_entries;
    table->cells = (XColor*)calloc((size_t)table->count, sizeof(XColor));
    for (int i = 0; i < table->count; i++)
        table->cells[i].pixel = (unsigned long)i;
    XQueryColors(display, colormap, table->cells, table->count);
    return table;
}

void XomDestroyColorTable(XomColorTable* table)
{
    if (!table)
        return;
    free(table->cells);
    free(table);
}

static unsigned char MaskedByte(Pixel pixel, unsigned long mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        shift++;
    unsigned long max = mask >> shift;
    return (unsigned char)(((pixel & mask) >> shift) * 255 / max);
}

void XomCanvasPixelToRgb(XomCanvas c, Pixel pixel, unsigned char rgb[3])
{
    const XomColorTable* t = c->colors;
    if (t && t->trueColor) {
        rgb[0] = MaskedByte(pixel, t->redMask);
        rgb[1] = MaskedByte(pixel, t->greenMask);
        rgb[2] = MaskedByte(pixel, t->blueMask);
    } else if (t && pixel < (Pixel)t->count) {
        rgb[0] = (unsigned char)(t->cells[pixel].red >> 8);
        rgb[1] = (unsigned char)(t->cells[pixel].green >> 8);
        rgb[2] = (unsigned char)(t->cells[pixel].blue >> 8);
    } else {
        rgb[0] = rgb[1] = rgb[2] = (unsigned char)(pixel & 0xff);
    }
}

/* ---- placement and clipping ---- */

void XomCanvasSetOffset(XomCanvas c, int x, int y)
{
    c->offsetX = x;
    c->offsetY = y;
}

void XomCanvasGetOffset(XomCanvas c, int* x, int* y)
{
    *x = c->offsetX;
    *y = c->offsetY;
}

/* Tells the device the clip in force: the caller's clip within the bound. */
static void ApplyClip(XomCanvas c)
{
    if (!c->clipped && !c->bounded) {
        if (c->ops->removeClip)
            c->ops->removeClip(c);
        return;
    }
    XomArea clip = c->clipped ? c->clip : c->bound;
    if (c->clipped && c->bounded)
        XomIntersectAreas(&c->clip, &c->bound, &clip);
    if (c->ops->setClip)
        c->ops->setClip(c, &clip);
}

void XomCanvasSetBound(XomCanvas c, const XomArea* bound)
{
    c->bounded = True;
    c->bound = *bound;
    ApplyClip(c);
}

void XomCanvasSetClip(XomCanvas c, const XomArea* r)
{
    c->clipped = True;
    c->clip = XomArea{r->x + c->offsetX, r->y + c->offsetY, r->width, r->height};
    ApplyClip(c);
}

void XomCanvasRemoveClip(XomCanvas c)
{
    c->clipped = False;
    ApplyClip(c);
}

/* ---- operations ---- */

#define CALL(slot, ...)                                                                            \
    do {                                                                                           \
        if (c->ops->slot)                                                                          \
            c->ops->slot(c, __VA_ARGS__);                                                          \
    } while (0)

static XomArea Shift(XomCanvas c, int x, int y, int width, int height)
{
    return XomArea{x + c->offsetX, y + c->offsetY, width, height};
}

void XomCanvasDoubleBuffer(XomCanvas c, Boolean on)
{
    CALL(doubleBuffer, on);
}

void XomCanvasSwapBuffers(XomCanvas c)
{
    if (c->ops->swapBuffers)
        c->ops->swapBuffers(c);
}

void XomCanvasFlush(XomCanvas c)
{
    if (c->ops->flush)
        c->ops->flush(c);
}

/* One solid box in color through the device's fill, the fill attributes in force kept. */
static void FillSolidBox(XomCanvas c, int x, int y, int width, int height, Pixel color)
{
    if (width <= 0 || height <= 0)
        return;
    XomFillAttributes kept = c->fill;
    c->fill.color = color;
    c->fill.style = XomFILL_SOLID;
    CALL(setFillAttributes, &c->fill);
    XomArea box = {x, y, width, height};
    CALL(fillRectangle, &box);
    c->fill = kept;
    CALL(setFillAttributes, &c->fill);
}

/* Shadowed lines: the first half of the thickness in one colour, the rest in the other;
 * "in" styles swap them, etched styles split a line into a groove or a ridge. */
void XomCanvasLine3D(XomCanvas c, int x1, int y1, int x2, int y2, int thickness, int shadow,
                     Pixel top, Pixel bottom)
{
    if (thickness < 1)
        thickness = 1;
    Boolean in = shadow == XomSHADOW_IN || shadow == XomSHADOW_ETCHED_IN;
    Pixel first = in ? bottom : top, second = in ? top : bottom;
    int half = thickness > 1 ? thickness / 2 : 1;
    int rest = thickness > half ? thickness - half : 1;
    int shift = thickness > 1 ? half : 1;
    Boolean horizontal = y1 == y2;
    int length = horizontal ? abs(x2 - x1) + 1 : abs(y2 - y1) + 1;
    int sx = XomMin(x1, x2) + c->offsetX, sy = XomMin(y1, y2) + c->offsetY;
    if (horizontal) {
        FillSolidBox(c, sx, sy, length, half, first);
        FillSolidBox(c, sx, sy + shift, length, rest, second);
    } else {
        FillSolidBox(c, sx, sy, half, length, first);
        FillSolidBox(c, sx + shift, sy, rest, length, second);
    }
}

void XomCanvasLine(XomCanvas c, int x1, int y1, int x2, int y2)
{
    if (c->line.style != XomLINE_NONE)
        CALL(line, x1 + c->offsetX, y1 + c->offsetY, x2 + c->offsetX, y2 + c->offsetY);
}

void XomCanvasRectangle(XomCanvas c, int x, int y, int width, int height)
{
    XomArea r = Shift(c, x, y, width, height);
    if (c->line.style != XomLINE_NONE && width >= 0 && height >= 0)
        CALL(rectangle, &r);
}

void XomCanvasFillRectangle(XomCanvas c, int x, int y, int width, int height)
{
    XomArea r = Shift(c, x, y, width, height);
    if (c->fill.style != XomFILL_NONE && width > 0 && height > 0)
        CALL(fillRectangle, &r);
}

void XomCanvasRoundRectangle(XomCanvas c, int x, int y, int width, int height, int radius)
{
    XomArea r = Shift(c, x, y, width, height);
    if (c->line.style != XomLINE_NONE && width >= 0 && height >= 0)
        CALL(roundRectangle, &r, radius);
}

void XomCanvasFillRoundRectangle(XomCanvas c, int x, int y, int width, int height, int radius)
{
    XomArea r = Shift(c, x, y, width, height);
    if (c->fill.style != XomFILL_NONE && width > 0 && height > 0)
        CALL(fillRoundRectangle, &r, radius);
}

/* Points moved by the offset, in a buffer that grows as needed. */
static const XomPoint* ShiftPoints(XomCanvas c, const XomPoint* points, int count)
{
    static XomPoint* buffer = NULL;
    static int size = 0;
    if (count > size) {
        buffer = (XomPoint*)realloc(buffer, sizeof(XomPoint) * (size_t)count);
        size = count;
    }
    for (int i = 0; i < count; i++)
        buffer[i] = XomPoint{points[i].x + c->offsetX, points[i].y + c->offsetY};
    return buffer;
}

void XomCanvasPolyline(XomCanvas c, const XomPoint* points, int count)
{
    if (c->line.style != XomLINE_NONE && count > 1)
        CALL(polyline, ShiftPoints(c, points, count), count);
}

void XomCanvasPolygon(XomCanvas c, const XomPoint* points, int count)
{
    if (c->fill.style != XomFILL_NONE && count > 2)
        CALL(polygon, ShiftPoints(c, points, count), count);
}

void XomCanvasTextPolygon(XomCanvas c, int x, int y, const char* text, int length)
{
    if (c->fill.style != XomFILL_NONE && text && length > 0)
        CALL(textPolygon, x + c->offsetX, y + c->offsetY, text, length);
}

void XomCanvasArc(XomCanvas c, int x, int y, int width, int height, int angle1, int angle2)
{
    XomArea box = Shift(c, x, y, width, height);
    if (c->line.style != XomLINE_NONE)
        CALL(arc, &box, angle1, angle2);
}

void XomCanvasFillArc(XomCanvas c, int x, int y, int width, int height, int angle1, int angle2)
{
    XomArea box = Shift(c, x, y, width, height);
    if (c->fill.style != XomFILL_NONE)
        CALL(fillArc, &box, angle1, angle2);
}

void XomCanvasRestrictedText3D(XomCanvas c, const XomArea* box, const char* text, int length,
                               int alignment, Pixel top, Pixel bottom)
{
    XomArea b = Shift(c, box->x, box->y, box->width, box->height);
    if (!text || length <= 0 || !c->ops->pushClip || !c->ops->text || !c->ops->pushClip(c, &b))
        return;
    XomPoint p = XomCanvasAlignText(c, &b, text, length, alignment);
    XomTextAttributes kept = c->text;
    c->text.color = bottom;
    CALL(setTextAttributes, &c->text);
    c->ops->text(c, p.x + 1, p.y + 1, text, length);
    c->text.color = top;
    CALL(setTextAttributes, &c->text);
    c->ops->text(c, p.x, p.y, text, length);
    c->text = kept;
    CALL(setTextAttributes, &c->text);
    if (c->ops->popClip)
        c->ops->popClip(c);
}

void XomCanvasText(XomCanvas c, int x, int y, const char* text, int length)
{
    if (text && length > 0)
        CALL(text, x + c->offsetX, y + c->offsetY, text, length);
}

void XomCanvasRestrictedText(XomCanvas c, const XomArea* box, const char* text, int length,
                             int alignment)
{
    XomArea b = Shift(c, box->x, box->y, box->width, box->height);
    if (text && length > 0)
        CALL(restrictedText, &b, text, length, alignment);
}

void XomCanvasCompoundText(XomCanvas c, const XomArea* box, XmString text, XmFontList fonts,
                           int alignment)
{
    XomArea b = Shift(c, box->x, box->y, box->width, box->height);
    if (text)
        CALL(compoundText, &b, text, fonts, alignment);
}

void XomCanvasImage(XomCanvas c, XImage* image, int srcX, int srcY, int x, int y, int width,
                    int height)
{
    XomArea target = Shift(c, x, y, width, height);
    if (image)
        CALL(image, image, srcX, srcY, &target);
}

void XomCanvasPixmap(XomCanvas c, Pixmap pixmap, int depth, int srcX, int srcY, int x, int y,
                     int width, int height)
{
    XomArea target = Shift(c, x, y, width, height);
    if (pixmap != None)
        CALL(pixmap, pixmap, depth, srcX, srcY, &target);
}

void XomCanvasMappedImage(XomCanvas c, XImage* image, int x, int y, int width, int height)
{
    XomArea target = Shift(c, x, y, width, height);
    if (image)
        CALL(mappedImage, image, &target);
}

void XomCanvasMappedPixmap(XomCanvas c, Pixmap pixmap, int depth, int pixmapWidth, int pixmapHeight,
                           int x, int y, int width, int height)
{
    XomArea target = Shift(c, x, y, width, height);
    if (pixmap != None)
        CALL(mappedPixmap, pixmap, depth, pixmapWidth, pixmapHeight, &target);
}

void XomCanvasSetLineAttributes(XomCanvas c, const XomLineAttributes* line)
{
    c->line = *line;
    CALL(setLineAttributes, &c->line);
}

void XomCanvasSetFillAttributes(XomCanvas c, const XomFillAttributes* fill)
{
    c->fill = *fill;
    CALL(setFillAttributes, &c->fill);
}

void XomCanvasSetTextAttributes(XomCanvas c, const XomTextAttributes* text)
{
    c->text = *text;
    CALL(setTextAttributes, &c->text);
}

void XomCanvasSetColor(XomCanvas c, Pixel color)
{
    XomLineAttributes line = c->line;
    XomFillAttributes fill = c->fill;
    XomTextAttributes text = c->text;
    line.color = fill.color = text.color = color;
    XomCanvasSetLineAttributes(c, &line);
    XomCanvasSetFillAttributes(c, &fill);
    XomCanvasSetTextAttributes(c, &text);
}

void XomCanvasSetFont(XomCanvas c, XFontStruct* font, const char* fontName)
{
    XomTextAttributes text = c->text;
    text.font = font;
    text.fontName = fontName;
    XomCanvasSetTextAttributes(c, &text);
}

/* ---- text metrics ---- */

enum { CELL_WIDTH = 6, CELL_ASCENT = 10, CELL_DESCENT = 3 };

int XomCanvasTextWidth(XomCanvas c, const char* text, int length)
{
    if (!text || length <= 0)
        return 0;
    if (!c->text.font)
        return CELL_WIDTH * length;
    return XTextWidth(c->text.font, text, length);
}

int XomCanvasFontAscent(XomCanvas c)
{
    return c->text.font ? c->text.font->ascent : CELL_ASCENT;
}

int XomCanvasFontDescent(XomCanvas c)
{
    return c->text.font ? c->text.font->descent : CELL_DESCENT;
}

XomPoint XomCanvasAlignText(XomCanvas c, const XomArea* box, const char* text, int length,
                            int alignment)
{
    int width = XomCanvasTextWidth(c, text, length);
    int ascent = XomCanvasFontAscent(c), descent = XomCanvasFontDescent(c);
    XomPoint p;
    switch (XomAlignmentAcross(alignment)) {
    case XomALIGNMENT_CENTER:
        p.x = box->x + (box->width - width) / 2;
        break;
    case XomALIGNMENT_END:
        p.x = box->x + box->width - width;
        break;
    default:
        p.x = box->x;
        break;
    }
    switch (XomAlignmentUpDown(alignment)) {
    case XomALIGNMENT_BEGINNING_TOP:
        p.y = box->y + ascent;
        break;
    case XomALIGNMENT_BEGINNING_BOTTOM:
        p.y = box->y + box->height - descent;
        break;
    default:
        p.y = box->y + (box->height - ascent - descent) / 2 + ascent;
        break;
    }
    return p;
}
