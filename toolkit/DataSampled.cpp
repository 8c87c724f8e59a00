/* XomDataSampled: a sampled series over an X-free value store. */
#include <stdlib.h>
#include <string.h>

#include <Xm/Xm.h>

#include "toolkit/DataSampledP.h"
#include "toolkit/XomP.h"

#define offset(field) XtOffsetOf(XomDataSampledRec, sampled.field)
static XtResource resources[] = {
    {(String)XomNdataArray, (String) "DataArray", (String)XmRPointer, sizeof(XtPointer),
     offset(data_array), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNcount, (String) "Count", (String)XmRInt, sizeof(int), offset(count),
     (String)XmRImmediate, (XtPointer)0},
    {(String)XomNdataType, (String) "DataType", (String)XmRInt, sizeof(int), offset(data_type),
     (String)XmRImmediate, (XtPointer)XOM_DATA_FLOAT},
    {(String)XomNsampledRange, (String) "SampledRange", (String)XmRPointer, sizeof(float*),
     offset(sampled_range), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNunit, (String) "Unit", (String)XmRString, sizeof(String), offset(unit),
     (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNsampledUnit, (String) "SampledUnit", (String)XmRString, sizeof(String),
     offset(sampled_unit), (String)XmRImmediate, (XtPointer)NULL},
};
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Destroy(Widget w);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static Boolean RangeY(Widget data, float* minimum, float* maximum);

XomDataSampledClassRec xomDataSampledClassRec = {
    {
        /* superclass */ (WidgetClass)&xomDataClassRec,
        /* class_name */ (String) "XomDataSampled",
        /* widget_size */ sizeof(XomDataSampledRec),
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
        /* range_y */ RangeY,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomDataSampledObjectClass = (WidgetClass)&xomDataSampledClassRec;

/* Takes the values given in the resources into the store; a refused type or count leaves
 * the series empty with a warning. */
static void LoadValues(Widget w)
{
    XomDataSampledPart* s = XomDataSampledOf(w);
    if (!XomDataStoreInit(&s->store, s->data_type, s->data_array, s->count,
                          XomDataOf(w)->copy_data)) {
        XomClassWarning(w, "XomDataSampled", "bad dataType or count: the series is empty");
        s->count = 0;
    }
    s->data_array = s->store.values;
}

/* The range resource points at the object's own copy. */
static void LoadRange(Widget w, const float* given)
{
    XomDataSampledPart* s = XomDataSampledOf(w);
    if (given) {
        s->range[0] = given[0];
        s->range[1] = given[1];
    }
    s->sampled_range = s->range;
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomDataSampledPart* s = XomDataSampledOf(created);
    s->range[0] = 0.0f;
    s->range[1] = 1.0f;
    LoadRange(created, s->sampled_range);
    LoadValues(created);
}

static void Destroy(Widget w)
{
    XomDataStoreClear(&XomDataSampledOf(w)->store);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomDataSampledPart* was = XomDataSampledOf(old);
    XomDataSampledPart* now = XomDataSampledOf(updated);
    if (now->sampled_range != was->sampled_range)
        LoadRange(updated, now->sampled_range);
    if (now->data_array != was->data_array || now->count != was->count
        || now->data_type != was->data_type) {
        XomDataStore previous = now->store;
        LoadValues(updated);
        XomDataStoreClear(&previous);
        XomDataNotify(updated, XomCR_DATA_REPLACE, 0, now->count, 0.0f, 0.0f);
    }
    return False;
}

static Boolean RangeY(Widget data, float* minimum, float* maximum)
{
    return XomDataStoreRange(&XomDataSampledOf(data)->store, minimum, maximum) ? True : False;
}

/* ---- public functions ---- */

Widget XomCreateDataSampled(Widget parent, const char* name, ArgList args, Cardinal count)
{
    return XtCreateWidget((String)name, xomDataSampledObjectClass, parent, args, count);
}

static Boolean Writable(Widget data)
{
    return XomIsDataSampled(data) && XomDataOf(data)->editable;
}

int XomDataSampledShift(Widget data, float* values, int n)
{
    if (!Writable(data))
        return 0;
    XomDataSampledPart* s = XomDataSampledOf(data);
    if (!XomDataStoreShift(&s->store, values, n))
        return 0;
    XomDataNotify(data, XomCR_DATA_SHIFT, 0, s->store.count, 0.0f, 0.0f);
    return 1;
}

int XomDataSampledReplace(Widget data, float* values, int start, int n)
{
    if (!Writable(data))
        return 0;
    XomDataReplaced done;
    if (!XomDataStoreReplace(&XomDataSampledOf(data)->store, values, start, n, &done))
        return 0;
    XomDataNotify(data, XomCR_DATA_REPLACE, done.start, done.count, done.minimum, done.maximum);
    return 1;
}

float* XomDataSampledGetDataArray(Widget data, int start, int n)
{
    if (!XomIsDataSampled(data))
        return NULL;
    int got = 0;
    float* values = XomDataStoreCopyOut(&XomDataSampledOf(data)->store, start, n, &got);
    if (!values)
        return NULL;
    /* Callers free with XtFree, as every array the toolkit hands out. */
    float* out = (float*)XtMalloc((Cardinal)(got * sizeof(float)));
    memcpy(out, values, (size_t)got * sizeof(float));
    free(values);
    return out;
}

int XomDataSampledCount(Widget data)
{
    return XomIsDataSampled(data) ? XomDataSampledOf(data)->store.count : 0;
}

float XomDataSampledValue(Widget data, int i)
{
    if (i < 0 || i >= XomDataSampledCount(data))
        return XOM_NO_VALUE;
    return XomDataStoreGet(&XomDataSampledOf(data)->store, i);
}

double XomDataSampledX(Widget data, int i)
{
    const float* r = XomDataSampledOf(data)->range;
    return (double)r[0] + (double)i * (double)r[1];
}
