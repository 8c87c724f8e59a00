/* XomGraphic: the base of every drawable object of an editor area (rectangles, texts,
 * groups, charts and their parts). Graphic objects have no window: their editor area
 * paints them, in its list order, through their class's draw method after a region test
 * against their bounds, and asks their hit-test method which one lies under the pointer.
 * They are created as children of the area (or of a widget inside it) and join its list,
 * or the list of the group named by "group".
 *
 * Resources:
 * Name              Class            Type           Default
 * color             Color            Pixel          black
 * fillColor         FillColor        Pixel          XtDefaultBackground
 * fillStyle         FillStyle        FillStyle      fill_none
 * font              Font             String         -*-Helvetica-*--*-120-*
 * lineStyle         LineStyle        LineStyle      line_solid
 * lineThickness     LineThickness    int            1
 * move              Move             Boolean        True
 * rotate            Rotate           Boolean        True
 * shape             Shape            Boolean        True
 * sensitive         Sensitive        Boolean        True
 * highlightMode     HighlightMode    HighlightMode  1
 * resourceDialog    ResourceDialog   Boolean        True
 * visible           Visible          Boolean        True
 * managed           Managed          Boolean        True
 * horizontalAxis    Axis             Widget         NULL (the area's own coordinates)
 * verticalAxis      Axis             Widget         NULL
 * group             Group            Widget         NULL
 * constraint        Constraint       Pointer        NULL
 * userData          UserData         Pointer        NULL
 */
#ifndef XOM_GRAPHIC_H
#define XOM_GRAPHIC_H

#include <X11/Intrinsic.h>

#include "toolkit/Canvas.h"
#include "toolkit/Xom.h"

extern WidgetClass xomGraphicObjectClass;

typedef struct _XomGraphicClassRec* XomGraphicObjectClass;
typedef struct _XomGraphicRec* XomGraphicObject;

#define XomNcolor "color"
#define XomNfillColor "fillColor"
#define XomNfillStyle "fillStyle"
#define XomNfont "font"
#define XomNlineStyle "lineStyle"
#define XomNlineThickness "lineThickness"
#define XomNmove "move"
#define XomNrotate "rotate"
#define XomNshape "shape"
#define XomNsensitive "sensitive"
#define XomNhighlightMode "highlightMode"
#define XomNresourceDialog "resourceDialog"
#define XomNvisible "visible"
#define XomNmanaged "managed"
#define XomNhorizontalAxis "horizontalAxis"
#define XomNverticalAxis "verticalAxis"
#define XomNgroup "group"
#define XomNconstraint "constraint"
#define XomNuserData "userData"

#define XomIsGraphic(w) ((w) && XtIsSubclass((w), xomGraphicObjectClass))

/* The editor area the object belongs to, or NULL. */
Widget XomGraphicArea(Widget graphic);

/* The object's box in content pixels of its area (empty when it draws nothing). */
void XomGraphicBounds(Widget graphic, XomArea* bounds);
/* Paints the object when visible and its bounds meet area. */
void XomGraphicDraw(Widget graphic, XomCanvas canvas, const XomArea* area);
/* Whether the content pixel x, y hits the object, within tolerance pixels. */
Boolean XomGraphicHit(Widget graphic, int x, int y, int tolerance);

/* Where a point given in the object's coordinates (its axes', else its area's user
 * coordinates) lies in content pixels. */
void XomGraphicToPixel(Widget graphic, double x, double y, int* px, int* py);

/* Asks the area to repaint what the object covers (nothing while the area is frozen). */
void XomGraphicRedraw(Widget graphic);

/* Sets the canvas's line, fill and text attributes from the object's resources. */
void XomGraphicSetAttributes(Widget graphic, XomCanvas canvas);

/* Whether graphic is a live object (created and not yet destroyed); never reads it. */
Boolean XomGraphicIsLive(Widget graphic);

#endif
