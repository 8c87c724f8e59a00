/* XomChartBase: the chart kinds' shared resources and data list. */
#include <Xm/Xm.h>

#include "toolkit/ChartBaseP.h"

#define offset(field) XtOffsetOf(XomChartBaseRec, chart_base.field)
static XtResource resources[] = {
    {(String)XomNchartType, (String) "ChartType", (String)XomRChartType, sizeof(int),
     offset(chart_type), (String)XmRImmediate, (XtPointer)XomCHART_TYPE_BAR},
    {(String)XomNfreeze, (String) "Freeze", (String)XmRBoolean, sizeof(Boolean), offset(freeze),
     (String)XmRImmediate, (XtPointer)False},
    {(String)XomNtranspose, (String) "Transpose", (String)XmRBoolean, sizeof(Boolean),
     offset(transpose), (String)XmRImmediate, (XtPointer)False},
    {(String)XomNinternalDataList, (String) "InternalDataList", (String)XmRWidgetList,
     sizeof(WidgetList), offset(data_list), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNinternalDataListCount, (String) "InternalDataListCount", (String)XmRCardinal,
     sizeof(Cardinal), offset(data_list_count), (String)XmRImmediate, (XtPointer)0},
};
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Destroy(Widget w);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);

XomChartBaseClassRec xomChartBaseClassRec = {
    {
        /* superclass */ (WidgetClass)&xomGroupClassRec,
        /* class_name */ (String) "XomChartBase",
        /* widget_size */ sizeof(XomChartBaseRec),
        /* class_initialize */ NULL,
        /* class_part_initialize */ NULL,
        /* class_inited */ False,
        /* initialize */ Initialize,
        /* initialize_hook */ NULL,
        /* obj1 */ NULL,
        /* obj2 */ NULL,
        /* obj3 */ 0,
        /* resources */ resources,
        /* num_resources */ XtNumber(resources),
        /* xrm_class */ NULLQUARK,
        /* obj4 */ False,
        /* obj5 */ False,
        /* obj6 */ False,
        /* obj7 */ False,
        /* destroy */ Destroy,
        /* obj8 */ NULL,
        /* obj9 */ NULL,
        /* set_values */ SetValues,
        /* set_values_hook */ NULL,
        /* obj10 */ NULL,
        /* get_values_hook */ NULL,
        /* obj11 */ NULL,
        /* version */ XtVersion,
        /* callback_private */ NULL,
        /* obj12 */ NULL,
        /* obj13 */ NULL,
        /* obj14 */ NULL,
        /* extension */ NULL,
    },
    {
        /* draw */ XomInheritGraphicDraw,
        /* bounds */ XomInheritGraphicBounds,
        /* hit */ XomInheritGraphicHit,
        /* value_to_pixel */ NULL,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomChartBaseObjectClass = (WidgetClass)&xomChartBaseClassRec;

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomChartBasePart* c = XomChartBaseOf(created);
    c->data_list = NULL;
    c->data_list_count = c->data_list_size = 0;
}

static void Destroy(Widget w)
{
    XtFree((char*)XomChartBaseOf(w)->data_list);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomChartBaseOf(updated)->data_list = XomChartBaseOf(old)->data_list; /* read only */
    XomChartBaseOf(updated)->data_list_count = XomChartBaseOf(old)->data_list_count;
    return False;
}
