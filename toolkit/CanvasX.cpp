/* The X device of the canvas: the only toolkit file that calls Xlib's drawing functions.
 * Coordinates arrive as ints that may lie far outside a window; X carries 16-bit ones, so
 * everything is cut to a safe box around the drawable before it is sent. */
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <X11/Xutil.h>
#include <Xm/Xm.h>

#include "toolkit/XomP.h"

namespace {

struct XDevice {
    Display* display;
    Drawable target;   /* the window or pixmap drawn on */
    Drawable drawable; /* target, or the back buffer while double buffering */
    Pixmap back;
    GC gc;
    Pixmap stipple;
    const unsigned char* stippleBits;
    Boolean hasClip;
    XRectangle clip; /* the device clip in force, for temporary narrower ones */
};

/* Everything X is given lies in this box; windows never reach its far edges. */
const XomArea SAFE = {-2048, -2048, 30000 + 2048, 30000 + 2048};

XDevice* Dev(XomCanvas c)
{
    return static_cast<XDevice*>(c->device);
}

Boolean SafeArea(const XomArea* r, XomArea* out)
{
    return XomIntersectAreas(r, &SAFE, out);
}

XRectangle ToX(const XomArea& r)
{
    return XRectangle{(short)r.x, (short)r.y, (unsigned short)r.width, (unsigned short)r.height};
}

Boolean SafePoint(int x, int y)
{
    return x > SAFE.x && y > SAFE.y && x < SAFE.x + SAFE.width && y < SAFE.y + SAFE.height;
}

/* Cuts a segment to the safe box (Liang-Barsky); False when nothing is left. */
Boolean SafeSegment(int* x1, int* y1, int* x2, int* y2)
{
    double t0 = 0, t1 = 1, dx = *x2 - *x1, dy = *y2 - *y1;
    double p[4] = {-dx, dx, -dy, dy};
    double q[4] = {(double)*x1 - SAFE.x, (double)SAFE.x + SAFE.width - *x1, (double)*y1 - SAFE.y,
                   (double)SAFE.y + SAFE.height - *y1};
    for (int i = 0; i < 4; i++) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return False;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0 && t > t0)
            t0 = t;
        if (p[i] > 0 && t < t1)
            t1 = t;
    }
    if (t0 > t1)
        return False;
    int ax = *x1, ay = *y1;
    *x1 = (int)lround(ax + t0 * dx);
    *y1 = (int)lround(ay + t0 * dy);
    *x2 = (int)lround(ax + t1 * dx);
    *y2 = (int)lround(ay + t1 * dy);
    return True;
}

/* ---- slots ---- */

void Destroy(XomCanvas c)
{
    XDevice* d = Dev(c);
    if (d->back)
        XFreePixmap(d->display, d->back);
    if (d->stipple)
        XFreePixmap(d->display, d->stipple);
    XSetClipMask(d->display, d->gc, None);
    delete d;
}

void SetClip(XomCanvas c, const XomArea* clip)
{
    XDevice* d = Dev(c);
    XomArea safe;
    SafeArea(clip, &safe);
    d->clip = ToX(safe);
    d->hasClip = True;
    XSetClipRectangles(d->display, d->gc, 0, 0, &d->clip, 1, Unsorted);
}

void RemoveClip(XomCanvas c)
{
    XDevice* d = Dev(c);
    d->hasClip = False;
    XSetClipMask(d->display, d->gc, None);
}

void SwapBuffers(XomCanvas c)
{
    XDevice* d = Dev(c);
    if (d->back)
        XCopyArea(d->display, d->back, d->target, d->gc, 0, 0, (unsigned)c->width,
                  (unsigned)c->height, 0, 0);
}

void DoubleBuffer(XomCanvas c, Boolean on)
{
    XDevice* d = Dev(c);
    if (on && !d->back && c->width > 0 && c->height > 0) {
        Window root;
        int x, y;
        unsigned width, height, border, depth;
        XGetGeometry(d->display, d->target, &root, &x, &y, &width, &height, &border, &depth);
        d->back =
            XCreatePixmap(d->display, d->target, (unsigned)c->width, (unsigned)c->height, depth);
        d->drawable = d->back;
    } else if (!on && d->back) {
        SwapBuffers(c);
        XFreePixmap(d->display, d->back);
        d->back = None;
        d->drawable = d->target;
    }
}

