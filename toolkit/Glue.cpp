/* XomGlue: fills a slot of a box and draws nothing; being windowless it always shows the
 * box's own background. */
#include <Xm/Xm.h>

#include "toolkit/Box.h"
#include "toolkit/GlueP.h"

/* A gap has no border: its size is all it occupies. */
static XtResource resources[] = {
    {(String)XmNborderWidth, (String)XmCBorderWidth, (String)XmRDimension, sizeof(Dimension),
     XtOffsetOf(XomGlueRec, rectangle.border_width), (String)XmRImmediate, (XtPointer)0},
};

XomGlueClassRec xomGlueClassRec = {
    {
        /* superclass */ (WidgetClass)&rectObjClassRec,
        /* class_name */ (String) "XomGlue",
        /* widget_size */ sizeof(XomGlueRec),
        /* class_initialize */ NULL,
        /* class_part_initialize */ NULL,
        /* class_inited */ False,
        /* initialize */ NULL,
        /* initialize_hook */ NULL,
        /* rect1 */ NULL,
        /* rect2 */ NULL,
        /* rect3 */ 0,
        /* resources */ resources,
        /* num_resources */ XtNumber(resources),
        /* xrm_class */ NULLQUARK,
        /* rect4 */ False,
        /* rect5 */ False,
        /* rect6 */ False,
        /* rect7 */ False,
        /* destroy */ NULL,
        /* resize */ NULL,
        /* expose */ NULL,
        /* set_values */ NULL,
        /* set_values_hook */ NULL,
        /* set_values_almost */ XtInheritSetValuesAlmost,
        /* get_values_hook */ NULL,
        /* rect9 */ NULL,
        /* version */ XtVersion,
        /* callback_private */ NULL,
        /* rect10 */ NULL,
        /* query_geometry */ NULL,
        /* rect11 */ NULL,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomGlueWidgetClass = (WidgetClass)&xomGlueClassRec;

Widget XomCreateGlue(Widget parent, const char* name, ArgList args, Cardinal count)
{
    return XtCreateWidget((String)name, xomGlueWidgetClass, parent, args, count);
}

static Widget CreateSizedGlue(Widget box, const char* function, const char* sizeName, int size,
                              const char* shrinkName, int shrink, const char* stretchName,
                              int stretch)
{
    if (!XomIsBox(box)) {
        String params[] = {(String)function};
        Cardinal count = 1;
        XtAppErrorMsg(XtWidgetToApplicationContext(box), (String)function, (String) "parentNotABox",
                      (String) "XomGlue", (String) "%s: parent must be a box widget", params,
                      &count);
    }
    return XtVaCreateManagedWidget("glue", xomGlueWidgetClass, box, sizeName, (Dimension)size,
                                   shrinkName, shrink, stretchName, stretch, NULL);
}

Widget XomCreateHorizontalGlue(Widget box, int width, int shrink, int stretch)
{
    return CreateSizedGlue(box, "XomCreateHorizontalGlue", XmNwidth, width, XomNhorizontalShrink,
                           shrink, XomNhorizontalStretch, stretch);
}

Widget XomCreateVerticalGlue(Widget box, int height, int shrink, int stretch)
{
    return CreateSizedGlue(box, "XomCreateVerticalGlue", XmNheight, height, XomNverticalShrink,
                           shrink, XomNverticalStretch, stretch);
}
