/* Private definitions of XomText. */
#ifndef XOM_TEXT_P_H
#define XOM_TEXT_P_H

#include "toolkit/RectangleP.h"
#include "toolkit/Text.h"

typedef struct {
    XtPointer extension;
} XomTextClassPart;

typedef struct _XomTextClassRec {
    ObjectClassPart object_class;
    XomGraphicClassPart graphic_class;
    XomRectangleClassPart rectangle_class;
    XomTextClassPart text_class;
} XomTextClassRec;

extern XomTextClassRec xomTextClassRec;

typedef struct {
    /* resources */
    String text_string;            /* owned copy */
    float* text_location;          /* points to location after initialisation */
    int horizontal_text_alignment; /* halign_left, halign_center or halign_right */
    int vertical_text_alignment;   /* valign_top, valign_center or valign_bottom */
    int text_alignment;            /* both in one, when not 0 */
    int text_anchor;
    int font_family;
    int font_size;
    int font_weight;
    float text_angle;
    float text_scale;
    int margin_width;
    int margin_height;
    String display_name;
    String label_font; /* font name, before the object's "font" */

    /* private state */
    float location[2]; /* the object's own copy of the anchor */
    XFontStruct* label_font_struct;
} XomTextPart;

typedef struct _XomTextRec {
    ObjectPart object;
    XomGraphicPart graphic;
    XomRectanglePart rectangle;
    XomTextPart text;
} XomTextRec;

#define XomTextPartOf(w) (&((XomTextObject)(w))->text)

#endif
