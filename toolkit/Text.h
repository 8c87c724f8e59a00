/* XomText: a text object of an editor area, a kind of rectangle whose box is the text
 * with its margins, placed at "textLocation" by its alignments. The box is filled when
 * "fillStyle" is not fill_none; the text is drawn in "color".
 *
 * Resources (besides XomRectangle's):
 * Name                      Class           Type           Default
 * textString                TextString      String         ""  (copied)
 * textLocation              TextLocation    float*         0, 0: the anchor point (copied)
 * horizontalTextAlignment   TextAlignment   TextAlignment  halign_left
 * verticalTextAlignment     TextAlignment   TextAlignment  valign_top
 * textAlignment             TextAlignment   TextAlignment  0 (both of the above rule)
 * textAnchor                TextAnchor      int            0
 * fontFamily                FontFamily      int            1
 * fontSize                  FontSize        int            10
 * fontWeight                FontWeight      int            1
 * textAngle                 TextAngle       float          0
 * textScale                 TextScale       float          1
 * marginWidth               MarginWidth     int            4
 * marginHeight              MarginHeight    int            4
 * displayName               DisplayName     String         NULL
 * labelFont                 Font            String         NULL (the object's "font")
 */
#ifndef XOM_TEXT_H
#define XOM_TEXT_H

#include "toolkit/Rectangle.h"

extern WidgetClass xomTextObjectClass;

typedef struct _XomTextClassRec* XomTextObjectClass;
typedef struct _XomTextRec* XomTextObject;

#define XomNtextString "textString"
#define XomNtextLocation "textLocation"
#define XomNhorizontalTextAlignment "horizontalTextAlignment"
#define XomNverticalTextAlignment "verticalTextAlignment"
#define XomNtextAlignment "textAlignment"
#define XomNtextAnchor "textAnchor"
#define XomNfontFamily "fontFamily"
#define XomNfontSize "fontSize"
#define XomNfontWeight "fontWeight"
#define XomNtextAngle "textAngle"
#define XomNtextScale "textScale"
#define XomNmarginWidth "marginWidth"
#define XomNmarginHeight "marginHeight"
#define XomNdisplayName "displayName"
#define XomNlabelFont "labelFont"

#define XomIsText(w) ((w) && XtIsSubclass((w), xomTextObjectClass))

Widget XomCreateText(Widget area, const char* name, ArgList args, Cardinal count);

#endif
