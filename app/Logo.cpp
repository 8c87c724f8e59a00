// The about box.
#include "app/Logo.h"

#include <Xm/LabelG.h>
#include <Xm/Separator.h>
#include <Xm/Xm.h>

#include "app/icons/logo.xbm.h"
#include "app/util.h"
#include "toolkit/util.h"

// A new box for each About; it deletes itself on OK.
Logo::Logo(Widget parent) : panel(NULL), pixmap(None)
{
    Widget box;
    panel = KesStandardPanel(parent, "fw_help", 2, -1, -1, 15, 5, &box);

    Display* display = XtDisplay(panel);
    int depth = 0;
    Pixel background = 0;
    Colormap colormap = None;
    XtVaGetValues(panel, XmNdepth, &depth, XmNbackground, &background, XmNcolormap, &colormap,
                  NULL);
    XColor blue, exact;
    // The logo is drawn in blue, or in black on a display that has no blue to give.
    Pixel foreground = BlackPixelOfScreen(XtScreen(panel));
    if (XAllocNamedColor(display, colormap, "blue", &blue, &exact))
        foreground = blue.pixel;
    pixmap =
        // The bitmap becomes a pixmap of the panel's depth, on its background, so it shows on any
        // visual.
        XCreatePixmapFromBitmapData(display, RootWindowOfScreen(XtScreen(panel)), (char*)kes_bits,
                                    kes_width, kes_height, foreground, background, (unsigned)depth);

    XtVaCreateManagedWidget("big_label", xmLabelGadgetClass, box, XmNlabelType, XmPIXMAP,
                            XmNlabelPixmap, pixmap, NULL);

    // The texts come from the resources: name, version and what the program is for.
    Widget lines = OmStandardBox(box, 1, 0, 4);
    static const char* const lineNames[] = {"logo_line1", "logo_line2", "logo_line3"};
    for (const char* name : lineNames)
        XtVaCreateManagedWidget(name, xmLabelGadgetClass, lines, XmNalignment,
                                XmALIGNMENT_BEGINNING, NULL);
    XtVaCreateManagedWidget("sep", xmSeparatorWidgetClass, lines, XomNhorizontalStretch,
                            XOM_BOX_UNLIMITED, NULL);
    PopupPanelWithOk(panel, box, lines, ProcessButtonCallback, (XtPointer)this);
}

Logo::~Logo()
{
    if (pixmap != None)
        XFreePixmap(XtDisplay(panel), pixmap);
    XtDestroyWidget(panel);
}

void Logo::ProcessButtonCallback(Widget, XtPointer clientData, XtPointer)
{
    static_cast<Logo*>(clientData)->Acknowledge();
}

void Logo::Acknowledge()
{
    delete this;
}
