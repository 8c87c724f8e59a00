/* The PostScript device of the canvas. Every slot writes operators of the picture's prolog;
 * the state PostScript keeps (colour, line, font) is written only when it changes, and
 * forgotten when a clip's grestore takes it back. */
#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "toolkit/CanvasPost.h"
#include "toolkit/XomP.h"

namespace {

struct PsDev {
    XomPsDevice* ps;
    Display* display;
    Boolean grey;
    int clips = 0;     /* CS still open: the caller's clip, then nested narrower ones */
    std::string color; /* operands of the last "C" in force */
    std::string line;  /* width, dash, cap and join in force */
    std::string font;  /* the last "F" in force */
    std::vector<std::string> encoded; /* fonts already re-encoded for Latin-1 */
};

PsDev* Dev(XomCanvas c)
{
    return static_cast<PsDev*>(c->device);
}

void Forget(PsDev* d)
{
    d->color.clear();
    d->line.clear();
    d->font.clear();
}

void UseColor(XomCanvas c, Pixel pixel)
{
    PsDev* d = Dev(c);
    unsigned char rgb[3];
    XomCanvasPixelToRgb(c, pixel, rgb);
    char operands[64];
    if (d->grey) {
        double level = (0.3 * rgb[0] + 0.59 * rgb[1] + 0.11 * rgb[2]) / 255;
        snprintf(operands, sizeof operands, "%.3g %.3g %.3g", level, level, level);
    } else {
        snprintf(operands, sizeof operands, "%.3g %.3g %.3g", rgb[0] / 255.0, rgb[1] / 255.0,
                 rgb[2] / 255.0);
    }
    if (d->color != operands) {
        XomPsDeviceOp(d->ps, "C", "%s", operands);
        d->color = operands;
    }
}

/* Where a stroke of the current width runs: X draws thin and odd lines through pixel
 * centres. */
double Centre(XomCanvas c)
{
    return c->line.width <= 1 || c->line.width % 2 ? 0.5 : 0;
}

void UseLine(XomCanvas c)
{
    PsDev* d = Dev(c);
    const XomLineAttributes& a = c->line;
    int width = XomMax(a.width, 1);
    int dash = a.style == XomLINE_ON_OFF_DASH || a.style == XomLINE_DOUBLE_DASH
        ? XomMax(1, a.dashLength)
        : 0;
    int cap = a.cap == CapRound ? 1 : a.cap == CapProjecting ? 2 : 0;
    int join = a.join == JoinRound ? 1 : a.join == JoinBevel ? 2 : 0;
    std::string state = std::to_string(width) + " " + std::to_string(dash) + " "
        + std::to_string(cap) + " " + std::to_string(join);
    UseColor(c, a.color);
    if (d->line == state)
        return;
    XomPsDeviceOp(d->ps, "sw", "%d", width);
    if (dash)
        XomPsDeviceOp(d->ps, "sd", "[%d %d] 0", dash, dash);
    else
        XomPsDeviceOp(d->ps, "sd", "[] 0");
    XomPsDeviceOp(d->ps, "sc", "%d", cap);
    XomPsDeviceOp(d->ps, "sj", "%d", join);
    d->line = state;
}

/* Fills are drawn in two steps around their path: the colour before it (the background
 * first for an opaque stipple), the filling after it. A stipple prints as dots over a
 * rectangle and as hatching over other shapes. */
void PrepareFill(XomCanvas c)
{
    const XomFillAttributes& f = c->fill;
    UseColor(c, f.style == XomFILL_OPAQUE_STIPPLED ? f.background : f.color);
}

void FillPath(XomCanvas c, const XomArea* box)
{
    PsDev* d = Dev(c);
    const XomFillAttributes& f = c->fill;
    if (f.style == XomFILL_SOLID) {
        XomPsDeviceOp(d->ps, "fill", NULL);
        return;
    }
    if (f.style == XomFILL_OPAQUE_STIPPLED) {
        XomPsDeviceOp(d->ps, "gsave fill grestore", NULL);
        UseColor(c, f.color);
    }
    if (box)
        XomPsDeviceOp(d->ps, "DPF", "%d %d %d %d", box->x, box->y, box->width, box->height);
    else
        XomPsDeviceOp(d->ps, "PF2", "3");
}

void FillBox(XomCanvas c, int x, int y, int width, int height, Pixel color)
{
    if (width <= 0 || height <= 0)
        return;
    UseColor(c, color);
    XomPsDeviceOp(Dev(c)->ps, "n", NULL);
    XomPsDeviceOp(Dev(c)->ps, "R", "%d %d %d %d", x, y, width, height);
    XomPsDeviceOp(Dev(c)->ps, "fill", NULL);
}

void OpenClip(XomCanvas c, const XomArea* r)
{
    PsDev* d = Dev(c);
    XomPsDeviceOp(d->ps, "CS", "%d %d %d %d", r->x, r->y, XomMax(r->width, 0),
                  XomMax(r->height, 0));
    d->clips++;
}

Boolean PushClip(XomCanvas c, const XomArea* box)
{
    OpenClip(c, box);
    return True;
}

void CloseClip(XomCanvas c)
{
    PsDev* d = Dev(c);
    XomPsDeviceOp(d->ps, "CO", NULL);
    d->clips--;
    Forget(d);
}

/* ---- text ---- */

/* The PostScript font that stands for an X font: its family, weight and slant from the
 * font's full name (or the name it was loaded by), its size from its pixel size. */
std::string FontFor(XomCanvas c, double* size)
{
    PsDev* d = Dev(c);
    const XomTextAttributes& t = c->text;
    std::string name = t.fontName ? t.fontName : "";
    unsigned long atom = 0;
    if (d->display && t.font && XGetFontProperty(t.font, XA_FONT, &atom)) {
        char* full = XGetAtomName(d->display, (Atom)atom);
        if (full) {
            name = full;
            XFree(full);
        }
    }
    for (char& ch : name)
        ch = (char)tolower((unsigned char)ch);

    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t dash = name.find('-'); dash != std::string::npos; dash = name.find('-', start)) {
        fields.push_back(name.substr(start, dash - start));
        start = dash + 1;
    }
    fields.push_back(name.substr(start));
    *size = t.font ? t.font->ascent + t.font->descent - 1 : 12;
    if (fields.size() >= 8 && atoi(fields[7].c_str()) > 0)
        *size = atoi(fields[7].c_str());

