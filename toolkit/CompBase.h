/* XomCompBase: the composite drawing base, a Motif manager with margins, a title and the
 * placement of annotations, which draws everything it shows through a canvas. Its class
 * method draw(widget, canvas, area) paints what lies in area; Expose calls it on an X
 * canvas clipped to the exposed region, printing calls it on a PostScript canvas.
 *
 * A drawing widget may show content far larger than an X window can be (a table of
 * 100,000 rows): it then stays the size of its view and keeps a scroll origin, the content
 * pixel shown at its top-left corner. Its draw method always works in content pixels; the
 * canvas offset takes care of the origin.
 *
 * Resources (besides the Motif manager's):
 * Name                           Class                  Type                 Default
 * topMargin                      Margin                 int                  70
 * bottomMargin                   Margin                 int                  40
 * leftMargin                     Margin                 int                  60
 * rightMargin                    Margin                 int                  60
 * autoMarginAdjust               AutoMarginAdjust       AutoMarginAdjust     adjust_none
 * titleString                    TitleString            String               NULL
 * titleFont                      TitleFont              String               NULL (fixed)
 * titlePlacement                 TitlePlacement         AnnotationPlacement  1 (top)
 * titleAlignment                 TitleAlignment         ColumnAlignment      alignment_center
 * horizontalAnnotationPlacement  AnnotationPlacement    AnnotationPlacement  3 (top and bottom)
 * verticalAnnotationPlacement    AnnotationPlacement    AnnotationPlacement  12 (left and right)
 * hardcopyCallback               Callback               XtCallbackList       NULL
 */
#ifndef XOM_COMP_BASE_H
#define XOM_COMP_BASE_H

#include <X11/Intrinsic.h>

#include "toolkit/Canvas.h"
#include "toolkit/Xom.h"

extern WidgetClass xomCompBaseWidgetClass;

typedef struct _XomCompBaseClassRec* XomCompBaseWidgetClass;
typedef struct _XomCompBaseRec* XomCompBaseWidget;

#define XomNtopMargin "topMargin"
#define XomNbottomMargin "bottomMargin"
#define XomNleftMargin "leftMargin"
#define XomNrightMargin "rightMargin"
#define XomNautoMarginAdjust "autoMarginAdjust"
#define XomNtitleString "titleString"
#define XomNtitleFont "titleFont"
#define XomNtitlePlacement "titlePlacement"
#define XomNtitleAlignment "titleAlignment"
#define XomNhorizontalAnnotationPlacement "horizontalAnnotationPlacement"
#define XomNverticalAnnotationPlacement "verticalAnnotationPlacement"
#define XomNhardcopyCallback "hardcopyCallback"
#define XomCMargin "Margin"
#define XomCAutoMarginAdjust "AutoMarginAdjust"
#define XomCTitleString "TitleString"
#define XomCTitleFont "TitleFont"
#define XomCTitlePlacement "TitlePlacement"
#define XomCTitleAlignment "TitleAlignment"
#define XomCAnnotationPlacement "AnnotationPlacement"
#define XomCHardcopyCallback "HardcopyCallback"

#define XomIsCompBase(w) XtIsSubclass((w), xomCompBaseWidgetClass)

/* Draws what lies in area (content pixels) of w on the canvas through w's class method:
 * the one entry point for exposures, scroll strips and printing. */
void XomCompBaseDraw(Widget w, XomCanvas canvas, const XomArea* area);

/* The scroll origin: the content pixel at the widget's top-left corner. Setting it (never
 * below 0) repaints the widget when it changed. */
void XomCompBaseSetOrigin(Widget w, int x, int y);
void XomCompBaseGetOrigin(Widget w, int* x, int* y);

/* The margins in force: the resources, with each side that "autoMarginAdjust" names
 * fitted to the title (subclasses add their annotations to the fitted sides); all 0 for a
 * widget of another class. */
void XomCompBaseGetMargins(Widget w, int* left, int* right, int* top, int* bottom);
/* The title's font and its height with spacing, 0 without a title. */
XFontStruct* XomCompBaseTitleFont(Widget w);
int XomCompBaseTitleHeight(Widget w);

/* Calls "hardcopyCallback" (reason 8262) before w is printed at width by height into file. */
void XomCompBaseCallHardcopy(Widget w, float width, float height, FILE* file);

#endif