void Flush(XomCanvas c)
{
    XFlush(Dev(c)->display);
}

void FillBox(XDevice* d, int x, int y, int width, int height)
{
    XomArea r = {x, y, width, height}, safe;
    if (width > 0 && height > 0 && SafeArea(&r, &safe))
        XFillRectangle(d->display, d->drawable, d->gc, safe.x, safe.y, (unsigned)safe.width,
                       (unsigned)safe.height);
}

void Line(XomCanvas c, int x1, int y1, int x2, int y2)
{
    XDevice* d = Dev(c);
    if (SafeSegment(&x1, &y1, &x2, &y2))
        XDrawLine(d->display, d->drawable, d->gc, x1, y1, x2, y2);
}

void Rectangle(XomCanvas c, const XomArea* r)
{
    XDevice* d = Dev(c);
    XomArea safe;
    XomArea grown = {r->x, r->y, r->width + 1, r->height + 1};
    if (!SafeArea(&grown, &safe))
        return;
    if (safe.x == r->x && safe.y == r->y && safe.width == grown.width
        && safe.height == grown.height) {
        XDrawRectangle(d->display, d->drawable, d->gc, r->x, r->y, (unsigned)r->width,
                       (unsigned)r->height);
        return;
    }
    /* Partly outside: the four sides one by one, each cut. */
    Line(c, r->x, r->y, r->x + r->width, r->y);
    Line(c, r->x, r->y + r->height, r->x + r->width, r->y + r->height);
    Line(c, r->x, r->y, r->x, r->y + r->height);
    Line(c, r->x + r->width, r->y, r->x + r->width, r->y + r->height);
}

void FillRectangle(XomCanvas c, const XomArea* r)
{
    XDevice* d = Dev(c);
    XSetForeground(d->display, d->gc, c->fill.color);
    FillBox(d, r->x, r->y, r->width, r->height);
    XSetForeground(d->display, d->gc, c->line.color);
}

void RoundRectangle(XomCanvas c, const XomArea* r, int radius)
{
    XDevice* d = Dev(c);
    if (!SafePoint(r->x, r->y) || !SafePoint(r->x + r->width, r->y + r->height))
        return Rectangle(c, r);
    int a = XomMin(2 * radius, XomMin(r->width, r->height));
    int x = r->x, y = r->y, w = r->width, h = r->height;
    XDrawLine(d->display, d->drawable, d->gc, x + a / 2, y, x + w - a / 2, y);
    XDrawLine(d->display, d->drawable, d->gc, x + a / 2, y + h, x + w - a / 2, y + h);
    XDrawLine(d->display, d->drawable, d->gc, x, y + a / 2, x, y + h - a / 2);
    XDrawLine(d->display, d->drawable, d->gc, x + w, y + a / 2, x + w, y + h - a / 2);
    XDrawArc(d->display, d->drawable, d->gc, x, y, a, a, 90 * 64, 90 * 64);
    XDrawArc(d->display, d->drawable, d->gc, x + w - a, y, a, a, 0, 90 * 64);
    XDrawArc(d->display, d->drawable, d->gc, x, y + h - a, a, a, 180 * 64, 90 * 64);
    XDrawArc(d->display, d->drawable, d->gc, x + w - a, y + h - a, a, a, 270 * 64, 90 * 64);
}

void FillRoundRectangle(XomCanvas c, const XomArea* r, int radius)
{
    XDevice* d = Dev(c);
    if (!SafePoint(r->x, r->y) || !SafePoint(r->x + r->width, r->y + r->height))
        return FillRectangle(c, r);
    int a = XomMin(2 * radius, XomMin(r->width, r->height));
    int x = r->x, y = r->y, w = r->width, h = r->height;
    XSetForeground(d->display, d->gc, c->fill.color);
    XFillRectangle(d->display, d->drawable, d->gc, x + a / 2, y, (unsigned)(w - a), (unsigned)h);
    XFillRectangle(d->display, d->drawable, d->gc, x, y + a / 2, (unsigned)w, (unsigned)(h - a));
    XFillArc(d->display, d->drawable, d->gc, x, y, a, a, 90 * 64, 90 * 64);
    XFillArc(d->display, d->drawable, d->gc, x + w - a, y, a, a, 0, 90 * 64);
    XFillArc(d->display, d->drawable, d->gc, x, y + h - a, a, a, 180 * 64, 90 * 64);
    XFillArc(d->display, d->drawable, d->gc, x + w - a, y + h - a, a, a, 270 * 64, 90 * 64);
    XSetForeground(d->display, d->gc, c->line.color);
}