    bool bold = name.find("bold") != std::string::npos;
    bool slanted = fields.size() >= 5 && (fields[4] == "i" || fields[4] == "o");
    if (name.find("times") != std::string::npos)
        return bold ? (slanted ? "Times-BoldItalic" : "Times-Bold")
                    : (slanted ? "Times-Italic" : "Times-Roman");
    std::string family =
        name.find("courier") != std::string::npos || name == "fixed" || name.empty() ? "Courier"
                                                                                     : "Helvetica";
    if (bold)
        return family + (slanted ? "-BoldOblique" : "-Bold");
    return family + (slanted ? "-Oblique" : "");
}

void UseFont(XomCanvas c)
{
    PsDev* d = Dev(c);
    double size = 12;
    std::string font = FontFor(c, &size);
    char state[128];
    snprintf(state, sizeof state, "/%s-L %g", font.c_str(), size);
    if (d->font == state)
        return;
    bool known = false;
    for (const std::string& f : d->encoded)
        known = known || f == font;
    if (!known) {
        XomPsDeviceOp(d->ps, "LS", "/%s-L /%s", font.c_str(), font.c_str());
        d->encoded.push_back(font);
    }
    XomPsDeviceOp(d->ps, "F", "%s", state);
    d->font = state;
}

/* A PostScript string literal, cut so that its line stays within the conventions. */
std::string Literal(const char* text, int length)
{
    std::string s = "(";
    for (int i = 0; i < length && s.size() < 180; i++) {
        unsigned char ch = (unsigned char)text[i];
        if (ch == '(' || ch == ')' || ch == '\\') {
            s += '\\';
            s += (char)ch;
        } else if (ch < 32 || ch > 126) {
            char octal[8];
            snprintf(octal, sizeof octal, "\\%03o", ch);
            s += octal;
        } else {
            s += (char)ch;
        }
    }
    return s + ")";
}

/* Text with its baseline at x, y, never wider than the X font makes it. */
void ShowText(XomCanvas c, int x, int y, const char* text, int length, Pixel color)
{
    UseColor(c, color);
    UseFont(c);
    XomPsDeviceOp(Dev(c)->ps, "ST", "%s %d %d %d", Literal(text, length).c_str(), x, y,
                  XomMax(1, XomCanvasTextWidth(c, text, length)));
}

/* ---- images ---- */

