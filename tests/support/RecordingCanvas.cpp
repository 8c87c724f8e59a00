#include "tests/support/RecordingCanvas.h"

#include <sstream>

namespace {

std::vector<std::string>* Log(XomCanvas c)
{
    return static_cast<std::vector<std::string>*>(c->device);
}

template <typename... Args>
void Write(XomCanvas c, const char* operation, Args... args)
{
    std::ostringstream line;
    line << operation;
    ((line << ' ' << args), ...);
    Log(c)->push_back(line.str());
}

std::string Box(const XomArea* r)
{
    std::ostringstream s;
    s << r->x << ' ' << r->y << ' ' << r->width << ' ' << r->height;
    return s.str();
}

std::string Points(const XomPoint* points, int count)
{
    std::ostringstream s;
    for (int i = 0; i < count; i++)
        s << (i ? " " : "") << points[i].x << ',' << points[i].y;
    return s.str();
}

std::string Text(const char* text, int length)
{
    return std::string(text, static_cast<size_t>(length));
}

const XomCanvasOps recordingOps = {
    /* destroy */ [](XomCanvas c) { Write(c, "destroy"); },
    /* setClip */ [](XomCanvas c, const XomArea* r) { Write(c, "setClip", Box(r)); },
    /* removeClip */ [](XomCanvas c) { Write(c, "removeClip"); },
    /* doubleBuffer */ [](XomCanvas c, Boolean on) { Write(c, "doubleBuffer", int(on)); },
    /* swapBuffers */ [](XomCanvas c) { Write(c, "swapBuffers"); },
    /* flush */ [](XomCanvas c) { Write(c, "flush"); },
    /* pushClip */
    [](XomCanvas c, const XomArea* r) {
        Write(c, "pushClip", Box(r));
        return Boolean(True);
    },
    /* popClip */ [](XomCanvas c) { Write(c, "popClip"); },
    /* line */
    [](XomCanvas c, int x1, int y1, int x2, int y2) { Write(c, "line", x1, y1, x2, y2); },
    /* rectangle */ [](XomCanvas c, const XomArea* r) { Write(c, "rectangle", Box(r)); },
    /* fillRectangle */ [](XomCanvas c, const XomArea* r) { Write(c, "fillRectangle", Box(r)); },
    /* roundRectangle */
    [](XomCanvas c, const XomArea* r, int radius) { Write(c, "roundRectangle", Box(r), radius); },
    /* fillRoundRectangle */
    [](XomCanvas c, const XomArea* r, int radius) {
        Write(c, "fillRoundRectangle", Box(r), radius);
    },
    /* polyline */
    [](XomCanvas c, const XomPoint* p, int n) { Write(c, "polyline", Points(p, n)); },
    /* polygon */ [](XomCanvas c, const XomPoint* p, int n) { Write(c, "polygon", Points(p, n)); },
    /* textPolygon */
    [](XomCanvas c, int x, int y, const char* t, int n) {
        Write(c, "textPolygon", x, y, Text(t, n));
    },
    /* arc */
    [](XomCanvas c, const XomArea* r, int a1, int a2) { Write(c, "arc", Box(r), a1, a2); },
    /* fillArc */
    [](XomCanvas c, const XomArea* r, int a1, int a2) { Write(c, "fillArc", Box(r), a1, a2); },
    /* text */
    [](XomCanvas c, int x, int y, const char* t, int n) { Write(c, "text", x, y, Text(t, n)); },
    /* restrictedText */
    [](XomCanvas c, const XomArea* r, const char* t, int n, int alignment) {
        Write(c, "restrictedText", Box(r), alignment, Text(t, n));
    },
    /* compoundText */
    [](XomCanvas c, const XomArea* r, XmString, XmFontList, int alignment) {
        Write(c, "compoundText", Box(r), alignment);
    },
    /* image */
    [](XomCanvas c, XImage*, int sx, int sy, const XomArea* r) {
        Write(c, "image", sx, sy, Box(r));
    },
    /* pixmap */
    [](XomCanvas c, Pixmap, int depth, int sx, int sy, const XomArea* r) {
        Write(c, "pixmap", depth, sx, sy, Box(r));
    },
    /* mappedImage */
    [](XomCanvas c, XImage*, const XomArea* r) { Write(c, "mappedImage", Box(r)); },
    /* mappedPixmap */
    [](XomCanvas c, Pixmap, int depth, int w, int h, const XomArea* r) {
        Write(c, "mappedPixmap", depth, w, h, Box(r));
    },
    /* setLineAttributes */
    [](XomCanvas c, const XomLineAttributes* a) {
        Write(c, "setLineAttributes", a->color, a->width, a->style);
    },
    /* setFillAttributes */
    [](XomCanvas c, const XomFillAttributes* a) {
        Write(c, "setFillAttributes", a->color, a->style);
    },
    /* setTextAttributes */
    [](XomCanvas c, const XomTextAttributes* a) {
        Write(c, "setTextAttributes", a->color, a->fontName ? a->fontName : "-");
    },
};

} // namespace

XomCanvas CreateRecordingCanvas(int width, int height, std::vector<std::string>* log)
{
    return XomCanvasCreate(&recordingOps, log, width, height, nullptr);
}

std::vector<std::string> Only(const std::vector<std::string>& log,
                              const std::vector<std::string>& operations)
{
    std::vector<std::string> kept;
    for (const std::string& line : log) {
        std::string name = line.substr(0, line.find(' '));
        for (const std::string& op : operations)
            if (name == op)
                kept.push_back(line);
    }
    return kept;
}

void DrawSampleScene(XomCanvas c)
{
    XomCanvasSetOffset(c, 10, 20);
    XomCanvasSetColor(c, 3);
    XomCanvasFillRectangle(c, 0, 0, 40, 30);
    XomCanvasLine(c, 0, 0, 40, 30);
    XomArea clip = {5, 5, 20, 20};
    XomCanvasSetClip(c, &clip);
    XomArea box = {0, 0, 40, 13};
    XomCanvasRestrictedText(c, &box, "Hi", 2, XomALIGNMENT_CENTER);
    XomCanvasRemoveClip(c);
    XomLineAttributes none = c->line;
    none.style = XomLINE_NONE;
    XomCanvasSetLineAttributes(c, &none);
    XomCanvasLine(c, 0, 0, 5, 5); /* no line style: nothing drawn */
    XomLineAttributes thick = c->line;
    thick.style = XomLINE_SOLID;
    thick.width = 2;
    XomCanvasSetLineAttributes(c, &thick);
    const XomPoint points[] = {{0, 0}, {10, 5}, {20, 0}};
    XomCanvasPolyline(c, points, 3);
    XomCanvasArc(c, 0, 0, 8, 8, 0, 360 * 64);
    XomCanvasText(c, 2, 12, "ok", 2);
    XomCanvasFlush(c);
}
