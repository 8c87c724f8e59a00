// Standard dialogs, panels, menu panes, pointer tips, icons and the duration formatter.
#include "app/util.h"

#include <stdio.h>
#include <string.h>

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <X11/xpm.h>
#include <Xm/Label.h>
#include <Xm/MessageB.h>
#include <Xm/PushBG.h>
#include <Xm/SeparatoG.h>
#include <Xm/Xm.h>

#include "toolkit/util.h"

// The shell of the one modal panel that is up, or none.
static Widget exclusive_popup_panel = NULL;
// The pointer tip on show, or none.
static Widget annotation_label_widget = NULL;
// "#rrrrggggbbbb" of the first widget given to _XomCreatePixmapFromData.
static char bg_color_name[16];
static bool bg_color_known = false;
// The replacement colour lines, one per pixel character, so that icons using different
// characters for the background never overwrite each other's line.
static char new_bg_name[256][60];

enum { MESSAGE_TEXT_SIZE = 256 }; // at most 255 characters and the terminating zero

// ---- message dialog ----

// OK destroys the whole panel, not only the message box, so nothing of the warning is left behind.
static void WarningOkCallback(Widget, XtPointer clientData, XtPointer)
{
    if (clientData)
        XtDestroyWidget((Widget)clientData);
}

Widget KesWarningPost(Widget parent, const char* text1, const char* text2, const char* text3,
                      const char* title)
{
    Widget box;
    Widget panel = KesStandardPanel(parent, title, 1, -1, -1, 10, 10, &box);

    // The title chooses the symbol: "Information" gets the "i", every other title the error sign.
    bool information = strcmp(title, "Information") == 0;
    Arg args[1];
    XtSetArg(args[0], XmNdialogType, information ? XmDIALOG_INFORMATION : XmDIALOG_ERROR);
    Widget messageBox = XmCreateMessageBox(box, (String)title, args, 1);
    // A warning only needs acknowledging: Cancel and Help would offer choices that do not exist.
    XtUnmanageChild(XmMessageBoxGetChild(messageBox, XmDIALOG_CANCEL_BUTTON));
    XtUnmanageChild(XmMessageBoxGetChild(messageBox, XmDIALOG_HELP_BUTTON));
    XtAddCallback(XmMessageBoxGetChild(messageBox, XmDIALOG_OK_BUTTON), XmNactivateCallback,
                  WarningOkCallback, (XtPointer)panel);

    // Up to three lines, the missing ones left out; a longer text is cut at the buffer's end rather
    // than overrunning it.
    char text[MESSAGE_TEXT_SIZE];
    snprintf(text, sizeof text, "%s%s%s\n%s%s", text1 ? text1 : "", text2 ? "\n" : "",
             text2 ? text2 : "", text3 ? "\n" : "", text3 ? text3 : "");
    XmString message = XmStringCreateLtoR(text, (XmStringCharSet)XmFONTLIST_DEFAULT_TAG);
    XtVaSetValues(messageBox, XmNmessageString, message, NULL);
    XmStringFree(message);

    XtManageChild(messageBox);
    XtManageChild(box);
    // An exclusive grab: the user must answer before working on in the main window.
    SetGrabBeepPanel(panel);
    XtPopup(panel, XtGrabExclusive);
    return messageBox;
}

// ---- panels ----

// A transient shell follows its main window (iconified with it, kept above it by the window
// manager). x or y of -1 places it a fifth of the way into the parent, where the eye already is.
Widget KesStandardPanel(Widget parent, const char* title, int orientation, int x, int y,
                        int spacing, int margin, Widget* box)
{
    Widget parentShell = OmGetShell(parent);
    Widget shell = XtVaCreatePopupShell(title, transientShellWidgetClass, parentShell,
                                        XmNallowShellResize, True, NULL);
    if (x == -1 || y == -1) {
        Position shellX = 0, shellY = 0;
        Dimension width = 0, height = 0;
        XtVaGetValues(parentShell, XmNx, &shellX, XmNy, &shellY, XmNwidth, &width, XmNheight,
                      &height, NULL);
        x = (Position)(shellX + (int)(0.2 * width));
        y = (Position)(shellY + (int)(0.2 * height));
    }
    XtVaSetValues(shell, XmNx, (Position)x, XmNy, (Position)y, NULL);

    // The box is left unmanaged: the caller fills it first, so it is laid out once.
    *box = XtVaCreateWidget("main_dp_vbox", xomBoxWidgetClass, shell, XomNorientation,
                            (unsigned char)orientation, XomNspacing, (Dimension)spacing, XomNmargin,
                            (Dimension)margin, NULL);
    return shell;
}