void Polyline(XomCanvas c, const XomPoint* points, int count)
{
    for (int i = 1; i < count; i++)
        Line(c, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
}

void Polygon(XomCanvas c, const XomPoint* points, int count)
{
    XDevice* d = Dev(c);
    XPoint* xpoints = (XPoint*)malloc(sizeof(XPoint) * (size_t)count);
    for (int i = 0; i < count; i++) {
        int x = XomMax(SAFE.x, XomMin(points[i].x, SAFE.x + SAFE.width));
        int y = XomMax(SAFE.y, XomMin(points[i].y, SAFE.y + SAFE.height));
        xpoints[i] = XPoint{(short)x, (short)y};
    }
    XSetForeground(d->display, d->gc, c->fill.color);
    XFillPolygon(d->display, d->drawable, d->gc, xpoints, count, Complex, CoordModeOrigin);
    XSetForeground(d->display, d->gc, c->line.color);
    free(xpoints);
}

void TextPolygon(XomCanvas c, int x, int y, const char* text, int length)
{
    XDevice* d = Dev(c);
    int ascent = XomCanvasFontAscent(c);
    XSetForeground(d->display, d->gc, c->fill.color);
    FillBox(d, x, y - ascent, XomCanvasTextWidth(c, text, length),
            ascent + XomCanvasFontDescent(c));
    XSetForeground(d->display, d->gc, c->line.color);
}

void Arc(XomCanvas c, const XomArea* box, int angle1, int angle2)
{
    XDevice* d = Dev(c);
    if (SafePoint(box->x, box->y) && SafePoint(box->x + box->width, box->y + box->height))
        XDrawArc(d->display, d->drawable, d->gc, box->x, box->y, (unsigned)box->width,
                 (unsigned)box->height, angle1, angle2);
}

void FillArc(XomCanvas c, const XomArea* box, int angle1, int angle2)
{
    XDevice* d = Dev(c);
    if (!SafePoint(box->x, box->y) || !SafePoint(box->x + box->width, box->y + box->height))
        return;
    XSetForeground(d->display, d->gc, c->fill.color);
    XFillArc(d->display, d->drawable, d->gc, box->x, box->y, (unsigned)box->width,
             (unsigned)box->height, angle1, angle2);
    XSetForeground(d->display, d->gc, c->line.color);
}

void DrawString(XomCanvas c, int x, int y, const char* text, int length, Pixel color)
{
    XDevice* d = Dev(c);
    if (!SafePoint(x, y))
        return;
    XSetForeground(d->display, d->gc, color);
    XDrawString(d->display, d->drawable, d->gc, x, y, text, length);
    XSetForeground(d->display, d->gc, c->line.color);
}

void Text(XomCanvas c, int x, int y, const char* text, int length)
{
    DrawString(c, x, y, text, length, c->text.color);
}

/* Narrows the device clip to box for one drawing, then puts the old one back. */
Boolean PushClip(XomCanvas c, const XomArea* box)
{
    XDevice* d = Dev(c);
    XomArea narrow;
    if (!SafeArea(box, &narrow))
        return False;
    if (d->hasClip) {
        XomArea old = {d->clip.x, d->clip.y, d->clip.width, d->clip.height};
        if (!XomIntersectAreas(&narrow, &old, &narrow))
            return False;
    }
    XRectangle r = ToX(narrow);
    XSetClipRectangles(d->display, d->gc, 0, 0, &r, 1, Unsorted);
    return True;
}

void PopClip(XomCanvas c)
{
    XDevice* d = Dev(c);
    if (d->hasClip)
        XSetClipRectangles(d->display, d->gc, 0, 0, &d->clip, 1, Unsorted);
    else
        XSetClipMask(d->display, d->gc, None);
}

void RestrictedText(XomCanvas c, const XomArea* box, const char* text, int length, int alignment)
{
    if (!PushClip(c, box))
        return;
    XomPoint p = XomCanvasAlignText(c, box, text, length, alignment);
    DrawString(c, p.x, p.y, text, length, c->text.color);
    PopClip(c);
}

void CompoundText(XomCanvas c, const XomArea* box, XmString text, XmFontList fonts, int alignment)
{
    XDevice* d = Dev(c);
    XomArea safe;
    if (!fonts || !SafeArea(box, &safe))
        return;
    unsigned char across = XomAlignmentAcross(alignment) == XomALIGNMENT_CENTER ? XmALIGNMENT_CENTER
        : XomAlignmentAcross(alignment) == XomALIGNMENT_END                     ? XmALIGNMENT_END
                                                            : XmALIGNMENT_BEGINNING;
    int height = (int)XmStringHeight(fonts, text);
    int y = box->y + (box->height - height) / 2;
    if (XomAlignmentUpDown(alignment) == XomALIGNMENT_BEGINNING_TOP)
        y = box->y;
    else if (XomAlignmentUpDown(alignment) == XomALIGNMENT_BEGINNING_BOTTOM)
        y = box->y + box->height - height;
    XRectangle clip = ToX(safe);
    XSetForeground(d->display, d->gc, c->text.color);
    XmStringDraw(d->display, d->drawable, fonts, text, d->gc, (Position)box->x, (Position)y,
                 (Dimension)box->width, across, XmSTRING_DIRECTION_L_TO_R, &clip);
    XSetForeground(d->display, d->gc, c->line.color);
    PopClip(c); /* XmStringDraw leaves its own clip on the gc */
}

void Image(XomCanvas c, XImage* image, int srcX, int srcY, const XomArea* target)
{
    XDevice* d = Dev(c);
    XomArea safe;
    if (!SafeArea(target, &safe))
        return;
    XPutImage(d->display, d->drawable, d->gc, image, srcX + safe.x - target->x,
              srcY + safe.y - target->y, safe.x, safe.y, (unsigned)safe.width,
              (unsigned)safe.height);
}

void PixmapSlot(XomCanvas c, Pixmap pixmap, int depth, int srcX, int srcY, const XomArea* target)
{
    XDevice* d = Dev(c);
    XomArea safe;
    if (!SafeArea(target, &safe))
        return;
    int sx = srcX + safe.x - target->x, sy = srcY + safe.y - target->y;
    if (depth == 1)
        XCopyPlane(d->display, pixmap, d->drawable, d->gc, sx, sy, (unsigned)safe.width,
                   (unsigned)safe.height, safe.x, safe.y, 1);
    else
        XCopyArea(d->display, pixmap, d->drawable, d->gc, sx, sy, (unsigned)safe.width,
                  (unsigned)safe.height, safe.x, safe.y);
}

/* Nearest-neighbour scaling of a whole image to the target's size, then put. */
void MappedImage(XomCanvas c, XImage* image, const XomArea* target)
{
    XDevice* d = Dev(c);
    if (target->width <= 0 || target->height <= 0 || target->width > SAFE.width
        || target->height > SAFE.height)
        return;
    XImage* scaled =
        XCreateImage(d->display, DefaultVisual(d->display, DefaultScreen(d->display)),
                     (unsigned)image->depth, image->format, 0, NULL, (unsigned)target->width,
                     (unsigned)target->height, image->bitmap_pad, 0);
    scaled->data = (char*)calloc((size_t)scaled->bytes_per_line, (size_t)target->height);
    for (int y = 0; y < target->height; y++)
        for (int x = 0; x < target->width; x++)
            XPutPixel(scaled, x, y,
                      XGetPixel(image, x * image->width / target->width,
                                y * image->height / target->height));
    Image(c, scaled, 0, 0, target);
    XDestroyImage(scaled);
}

void MappedPixmap(XomCanvas c, Pixmap pixmap, int depth, int width, int height,
                  const XomArea* target)
{
    XDevice* d = Dev(c);
    if (width <= 0 || height <= 0)
        return;
    XImage* image = XGetImage(d->display, pixmap, 0, 0, (unsigned)width, (unsigned)height,
                              AllPlanes, depth == 1 ? XYPixmap : ZPixmap);
    if (!image)
        return;
    MappedImage(c, image, target);
    XDestroyImage(image);
}

void SetLineAttributes(XomCanvas c, const XomLineAttributes* line)
{
    XDevice* d = Dev(c);
    XGCValues v;
    v.foreground = line->color;
    v.line_width = line->width;
    v.line_style = line->style == XomLINE_ON_OFF_DASH ? LineOnOffDash
        : line->style == XomLINE_DOUBLE_DASH          ? LineDoubleDash
                                                      : LineSolid;
    v.cap_style = line->cap;
    v.join_style = line->join;
    XChangeGC(d->display, d->gc,
              GCForeground | GCLineWidth | GCLineStyle | GCCapStyle | GCJoinStyle, &v);
    if (v.line_style != LineSolid) {
        char dash = (char)XomMax(1, XomMin(line->dashLength, 127));
        XSetDashes(d->display, d->gc, 0, &dash, 1);
    }
}

void SetFillAttributes(XomCanvas c, const XomFillAttributes* fill)
{
    static const unsigned char grey[] = {0x01, 0x02};
    XDevice* d = Dev(c);
    XGCValues v;
    unsigned long mask = GCFillStyle;
    v.fill_style = fill->style == XomFILL_STIPPLED ? FillStippled
        : fill->style == XomFILL_OPAQUE_STIPPLED   ? FillOpaqueStippled
                                                   : FillSolid;
    if (v.fill_style != FillSolid) {
        const unsigned char* bits = fill->stipple ? fill->stipple : grey;
        if (!d->stipple || d->stippleBits != bits) {
            if (d->stipple)
                XFreePixmap(d->display, d->stipple);
            d->stipple = XCreateBitmapFromData(d->display, d->target, (const char*)bits,
                                               fill->stipple ? (unsigned)fill->stippleWidth : 2,
                                               fill->stipple ? (unsigned)fill->stippleHeight : 2);
            d->stippleBits = bits;
        }
        v.stipple = d->stipple;
        v.background = fill->background;
        mask |= GCStipple | GCBackground;
    }
    XChangeGC(d->display, d->gc, mask, &v);
}

void SetTextAttributes(XomCanvas c, const XomTextAttributes* text)
{
    XDevice* d = Dev(c);
    if (text->font)
        XSetFont(d->display, d->gc, text->font->fid);
}

const XomCanvasOps xOps = {
    /* destroy */ Destroy,
    /* setClip */ SetClip,
    /* removeClip */ RemoveClip,
    /* doubleBuffer */ DoubleBuffer,
    /* swapBuffers */ SwapBuffers,
    /* flush */ Flush,
    /* pushClip */ PushClip,
    /* popClip */ PopClip,
    /* line */ Line,
    /* rectangle */ Rectangle,
    /* fillRectangle */ FillRectangle,
    /* roundRectangle */ RoundRectangle,
    /* fillRoundRectangle */ FillRoundRectangle,
    /* polyline */ Polyline,
    /* polygon */ Polygon,
    /* textPolygon */ TextPolygon,
    /* arc */ Arc,
    /* fillArc */ FillArc,
    /* text */ Text,
    /* restrictedText */ RestrictedText,
    /* compoundText */ CompoundText,
    /* image */ Image,
    /* pixmap */ PixmapSlot,
    /* mappedImage */ MappedImage,
    /* mappedPixmap */ MappedPixmap,
    /* setLineAttributes */ SetLineAttributes,
    /* setFillAttributes */ SetFillAttributes,
    /* setTextAttributes */ SetTextAttributes,
};

} // namespace

XomCanvas XomCreateXCanvas(Display* display, Drawable drawable, GC gc, int width, int height)
{
    XDevice* d = new XDevice();
    d->display = display;
    d->target = d->drawable = drawable;
    d->gc = gc;
    XomCanvas c = XomCanvasCreate(&xOps, d, width, height, NULL);
    XomCanvasSetLineAttributes(c, &c->line);
    XomCanvasSetFillAttributes(c, &c->fill);
    RemoveClip(c);
    return c;
}

void XomRepaintWindowArea(Widget w, int x, int y, int width, int height)
{
    if (XtIsRealized(w))
        XClearArea(XtDisplay(w), XtWindow(w), x, y, (unsigned)width, (unsigned)height, True);
}
