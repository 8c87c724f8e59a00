/* One-call constructors and lookups shared by every window. */
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>

#include <X11/IntrinsicP.h>
#include <X11/ShellP.h>
#include <Xm/CascadeB.h>
#include <Xm/Label.h>
#include <Xm/RowColumn.h>
#include <Xm/Text.h>
#include <Xm/Xm.h>

#include "toolkit/util.h"

Widget OmStandardBox(Widget parent, int orientation, int margin, int spacing)
{
    return XtVaCreateManagedWidget("box", xomBoxWidgetClass, parent, XomNorientation,
                                   (unsigned char)orientation, XomNmargin, (Dimension)margin,
                                   XomNspacing, (Dimension)spacing, NULL);
}

Widget OmStandardMenuBar(Widget parent, Widget pulldowns[], const char* const names[],
                         const char* mnemonics, int count, int helpLast)
{
    Widget bar = XmCreateMenuBar(parent, (String) "menu_bar", NULL, 0);
    XtVaSetValues(bar, XomNhorizontalStretch, XOM_BOX_UNLIMITED, XomNhorizontalShrink,
                  XOM_BOX_UNLIMITED, NULL);
    XmAddTabGroup(bar);
    XtManageChild(bar);

    Visual* visual = XomGetVisual(parent);
    Widget cascade = NULL;
    for (int i = 0; i < count; i++) {
        Arg args[1];
        XtSetArg(args[0], XmNvisual, visual);
        pulldowns[i] = XmCreatePulldownMenu(bar, (String) "pd_button", args, 1);
        cascade = XtVaCreateManagedWidget(names[i], xmCascadeButtonWidgetClass, bar, XmNsubMenuId,
                                          pulldowns[i], NULL);
        if (mnemonics)
            XtVaSetValues(cascade, XmNmnemonic, (KeySym)(unsigned char)mnemonics[i], NULL);
    }
    if (helpLast && cascade)
        XtVaSetValues(bar, XmNmenuHelpWidget, cascade, NULL);
    return bar;
}

static Widget StringEdit(Widget parent, const char* labelName, const char* value, int columns,
                         bool elasticGap)
{
    Widget row = XtVaCreateManagedWidget("hbox", xomBoxWidgetClass, parent, XomNorientation,
                                         XmHORIZONTAL, NULL);
    XmAddTabGroup(row);
    Widget label = XtVaCreateManagedWidget(labelName, xmLabelWidgetClass, row, NULL);
    if (elasticGap)
        XomCreateHorizontalGlue(row, 1, 250, 250);
    Widget text =
        XtVaCreateManagedWidget("se", xmTextWidgetClass, row, XmNcolumns, (short)columns,
                                XmNmarginHeight, (Dimension)2, XmNuserData, (XtPointer)label, NULL);
    if (value)
        XmTextSetString(text, (char*)value);
    return text;
}

Widget OmStandardStringEdit(Widget parent, const char* labelName, const char* value, int columns)
{
    return StringEdit(parent, labelName, value, columns, true);
}

Widget OmStandardStringEditCenter(Widget parent, const char* labelName, const char* value,
                                  int columns)
{
    return StringEdit(parent, labelName, value, columns, false);
}

void OmStandardSetStringEditInt(Widget text, int number)
{
    char digits[16];
    snprintf(digits, sizeof digits, "%d", number);
    XmTextSetString(text, digits);
}

int OmStandardGetStringEditInt(Widget text, int fallback)
{
    char* value = XmTextGetString(text);
    if (!value)
        return fallback;
    // A number too large for an int saturates instead of wrapping round to another value.
    char* end = value;
    long number = strtol(value, &end, 10);
    bool converted = end != value;
    XtFree(value);
    if (!converted)
        return fallback;
    if (number > INT_MAX)
        return INT_MAX;
    if (number < INT_MIN)
        return INT_MIN;
    return (int)number;
}

Widget OmGetShell(Widget w)
{
    while (w && !XtIsShell(w))
        w = XtParent(w);
    return w;
}

void OmSetWidgetUserData(Widget primitive, XtPointer data)
{
    XtVaSetValues(primitive, XmNuserData, data, NULL);
}

XtPointer OmGetWidgetUserData(Widget primitive)
{
    XtPointer data = NULL;
    XtVaGetValues(primitive, XmNuserData, &data, NULL);
    return data;
}

/* Managers keep their user data in the same XmNuserData resource as primitives. */
void OmSetManagerUserData(Widget manager, XtPointer data)
{
    OmSetWidgetUserData(manager, data);
}

XtPointer OmGetManagerUserData(Widget manager)
{
    return OmGetWidgetUserData(manager);
}

int XomDepthOfWidgetWindow(Widget w)
{
    if (XtIsWidget(w))
        return w->core.depth;
    return DefaultDepthOfScreen(XtScreenOfObject(w));
}

Visual* XomGetVisual(Widget w)
{
    Widget shell = OmGetShell(w);
    Visual* visual = NULL;
    if (shell)
        XtVaGetValues(shell, XmNvisual, &visual, NULL);
    return visual ? visual : DefaultVisualOfScreen(XtScreenOfObject(w));
}

Pixel XomLoadColor(Display* display, const char* name)
{
    int screen = DefaultScreen(display);
    XColor exact, shown;
    if (!XAllocNamedColor(display, DefaultColormap(display, screen), name, &shown, &exact))
        return 0;
    return shown.pixel;
}