// A destroyed panel must not be remembered, or the next click would read a freed widget.
static void ClearGrabBeepPanelCallback(Widget w, XtPointer, XtPointer)
{
    if (exclusive_popup_panel == w)
        exclusive_popup_panel = NULL;
}

void SetGrabBeepPanel(Widget panel)
{
    exclusive_popup_panel = panel;
    XtAddCallback(panel, XmNdestroyCallback, ClearGrabBeepPanelCallback, NULL);
}

void PopupPanelWithOk(Widget panel, Widget box, Widget parent, XtCallbackProc callback,
                      XtPointer clientData)
{
    Widget ok = XtVaCreateManagedWidget("fw_ok", xmPushButtonGadgetClass, parent, XmNwidth,
                                        (Dimension)50, NULL);
    XtAddCallback(ok, XmNactivateCallback, callback, clientData);
    XtManageChild(box);
    SetGrabBeepPanel(panel);
    XtPopup(panel, XtGrabExclusive);
    // Return closes the panel at once.
    XmProcessTraversal(ok, XmTRAVERSE_CURRENT);
}

// Called for every event: a click outside the modal panel beeps, telling the user why nothing
// happened. Clicks inside it pass silently.
void BeepPointerSelection(XEvent* event)
{
    if (!exclusive_popup_panel || event->type != ButtonPress)
        return;
    Position x = 0, y = 0;
    Dimension width = 0, height = 0;
    XtVaGetValues(exclusive_popup_panel, XmNx, &x, XmNy, &y, XmNwidth, &width, XmNheight, &height,
                  NULL);
    int pressX = event->xbutton.x_root, pressY = event->xbutton.y_root;
    if (pressX < x || pressX > x + width || pressY < y || pressY > y + height)
        XBell(XtDisplay(exclusive_popup_panel), 15);
}

// ---- menus ----

// A null list means none.
static bool IsListed(int index, const int list[], int count)
{
    for (int i = 0; list && i < count; i++)
        if (list[i] == index)
            return true;
    return false;
}

// Menu accelerators may be written as translations ("Ctrl<KeyPress>p: DoSelect()"); Motif
// takes only the event part, so the action is cut off.
static void SetAccelerator(Widget button, const char* translation)
{
    char event[128];
    snprintf(event, sizeof event, "%s", translation);
    char* colon = strchr(event, ':');
    if (colon)
        *colon = '\0';
    for (size_t end = strlen(event); end > 0 && event[end - 1] == ' '; end--)
        event[end - 1] = '\0';
    XtVaSetValues(button, XmNaccelerator, event, NULL);
}

// Each button carries its position as user data, so one callback serves the whole pane.
void KesStandardMenu(Widget pane, Widget buttons[], const char* title, const char* const names[],
                     const char* const accelerators[], const char* const acceleratorTexts[],
                     int count, XtCallbackProc callback, const int separatorsBefore[],
                     int separatorCount, XtPointer clientData)
{
    if (title) {
        XtVaCreateManagedWidget(title, xmLabelWidgetClass, pane, NULL);
        XtVaCreateManagedWidget("sep", xmSeparatorGadgetClass, pane, NULL);
    }
    for (int i = 0; i < count; i++) {
        if (IsListed(i, separatorsBefore, separatorCount))
            XtVaCreateManagedWidget("sep", xmSeparatorGadgetClass, pane, NULL);
        Widget button = XtVaCreateWidget(names[i], xmPushButtonGadgetClass, pane, NULL);
        if (accelerators && accelerators[i])
            SetAccelerator(button, accelerators[i]);
        if (acceleratorTexts && acceleratorTexts[i]) {
            XmString text = XmStringCreateLocalized((char*)acceleratorTexts[i]);
            XtVaSetValues(button, XmNacceleratorText, text, NULL);
            XmStringFree(text);
        }
        XtVaSetValues(button, XmNuserData, (XtPointer)(long)i, NULL);
        XtManageChild(button);
        buttons[i] = button;
        XtAddCallback(button, XmNactivateCallback, callback, clientData);
    }
}

// ---- pointer tips ----

static void ForgetAnnotationCallback(Widget w, XtPointer, XtPointer)
{
    if (annotation_label_widget == w)
        annotation_label_widget = NULL;
}

