/* XomChartBase: the group that every chart kind builds on. It holds the chart's data list
 * and the freeze flag: while "freeze" is True changes are recorded but the chart is
 * neither laid out nor drawn.
 *
 * Resources (besides XomGroup's):
 * Name                   Class              Type        Default
 * chartType              ChartType          ChartType   chart_type_bar
 * freeze                 Freeze             Boolean     False
 * transpose              Transpose          Boolean     False
 * internalDataList       InternalDataList   WidgetList  (read only: the associated data)
 * internalDataListCount  InternalDataListCount Cardinal (read only)
 */
#ifndef XOM_CHART_BASE_H
#define XOM_CHART_BASE_H

#include "toolkit/Group.h"

extern WidgetClass xomChartBaseObjectClass;

typedef struct _XomChartBaseClassRec* XomChartBaseObjectClass;
typedef struct _XomChartBaseRec* XomChartBaseObject;

#define XomNchartType "chartType"
#define XomNfreeze "freeze"
#define XomNtranspose "transpose"
#define XomNinternalDataList "internalDataList"
#define XomNinternalDataListCount "internalDataListCount"

#define XomIsChartBase(w) ((w) && XtIsSubclass((w), xomChartBaseObjectClass))

#endif
