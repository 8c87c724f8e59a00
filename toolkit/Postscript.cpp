/* Printing a widget tree: the drawing widgets below a widget are drawn once more, on a
 * PostScript canvas, into a picture that is then placed on the page. */
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <vector>

#include <X11/IntrinsicP.h>

#include "toolkit/CanvasPost.h"
#include "toolkit/CompBase.h"
#include "toolkit/Postscript.h"
#include "toolkit/XomP.h"
#include "toolkit/ps_Page.h"

namespace {

struct Leaf {
    Widget widget;
    XomArea area; /* relative to the printed widget */
};

bool Inside(const XomArea& inner, const XomArea& outer)
{
    return inner.x >= outer.x && inner.y >= outer.y
        && inner.x + inner.width <= outer.x + outer.width
        && inner.y + inner.height <= outer.y + outer.height;
}

/* Every shown drawing widget below w (w itself when it is one), at its place relative to
 * w; a leaf lying wholly within one found before prints once, as part of that one. */
void Collect(Widget w, int x, int y, bool top, std::vector<Leaf>& leaves)
{
    if (!XtIsWidget(w) || (!top && !XtIsShell(w) && !XtIsManaged(w)))
        return;
    if (XomIsCompBase(w)) {
        XomArea area = {x, y, w->core.width, w->core.height};
        for (const Leaf& leaf : leaves)
            if (Inside(area, leaf.area))
                return;
        leaves.push_back(Leaf{w, area});
        return;
    }
    if (!XtIsComposite(w))
        return;
    CompositeWidget composite = (CompositeWidget)w;
    for (Cardinal i = 0; i < composite->composite.num_children; i++) {
        Widget child = composite->composite.children[i];
        if (XtIsShell(child))
            continue;
        Collect(child, x + child->core.x + child->core.border_width,
                y + child->core.y + child->core.border_width, false, leaves);
    }
}

/* The toolkit's message dialog, or the drawing widget's own warning path. */
void Warn(Widget w, const char* message)
{
    if (XomIsCompBase(w))
        XomClassWarning(w, "XomOutputPostscript", message);
    else
        XomPostMessage(w, message);
}

int LevelFor(int flag)
{
    return flag == 0 ? XOM_PS_LEVEL_2 : flag == 1 ? XOM_PS_LEVEL_1 : XOM_PS_LEVEL_1_CMYK;
}

/* Draws every leaf at its place on the canvas, in content pixels from its scroll origin. */
void DrawLeaves(XomCanvas canvas, const std::vector<Leaf>& leaves)
{
    for (const Leaf& leaf : leaves) {
        int originX = 0, originY = 0;
        XomCompBaseGetOrigin(leaf.widget, &originX, &originY);
        XomCanvasRemoveClip(canvas);
        XomCanvasSetBound(canvas, &leaf.area);
        XomCanvasSetOffset(canvas, leaf.area.x - originX, leaf.area.y - originY);
        XomArea area = {originX, originY, leaf.area.width, leaf.area.height};
        XomCompBaseDraw(leaf.widget, canvas, &area);
    }
}

} // namespace

int XomOutputPostscript(Widget w, const char* fileName, double scale, int flag, int mode)
{
    std::vector<Leaf> leaves;
    Collect(w, 0, 0, true, leaves);
    int width = 0, height = 0;
    for (const Leaf& leaf : leaves) {
        width = XomMax(width, leaf.area.x + leaf.area.width);
        height = XomMax(height, leaf.area.y + leaf.area.height);
    }
    if (leaves.empty() || width <= 0 || height <= 0) {
        Warn(w, "No widget specified has postcript hardcopy support.");
        return 0;
    }

    int fd = fileName && *fileName
        ? open(fileName, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644)
        : -1;
    FILE* out = fd >= 0 ? fdopen(fd, "w") : NULL;
    if (!out) {
        if (fd >= 0)
            close(fd);
        Warn(w, "Bad Postscript filename");
        return 0;
    }
    if (XomIsCompBase(w))
        XomCompBaseCallHardcopy(w, (float)width, (float)height, out);

    XomPsPlacement placement = XomPsPlace(XomPsLayout(), 0, 0, width, height, scale, mode);
    XomPsDevice* picture = XomPsDeviceOpen(0, 0, width, height, LevelFor(flag));
    if (!picture) {
        fclose(out);
        Warn(w, "Unable to open postscript file");
        return 0;
    }
    XomColorTable* colors = XomCreateColorTable(w);
    XomCanvas canvas =
        XomCreatePostscriptCanvas(picture, XtDisplay(w), width, height, colors, flag == 1);
    Pixel background = XomPostscriptGetBackground();
    if (background != XOM_PS_NO_BACKGROUND) {
        unsigned char rgb[3];
        XomCanvasPixelToRgb(canvas, background, rgb);
        XomPsDeviceOp(picture, "BC", "%.3g %.3g %.3g", rgb[0] / 255.0, rgb[1] / 255.0,
                      rgb[2] / 255.0);
        XomPsDeviceOp(picture, "BT", "%d %d", width, height);
    }
    DrawLeaves(canvas, leaves);
    XomCanvasDestroy(canvas);
    XomDestroyColorTable(colors);

    int pages = 0;
    if (XomPsDeviceClose(picture)) {
        FILE* in = fopen(XomPsDevicePath(picture), "r");
        if (in) {
            pages = XomPsWriteDocument(out, in, &placement, fileName);
            fclose(in);
        }
    }
    XomPsDeviceDestroy(picture);
    bool written = fclose(out) == 0 && pages > 0;
    return written ? 1 : 0;
}

int XomOutputCompositePostscript(Widget w, const char* fileName, double scale, int flag, int mode)
{
    return XomOutputPostscript(w, fileName, scale, flag, mode);
}