/* Writes rows of pixels (0xRRGGBB) at x, y in pieces that keep each line short. */
void WritePixels(XomCanvas c, int x, int y, int width, int height,
                 const std::vector<unsigned long>& rgb)
{
    PsDev* d = Dev(c);
    const int piece = d->grey ? 96 : 36;
    for (int row = 0; row < height; row++) {
        for (int col = 0; col < width; col += piece) {
            int n = XomMin(piece, width - col);
            std::string hex;
            for (int i = 0; i < n; i++) {
                unsigned long p = rgb[(size_t)row * width + col + i];
                char bytes[8];
                if (d->grey) {
                    int level =
                        (int)(0.3 * (p >> 16 & 255) + 0.59 * (p >> 8 & 255) + 0.11 * (p & 255));
                    snprintf(bytes, sizeof bytes, "%02x", level);
                } else {
                    snprintf(bytes, sizeof bytes, "%06lx", p & 0xffffff);
                }
                hex += bytes;
            }
            XomPsDeviceOp(d->ps, d->grey ? "GI" : "TI", "%d %d %d 1 <%s>", x + col, y + row, n,
                          hex.c_str());
        }
    }
}

unsigned long PixelRgb(XomCanvas c, Pixel pixel)
{
    unsigned char rgb[3];
    XomCanvasPixelToRgb(c, pixel, rgb);
    return (unsigned long)rgb[0] << 16 | (unsigned long)rgb[1] << 8 | rgb[2];
}

/* The image's pixels from (srcX, srcY), width by height, sampled to outWidth by
 * outHeight; a one-bit image shows its set bits in the line colour over nothing. */
void PutImage(XomCanvas c, XImage* image, int srcX, int srcY, int width, int height,
              const XomArea* target)
{
    if (target->width <= 0 || target->height <= 0 || width <= 0 || height <= 0)
        return;
    bool mask = image->depth == 1;
    std::vector<unsigned long> rgb((size_t)target->width * target->height);
    std::vector<bool> set(rgb.size());
    for (int y = 0; y < target->height; y++)
        for (int x = 0; x < target->width; x++) {
            int sx = srcX + x * width / target->width, sy = srcY + y * height / target->height;
            if (sx < 0 || sy < 0 || sx >= image->width || sy >= image->height)
                continue;
            unsigned long p = XGetPixel(image, sx, sy);
            size_t at = (size_t)y * target->width + x;
            set[at] = !mask || p;
            rgb[at] = mask ? PixelRgb(c, c->line.color) : PixelRgb(c, p);
        }
    if (!mask) {
        WritePixels(c, target->x, target->y, target->width, target->height, rgb);
        return;
    }
    /* Set bits: runs of one row filled in the line colour. */
    for (int y = 0; y < target->height; y++)
        for (int x = 0; x < target->width;) {
            if (!set[(size_t)y * target->width + x]) {
                x++;
                continue;
            }
            int run = x;
            while (run < target->width && set[(size_t)y * target->width + run])
                run++;
            FillBox(c, target->x + x, target->y + y, run - x, 1, c->line.color);
            x = run;
        }
}

XImage* ReadPixmap(XomCanvas c, Pixmap pixmap, int depth, int x, int y, int width, int height)
{
    PsDev* d = Dev(c);
    if (!d->display || width <= 0 || height <= 0)
        return NULL;
    return XGetImage(d->display, pixmap, x, y, (unsigned)width, (unsigned)height, AllPlanes,
                     depth == 1 ? XYPixmap : ZPixmap);
}

/* ---- slots ---- */

void Destroy(XomCanvas c)
{
    PsDev* d = Dev(c);
    while (d->clips > 0)
        CloseClip(c);
    delete d;
}

void SetClip(XomCanvas c, const XomArea* clip)
{
    while (Dev(c)->clips > 0)
        CloseClip(c);
    OpenClip(c, clip);
}

void RemoveClip(XomCanvas c)
{
    while (Dev(c)->clips > 0)
        CloseClip(c);
}

void Line(XomCanvas c, int x1, int y1, int x2, int y2)
{
    PsDev* d = Dev(c);
    UseLine(c);
    double o = Centre(c);
    XomPsDeviceOp(d->ps, "n", NULL);
    XomPsDeviceOp(d->ps, "m", "%g %g", x1 + o, y1 + o);
    XomPsDeviceOp(d->ps, "l", "%g %g", x2 + o, y2 + o);
    XomPsDeviceOp(d->ps, "S", NULL);
}

void Rectangle(XomCanvas c, const XomArea* r)
{
    PsDev* d = Dev(c);
    UseLine(c);
    double o = Centre(c);
    XomPsDeviceOp(d->ps, "n", NULL);
    XomPsDeviceOp(d->ps, "R", "%g %g %d %d", r->x + o, r->y + o, r->width, r->height);
    XomPsDeviceOp(d->ps, "S", NULL);
}