void KesPopupAnnotationText(Widget parent, const char* text, int x, int y)
{
    KesPopdownAnnotationText();
    XmString label = XmStringCreateLtoR((char*)text, (XmStringCharSet)XmFONTLIST_DEFAULT_TAG);
    // Not managed: a shell (the main window's) would take a second managed child as its
    // new content and move the keyboard focus to it, and a box would lay it out.
    annotation_label_widget =
        XtVaCreateWidget("icon_reminder", xmLabelWidgetClass, parent, XmNmappedWhenManaged, False,
                         XmNlabelString, label, NULL);
    XmStringFree(label);
    // Destroyed with its parent, the tip must be forgotten, or the next popdown would destroy it again.
    XtAddCallback(annotation_label_widget, XmNdestroyCallback, ForgetAnnotationCallback, NULL);
    Dimension width = 0, height = 0;
    XtVaGetValues(annotation_label_widget, XmNwidth, &width, XmNheight, &height, NULL);
    // Placed by hand (with a two-pixel border) since no manager lays out an unmanaged child.
    XtConfigureWidget(annotation_label_widget, (Position)x, (Position)y, width, height, 2);
    // Before the parent has a window there is nothing to map onto; the tip simply waits.
    if (XtIsRealized(parent)) {
        XtRealizeWidget(annotation_label_widget);
        XtMapWidget(annotation_label_widget);
    }
}

void KesPopdownAnnotationText()
{
    if (!annotation_label_widget)
        return;
    XtDestroyWidget(annotation_label_widget);
    annotation_label_widget = NULL;
}

// ---- pixmaps ----

// The background of the first widget is taken as the background of every icon: all windows share
// one colour (see the fallback resources), and asking the server once is enough. The hex fields are
// padded with zeros because printf pads them with spaces.
static void RememberBackground(Widget widget)
{
    Pixel background = 0;
    Colormap colormap = 0;
    XtVaGetValues(widget, XmNbackground, &background, XmNcolormap, &colormap, NULL);
    XColor color;
    color.pixel = background;
    XQueryColor(XtDisplayOfObject(widget), colormap, &color);
    snprintf(bg_color_name, sizeof bg_color_name, "#%4x%4x%4x", color.red, color.green, color.blue);
    for (char* c = bg_color_name; *c; c++)
        if (*c == ' ')
            *c = '0';
    bg_color_known = true;
}

// Icons are drawn on LightBlue3 as their transparent colour; this finds that colour line, word by
// word so that "LightBlue30" or a name inside another word does not count.
static bool NamesLightBlue3(const char* line)
{
    const char* p = line;
    while (*p) {
        while (*p == ' ' || *p == '\t')
            p++;
        const char* word = p;
        while (*p && *p != ' ' && *p != '\t')
            p++;
        if (p - word == 10 && strncmp(word, "LightBlue3", 10) == 0)
            return true;
    }
    return false;
}

// The icon's background colour line is swapped for the widget's background, so icons blend in
// whatever colour the user chose. Only the first four colour lines are searched: the icons list
// their background early, and a malformed header cannot make the loop run past the data.
Pixmap _XomCreatePixmapFromData(void*, const char** xpmData, Widget widget)
{
    if (!bg_color_known)
        RememberBackground(widget);

    int width = 0, height = 0, colors = 0, perPixel = 0;
    sscanf(xpmData[0], "%d %d %d %d", &width, &height, &colors, &perPixel);
    for (int i = 1; i <= 4 && i <= colors; i++) {
        if (!NamesLightBlue3(xpmData[i]))
            continue;
        unsigned char key = (unsigned char)xpmData[i][0];
        snprintf(new_bg_name[key], sizeof new_bg_name[key], "%c  c  %s", key, bg_color_name);
        xpmData[i] = new_bg_name[key];
        break;
    }

    Pixmap pixmap = 0;
    Screen* screen = XtScreenOfObject(widget);
    // On failure the pixmap stays 0, which a label shows as no picture.
    XpmCreatePixmapFromData(XtDisplayOfObject(widget), RootWindowOfScreen(screen), (char**)xpmData,
                            &pixmap, NULL, NULL);
    return pixmap;
}

// ---- durations ----

// Formats "ddd:hh:mm:ss" with fixed widths so durations line up in the table's column. A negative
// duration (a clock stepped back) borrows from the larger unit so the fields stay in range, the
// days carrying the sign. The return value is snprintf's: the length the text wanted.
int ConvertTime(char* dst, int size, int seconds)
{
    int days = seconds / 86400;
    int rest = seconds % 86400;
    int hours = rest / 3600;
    rest %= 3600;
    int minutes = rest / 60;
    int secs = rest % 60;
    if (hours < 0) {
        days--;
        hours += 24;
    }
    if (minutes < 0) {
        hours--;
        minutes += 60;
    }
    if (secs < 0) {
        minutes--;
        secs += 60;
    }
    return snprintf(dst, size > 0 ? (size_t)size : 0, "%3i:%2i:%2i:%2i", days, hours, minutes,
                    secs);
}
