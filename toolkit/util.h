/* One-call constructors for the recurring layouts, and small widget lookups. */
#ifndef XOM_UTIL_H
#define XOM_UTIL_H

#include <X11/Intrinsic.h>

#include "toolkit/Box.h"
#include "toolkit/Glue.h"

/* A managed box "box": orientation 1 vertical, 2 horizontal. A negative spacing wraps to
 * 16 bits, so that neighbours overlap by that much. */
Widget OmStandardBox(Widget parent, int orientation, int margin, int spacing);

/* A managed menu bar "menu_bar" stretching across its box, with one pull-down "pd_button"
 * and one cascade button names[i] per menu; mnemonics holds one character per menu or is
 * null. With helpLast the last cascade button goes to the right end. */
Widget OmStandardMenuBar(Widget parent, Widget pulldowns[], const char* const names[],
                         const char* mnemonics, int count, int helpLast);

/* A labelled text field "se" of columns characters in a row box "hbox"; the label is the
 * text field's user data. The plain form puts an elastic gap between label and field. */
Widget OmStandardStringEdit(Widget parent, const char* labelName, const char* value, int columns);
Widget OmStandardStringEditCenter(Widget parent, const char* labelName, const char* value,
                                  int columns);
void OmStandardSetStringEditInt(Widget text, int number);
/* The number in the text, or fallback when the text does not start with one; a number
 * beyond the range of an int gives the nearest int. */
int OmStandardGetStringEditInt(Widget text, int fallback);

/* The widget itself when it is a shell, else its nearest shell ancestor. */
Widget OmGetShell(Widget w);

void OmSetWidgetUserData(Widget primitive, XtPointer data);
XtPointer OmGetWidgetUserData(Widget primitive);
void OmSetManagerUserData(Widget manager, XtPointer data);
XtPointer OmGetManagerUserData(Widget manager);

/* The widget's depth, or its screen's root depth for a windowless object. */
int XomDepthOfWidgetWindow(Widget w);
/* The visual of the widget's shell, or the default visual of its screen. */
Visual* XomGetVisual(Widget w);
/* The pixel of a named colour in the default colormap, or 0 when it cannot be allocated. */
Pixel XomLoadColor(Display* display, const char* name);

#endif
