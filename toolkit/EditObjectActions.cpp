/* The editor area's actions and default translations. Object editing by the user
 * (moving, reshaping, area selection, drag and drop, 3D transforms) is not offered: those
 * actions exist so that translation tables naming them bind, and do nothing. */
#include <Xm/XmP.h>

#include "toolkit/EditObjectP.h"
#include "toolkit/GraphicP.h"

const char xomEditObjectTranslations[] =
    "<Btn1Down>: TraverseCurrent() ResourceDialog() ObjectSelect() ObjectEditStart() Locator()"
    " InitAreaSelection()\n"
    "<Btn1Up>: ObjectEditEnd() EndAreaSelection()\n"
    "<PtrMoved>: DrawCursor() ExtendAreaSelection() ObjectEdit() Locator()\n"
    "<EnterWindow>: ManagerEnter()\n"
    "<LeaveWindow>: ManagerLeave()\n"
    "<FocusIn>: ManagerFocusIn()\n"
    "<FocusOut>: ManagerFocusOut()\n"
    "<Key>: EditObjectInput()";

/* The pointer position of an event, in window pixels; False for events without one. */
static Boolean EventPoint(XEvent* event, int* x, int* y)
{
    if (!event)
        return False;
    switch (event->type) {
    case ButtonPress:
    case ButtonRelease:
        *x = event->xbutton.x;
        *y = event->xbutton.y;
        return True;
    case MotionNotify:
        *x = event->xmotion.x;
        *y = event->xmotion.y;
        return True;
    case EnterNotify:
    case LeaveNotify:
        *x = event->xcrossing.x;
        *y = event->xcrossing.y;
        return True;
    default:
        return False;
    }
}

/* The topmost object of the area under a window pixel, or NULL. */
static Widget ObjectAt(Widget w, int x, int y)
{
    XomEditObjectPart* eo = XomEditObject(w);
    XomCompBasePart* cb = XomCompBase(w);
    for (Cardinal i = eo->graphic_list_count; i > 0; i--) {
        Widget g = eo->graphic_list[i - 1];
        if (XomGraphicHit(g, x + cb->origin_x, y + cb->origin_y, eo->point_selection_tolerance))
            return g;
    }
    return NULL;
}

static void Locator(Widget w, XEvent* event, String*, Cardinal*)
{
    XomEditObjectPart* eo = XomEditObject(w);
    if (!EventPoint(event, &eo->last_x, &eo->last_y))
        return;
    XomLocatorCallbackStruct data = {XomCR_LOCATOR, event, 0, 0};
    XomEditObjectPixelToUser(w, eo->last_x, eo->last_y, &data.x, &data.y);
    XtCallCallbacks(w, (String)XomNlocatorCallback, &data);
}

static void ObjectSelect(Widget w, XEvent* event, String*, Cardinal*)
{
    int x, y;
    if (!EventPoint(event, &x, &y))
        return;
    Widget hit = ObjectAt(w, x, y);
    Boolean adding = event->type == ButtonPress && (event->xbutton.state & ShiftMask);
    if (!adding)
        XomEditObjectDeselectAll(w);
    if (hit)
        XomEditObjectSelectObject(w, hit);
    XomAnyCallbackStruct data = {XmCR_ACTIVATE, event};
    XtCallCallbacks(w, (String)XomNselectionCallback, &data);
}

static void ResourceDialog(Widget w, XEvent* event, String*, Cardinal*)
{
    int x, y;
    if (!EventPoint(event, &x, &y))
        return;
    Widget hit = ObjectAt(w, x, y);
    if (!hit || !XomGraphic(hit)->resource_dialog)
        return;
    XomObjectCallbackStruct data = {XmCR_ACTIVATE, event, hit};
    XtCallCallbacks(w, (String)XomNresourceDialogCallback, &data);
}

static void SelectionCallback(Widget w, XEvent* event, String*, Cardinal*)
{
    XomAnyCallbackStruct data = {XmCR_ACTIVATE, event};
    XtCallCallbacks(w, (String)XomNselectionCallback, &data);
}

static void Input(Widget w, XEvent* event, String*, Cardinal*)
{
    XomDrawingCallbackStruct data = {XmCR_INPUT, event, XtWindow(w)};
    XtCallCallbacks(w, (String)XomNinputCallback, &data);
}

static void TraverseCurrent(Widget w, XEvent*, String*, Cardinal*)
{
    XmProcessTraversal(w, XmTRAVERSE_CURRENT);
}

static void PreviousTabGroup(Widget w, XEvent*, String*, Cardinal*)
{
    XmProcessTraversal(w, XmTRAVERSE_PREV_TAB_GROUP);
}

static void NextTabGroup(Widget w, XEvent*, String*, Cardinal*)
{
    XmProcessTraversal(w, XmTRAVERSE_NEXT_TAB_GROUP);
}

static void DoNothing(Widget, XEvent*, String*, Cardinal*)
{}

XtActionsRec xomEditObjectActions[] = {
    {(String) "ObjectSelect", ObjectSelect},
    {(String) "ObjectEditStart", DoNothing},
    {(String) "ObjectEdit", DoNothing},
    {(String) "ObjectEditEnd", DoNothing},
    {(String) "ObjectPointAdd", DoNothing},
    {(String) "ObjectPointDelete", DoNothing},
    {(String) "ObjectCancel", DoNothing},
    {(String) "Page", DoNothing},
    {(String) "Increment", DoNothing},
    {(String) "PreviousTabGroup", PreviousTabGroup},
    {(String) "NextTabGroup", NextTabGroup},
    {(String) "SelectionCallback", SelectionCallback},
    {(String) "TraverseCurrent", TraverseCurrent},
    {(String) "MotifDragStart", DoNothing},
    {(String) "DrawCursor", DoNothing},
    {(String) "InitDrawCursor", DoNothing},
    {(String) "RedrawCursor", DoNothing},
    {(String) "EndDrawCursor", DoNothing},
    {(String) "ChangeCursorMask", DoNothing},
    {(String) "DoNothing", DoNothing},
    {(String) "PlotXYLocator", Locator},
    {(String) "PlotXYInitAreaSelection", DoNothing},
    {(String) "PlotXYExtendAreaSelection", DoNothing},
    {(String) "PlotXYEndAreaSelection", DoNothing},
    {(String) "Locator", Locator},
    {(String) "InitAreaSelection", DoNothing},
    {(String) "ExtendAreaSelection", DoNothing},
    {(String) "EndAreaSelection", DoNothing},
    {(String) "ResourceDialog", ResourceDialog},
    {(String) "Transform3DStart", DoNothing},
    {(String) "Transform3D", DoNothing},
    {(String) "Transform3DEnd", DoNothing},
    {(String) "EditObjectInput", Input},
};

Cardinal xomEditObjectActionCount = XtNumber(xomEditObjectActions);
