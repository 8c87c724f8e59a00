// The standard pieces every window of the program is built from: the modal message
// dialog, transient panels and their grab, menu panes, pointer tips, icons that take the
// colour of the widget behind them, and the duration formatter.
#ifndef VANTOR_APP_UTIL_H
#define VANTOR_APP_UTIL_H

#include <X11/Intrinsic.h>

// Posts a modal message box with only an OK button: text1, then text2 on its own line when
// given, an empty line, then text3 when given. The title "Information" shows the
// information symbol, any other title the error symbol. Returns the message box.
Widget KesWarningPost(Widget parent, const char* text1, const char* text2, const char* text3,
                      const char* title);

// A transient pop-up shell named title over the parent's shell, not yet popped up, whose
// one child (returned in box) is an unmanaged box "main_dp_vbox". With x or y -1 the panel
// sits a fifth of the parent shell's size from its top-left corner.
Widget KesStandardPanel(Widget parent, const char* title, int orientation, int x, int y,
                        int spacing, int margin, Widget* box);

// Records the one modal panel; the record is cleared when the panel is destroyed.
void SetGrabBeepPanel(Widget panel);

// Ends an acknowledge-only panel: an "fw_ok" button at the end of parent calling callback
// with clientData, then box managed and panel popped up as the modal panel with the button
// focused.
void PopupPanelWithOk(Widget panel, Widget box, Widget parent, XtCallbackProc callback,
                      XtPointer clientData);

// Rings the bell for a button press outside the modal panel (its edges count as inside).
void BeepPointerSelection(XEvent* event);

// Fills a pull-down pane: an optional title label and separator, then one push-button
// gadget per name, with a separator before each index listed in separatorsBefore. Each
// button carries its index as user data and calls callback with clientData.
void KesStandardMenu(Widget pane, Widget buttons[], const char* title, const char* const names[],
                     const char* const accelerators[], const char* const acceleratorTexts[],
                     int count, XtCallbackProc callback, const int separatorsBefore[],
                     int separatorCount, XtPointer clientData);

// Shows a pointer tip "icon_reminder" at (x, y) in parent, replacing any tip shown.
void KesPopupAnnotationText(Widget parent, const char* text, int x, int y);
void KesPopdownAnnotationText();

// A pixmap from XPM data whose "LightBlue3" colour becomes the background of the first
// widget ever passed. The matching colour line of xpmData is replaced in place; the first
// argument is not used.
Pixmap _XomCreatePixmapFromData(void* unused, const char** xpmData, Widget widget);

// Writes a duration as "days:hours:minutes:seconds" ("%3i:%2i:%2i:%2i") into dst, which
// holds size bytes; returns what the formatting returns.
int ConvertTime(char* dst, int size, int seconds);

#endif
