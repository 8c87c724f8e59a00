// The "Graph Settings" dialog of the traffic chart: which services are plotted, new
// services by name and port (up to 20), deleting added ones, and the colour, style, width
// and dashes of the selected plotted line. Changes go straight into the current server's
// Setting and the chart; OK only pops the dialog down, and the chart view keeps it.
#ifndef VANTOR_SERVICEDIALOG_H
#define VANTOR_SERVICEDIALOG_H

#include <X11/Intrinsic.h>

#include "core/Setting.h"

class MonitorApp;
class MonChart;

// The 20 line colours of the chart and the dialog, followed by "" (the end of the chart's
// colour list); the pixels are allocated by the dialog.
enum { SERVICE_COLORS = 20 };
extern const char* color_name_list[SERVICE_COLORS + 1];
extern Pixel color_pixel_list[SERVICE_COLORS];

// A colour number as a real colour: numbers outside 0 to 19 wrap around the list.
int ServiceColorNumber(int n);

// The push buttons, told apart by their user data.
enum { SERVICE_OK = 14, SERVICE_ADD = 16, SERVICE_DELETE = 17 };

class ServiceDialog {
public:
    ServiceDialog(Widget parent, MonitorApp* app, MonChart* chart);
    ~ServiceDialog();
    ServiceDialog(const ServiceDialog&) = delete;
    ServiceDialog& operator=(const ServiceDialog&) = delete;

    void BuildServicePanel(Widget parent);
    void SetColor(Widget w);
    void CreateServiceSelectionEditor(Widget box);
    void Create2ControlButtons(Widget box);
    void CreateAttributeEditor(Widget box);
    void FillTable();
    void CreateToggleBn(int i);
    void HighlightRow(int row, int colour);
    void DehighlightRow(int row);

    static void TableSelectionCallback(Widget w, XtPointer clientData, XtPointer callData);
    static void ColorTableSelectionCallback(Widget w, XtPointer clientData, XtPointer callData);
    static void ToggleCallback(Widget w, XtPointer clientData, XtPointer callData);
    static void ServiceSelectionCallback(Widget w, XtPointer clientData, XtPointer callData);
    static void CellWidgetCallback(Widget w, XtPointer clientData, XtPointer callData);

    void TableSelection(Widget w, XtPointer callData);
    void ColorTableSelection(Widget w, XtPointer callData);
    void ToggleSelect(Widget w, XtPointer callData);
    void ServiceSelection(Widget w);

    Widget panel;                     // the pop-up shell; none until built
    int colorIndex[SETTING_SERVICES]; // colour number per service; -1 for none
    int lastColorIndex;               // the colour number given last
    Widget nameField;                 // at most 25 characters
    Widget portField;                 // at most 9 characters
    Widget selectedSeries;            // the selected service's line when plotted
    Widget serviceTable;
    Widget colorTable;
    Widget form; // the panel's vertical box
    Widget columnsBox, leftBox, middleBox, rightBox;
    Widget serviceToggle[SETTING_SERVICES]; // the toggle in the first cell of each row
    int selectedIndex;                      // the selected service; -1 for none
    Widget objectEditor;                    // the line attribute editor
    MonitorApp* app;
    MonChart* chart;

private:
    Setting& Current();
    int ServiceCount();
    // The chart's line of service i, or none when it is not plotted.
    Widget LineOf(int i);
    // Gives the line of service i the colour of its colour number.
    void ColorLine(int i);
    void ShowService(int i);
    void Add();
    void Delete();
    void Warn(const char* message);
};

#endif