void FillRectangle(XomCanvas c, const XomArea* r)
{
    PrepareFill(c);
    XomPsDeviceOp(Dev(c)->ps, "n", NULL);
    XomPsDeviceOp(Dev(c)->ps, "R", "%d %d %d %d", r->x, r->y, r->width, r->height);
    FillPath(c, r);
}

/* A rectangle with quarter circles of radius at its corners, as a path. */
void RoundPath(XomCanvas c, double x, double y, double w, double h, int radius)
{
    PsDev* d = Dev(c);
    double r = XomMin(2.0 * radius, XomMin(w, h)) / 2;
    XomPsDeviceOp(d->ps, "n", NULL);
    XomPsDeviceOp(d->ps, "m", "%g %g", x + r, y);
    XomPsDeviceOp(d->ps, "a", "%g %g %g 270 360", x + w - r, y + r, r);
    XomPsDeviceOp(d->ps, "a", "%g %g %g 0 90", x + w - r, y + h - r, r);
    XomPsDeviceOp(d->ps, "a", "%g %g %g 90 180", x + r, y + h - r, r);
    XomPsDeviceOp(d->ps, "a", "%g %g %g 180 270", x + r, y + r, r);
    XomPsDeviceOp(d->ps, "c", NULL);
}

void RoundRectangle(XomCanvas c, const XomArea* r, int radius)
{
    UseLine(c);
    double o = Centre(c);
    RoundPath(c, r->x + o, r->y + o, r->width, r->height, radius);
    XomPsDeviceOp(Dev(c)->ps, "S", NULL);
}

void FillRoundRectangle(XomCanvas c, const XomArea* r, int radius)
{
    PrepareFill(c);
    RoundPath(c, r->x, r->y, r->width, r->height, radius);
    FillPath(c, NULL);
}

void PointsPath(XomCanvas c, const XomPoint* points, int count, double o)
{
    PsDev* d = Dev(c);
    XomPsDeviceOp(d->ps, "n", NULL);
    XomPsDeviceOp(d->ps, "m", "%g %g", points[0].x + o, points[0].y + o);
    for (int i = 1; i < count; i++)
        XomPsDeviceOp(d->ps, "l", "%g %g", points[i].x + o, points[i].y + o);
}

void Polyline(XomCanvas c, const XomPoint* points, int count)
{
    UseLine(c);
    PointsPath(c, points, count, Centre(c));
    XomPsDeviceOp(Dev(c)->ps, "S", NULL);
}

void Polygon(XomCanvas c, const XomPoint* points, int count)
{
    PrepareFill(c);
    PointsPath(c, points, count, 0);
    XomPsDeviceOp(Dev(c)->ps, "c", NULL);
    FillPath(c, NULL);
}

void TextPolygon(XomCanvas c, int x, int y, const char* text, int length)
{
    int ascent = XomCanvasFontAscent(c);
    FillBox(c, x, y - ascent, XomCanvasTextWidth(c, text, length), ascent + XomCanvasFontDescent(c),
            c->fill.color);
}

/* X's angles (64ths of a degree, counter-clockwise on the screen) in the flipped page. */
void ArcOperands(const XomArea* box, int angle1, int angle2, char* out, size_t size, double o)
{
    snprintf(out, size, "%g %g %g %g %g %g", box->x + box->width / 2.0 + o,
             box->y + box->height / 2.0 + o, box->width / 2.0, box->height / 2.0, -angle1 / 64.0,
             -(angle1 + angle2) / 64.0);
}

void Arc(XomCanvas c, const XomArea* box, int angle1, int angle2)
{
    if (box->width <= 0 || box->height <= 0 || angle2 == 0)
        return;
    PsDev* d = Dev(c);
    UseLine(c);
    char operands[160];
    ArcOperands(box, angle1, angle2, operands, sizeof operands, Centre(c));
    XomPsDeviceOp(d->ps, "n", NULL);
    XomPsDeviceOp(d->ps, "AC", "%s", operands);
    XomPsDeviceOp(d->ps, "S", NULL);
}

void FillArc(XomCanvas c, const XomArea* box, int angle1, int angle2)
{
    if (box->width <= 0 || box->height <= 0 || angle2 == 0)
        return;
    char operands[160];
    ArcOperands(box, angle1, angle2, operands, sizeof operands, 0);
    UseColor(c, c->fill.color);
    XomPsDeviceOp(Dev(c)->ps, "FA", "%s", operands);
}

