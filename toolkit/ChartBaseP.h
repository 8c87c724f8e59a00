/* Private definitions of XomChartBase. */
#ifndef XOM_CHART_BASE_P_H
#define XOM_CHART_BASE_P_H

#include "toolkit/ChartBase.h"
#include "toolkit/GroupP.h"

typedef struct {
    XtPointer extension;
} XomChartBaseClassPart;

typedef struct _XomChartBaseClassRec {
    ObjectClassPart object_class;
    XomGraphicClassPart graphic_class;
    XomGroupClassPart group_class;
    XomChartBaseClassPart chart_base_class;
} XomChartBaseClassRec;

extern XomChartBaseClassRec xomChartBaseClassRec;

typedef struct {
    /* resources */
    int chart_type; /* ChartType */
    Boolean freeze; /* no layout or drawing while True */
    Boolean transpose;
    WidgetList data_list; /* read only: the associated data objects */
    Cardinal data_list_count;

    /* private state */
    Cardinal data_list_size; /* allocated entries */
} XomChartBasePart;

typedef struct _XomChartBaseRec {
    ObjectPart object;
    XomGraphicPart graphic;
    XomGroupPart group;
    XomChartBasePart chart_base;
} XomChartBaseRec;

#define XomChartBaseOf(w) (&((XomChartBaseObject)(w))->chart_base)

#endif
