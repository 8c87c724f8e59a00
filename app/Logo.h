// The about box: the product's logo beside three lines of text and an OK button.
#ifndef VANTOR_LOGO_H
#define VANTOR_LOGO_H

#include <X11/Intrinsic.h>

class Logo {
public:
    // Builds the box on the parent's shell and pops it up, modal. The object deletes
    // itself when its OK button is pressed.
    explicit Logo(Widget parent);
    ~Logo();
    Logo(const Logo&) = delete;
    Logo& operator=(const Logo&) = delete;

    static void ProcessButtonCallback(Widget w, XtPointer clientData, XtPointer callData);
    void Acknowledge();

    Widget panel;  // the pop-up shell
    Pixmap pixmap; // the logo, blue on the panel's background
};

#endif