void Text(XomCanvas c, int x, int y, const char* text, int length)
{
    ShowText(c, x, y, text, length, c->text.color);
}

void RestrictedText(XomCanvas c, const XomArea* box, const char* text, int length, int alignment)
{
    OpenClip(c, box);
    XomPoint p = XomCanvasAlignText(c, box, text, length, alignment);
    ShowText(c, p.x, p.y, text, length, c->text.color);
    CloseClip(c);
}

/* The compound string's text, line by line in the current font, placed as X places it. */
void CompoundText(XomCanvas c, const XomArea* box, XmString text, XmFontList fonts, int alignment)
{
    char* plain =
        (char*)XmStringUnparse(text, NULL, XmCHARSET_TEXT, XmCHARSET_TEXT, NULL, 0, XmOUTPUT_ALL);
    if (!plain)
        return;
    std::vector<std::string> lines;
    for (const char *at = plain, *end; at; at = *end ? end + 1 : NULL) {
        end = strchr(at, '\n');
        if (!end)
            end = at + strlen(at);
        lines.emplace_back(at, (size_t)(end - at));
    }
    XtFree(plain);
    int lineHeight = XomCanvasFontAscent(c) + XomCanvasFontDescent(c);
    int height = fonts ? (int)XmStringHeight(fonts, text) : lineHeight * (int)lines.size();
    int y = box->y + (box->height - height) / 2;
    if (XomAlignmentUpDown(alignment) == XomALIGNMENT_BEGINNING_TOP)
        y = box->y;
    else if (XomAlignmentUpDown(alignment) == XomALIGNMENT_BEGINNING_BOTTOM)
        y = box->y + box->height - height;
    OpenClip(c, box);
    for (const std::string& line : lines) {
        XomArea row = {box->x, y, box->width, lineHeight};
        XomPoint p = XomCanvasAlignText(c, &row, line.c_str(), (int)line.size(),
                                        XomAlignmentAcross(alignment) | XomALIGNMENT_BEGINNING_TOP);
        if (!line.empty())
            ShowText(c, p.x, p.y, line.c_str(), (int)line.size(), c->text.color);
        y += lineHeight;
    }
    CloseClip(c);
}

void Image(XomCanvas c, XImage* image, int srcX, int srcY, const XomArea* target)
{
    PutImage(c, image, srcX, srcY, target->width, target->height, target);
}

void PixmapSlot(XomCanvas c, Pixmap pixmap, int depth, int srcX, int srcY, const XomArea* target)
{
    XImage* image = ReadPixmap(c, pixmap, depth, srcX, srcY, target->width, target->height);
    if (!image)
        return;
    image->depth = depth == 1 ? 1 : image->depth;
    PutImage(c, image, 0, 0, target->width, target->height, target);
    XDestroyImage(image);
}

void MappedImage(XomCanvas c, XImage* image, const XomArea* target)
{
    PutImage(c, image, 0, 0, image->width, image->height, target);
}

void MappedPixmap(XomCanvas c, Pixmap pixmap, int depth, int width, int height,
                  const XomArea* target)
{
    XImage* image = ReadPixmap(c, pixmap, depth, 0, 0, width, height);
    if (!image)
        return;
    image->depth = depth == 1 ? 1 : image->depth;
    PutImage(c, image, 0, 0, width, height, target);
    XDestroyImage(image);
}

const XomCanvasOps psOps = {
    /* destroy */ Destroy,
    /* setClip */ SetClip,
    /* removeClip */ RemoveClip,
    /* doubleBuffer */ NULL,
    /* swapBuffers */ NULL,
    /* flush */ NULL,
    /* pushClip */ PushClip,
    /* popClip */ CloseClip,
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
    /* setLineAttributes: written when a line needs them */ NULL,
    /* setFillAttributes: written when a fill needs them */ NULL,
    /* setTextAttributes: written when a text needs them */ NULL,
};

} // namespace

XomCanvas XomCreatePostscriptCanvas(XomPsDevice* picture, Display* display, int width, int height,
                                    const XomColorTable* colors, Boolean grey)
{
    PsDev* d = new PsDev();
    d->ps = picture;
    d->display = display;
    d->grey = grey;
    /* Window coordinates: y runs down from the picture's top. */
    XomPsDeviceOp(picture, "t", "0 %d", height);
    XomPsDeviceOp(picture, "scale", "1 -1");
    return XomCanvasCreate(&psOps, d, width, height, colors);
}
