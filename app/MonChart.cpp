// The traffic chart view. Until the chart exists the view shows its title over an empty
// chart area, so the window keeps its final layout.
#include "app/MonChart.h"

#include <Xm/DrawingA.h>
#include <Xm/LabelG.h>
#include <Xm/Xm.h>

#include "app/MonitorApp.h"
#include "toolkit/util.h"

MonChart::MonChart(Widget parent, MonitorApp* owner) : box(NULL), app(owner)
{
    box = XtVaCreateWidget("box", xomBoxWidgetClass, parent, XomNorientation, XmVERTICAL,
                           XomNmargin, (Dimension)5, XomNspacing, (Dimension)5, NULL);
    XmString title = XmStringCreateLocalized((char*)"Real-time Service Traffic");
    XtVaCreateManagedWidget("chart_title", xmLabelGadgetClass, box, XmNlabelString, title,
                            XomNhorizontalStretch, XOM_BOX_UNLIMITED,
                            XomNhorizontalShrink, XOM_BOX_UNLIMITED, NULL);
    XmStringFree(title);
    XtVaCreateManagedWidget("editobject", xmDrawingAreaWidgetClass, box,
                            XmNwidth, (Dimension)750, XmNheight, (Dimension)200,
                            XomNhorizontalStretch, XOM_BOX_UNLIMITED,
                            XomNhorizontalShrink, XOM_BOX_UNLIMITED,
                            XomNverticalStretch, XOM_BOX_UNLIMITED,
                            XomNverticalShrink, XOM_BOX_UNLIMITED,
                            XtVaTypedArg, XmNbackground, XmRString, "white", 6, NULL);
    XtManageChild(box);
}

MonChart::~MonChart() {}

void MonChart::RasterChart() {}

void MonChart::ClearChart() {}

void MonChart::BuildServicePanel() {}

void MonChart::RasterChartUnitChange(double) {}
