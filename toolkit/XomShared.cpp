/* Small helpers every toolkit file shares: areas, fonts and widget lists. */
#include <map>
#include <string>
#include <utility>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "toolkit/XomP.h"

Boolean XomIntersectAreas(const XomArea* a, const XomArea* b, XomArea* result)
{
    long left = XomMax(a->x, b->x), top = XomMax(a->y, b->y);
    long right = XomMin((long)a->x + a->width, (long)b->x + b->width);
    long bottom = XomMin((long)a->y + a->height, (long)b->y + b->height);
    if (right <= left || bottom <= top) {
        *result = XomArea{(int)left, (int)top, 0, 0};
        return False;
    }
    *result = XomArea{(int)left, (int)top, (int)(right - left), (int)(bottom - top)};
    return True;
}

XomArea XomExposedArea(Widget w, XEvent* event, Region region)
{
    XRectangle box = {0, 0, w->core.width, w->core.height};
    if (region)
        XClipBox(region, &box);
    else if (event && event->type == Expose)
        box =
            XRectangle{(short)event->xexpose.x, (short)event->xexpose.y,
                       (unsigned short)event->xexpose.width, (unsigned short)event->xexpose.height};
    return XomArea{box.x, box.y, box.width, box.height};
}

XFontStruct* XomLoadFont(Display* display, const char* name)
{
    /* Never destroyed, so that the fonts stay reachable until the process ends. */
    static auto& fonts = *new std::map<std::pair<Display*, std::string>, XFontStruct*>;
    std::string key = name ? name : "fixed";
    auto found = fonts.find({display, key});
    if (found != fonts.end())
        return found->second;
    XFontStruct* font = XLoadQueryFont(display, key.c_str());
    if (!font)
        font = XLoadQueryFont(display, "fixed");
    fonts[{display, key}] = font;
    return font;
}

void XomListAppend(WidgetList* list, Cardinal* count, Cardinal* size, Widget w)
{
    if (*count == *size) {
        *size = *size ? 2 * *size : 8;
        *list = (WidgetList)XtRealloc((char*)*list, (Cardinal)(*size * sizeof(Widget)));
    }
    (*list)[(*count)++] = w;
}

Boolean XomListRemove(WidgetList list, Cardinal* count, Widget w)
{
    for (Cardinal i = 0; i < *count; i++) {
        if (list[i] != w)
            continue;
        for (Cardinal j = i + 1; j < *count; j++)
            list[j - 1] = list[j];
        (*count)--;
        return True;
    }
    return False;
}

Boolean XomListContains(WidgetList list, Cardinal count, Widget w)
{
    for (Cardinal i = 0; i < count; i++)
        if (list[i] == w)
            return True;
    return False;
}
