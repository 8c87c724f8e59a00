// The "Graph Settings" dialog (see ServiceDialog.h). It is made of three columns: the
// service table (a toggle per row that plots or hides the service, its name and port) with
// the Name and Port fields above it; Add and Delete; and the line colour table above the
// object editor that sets the style, width and dashes of the selected line. Every change
// goes at once into the current server's Setting and the chart, so there is nothing to
// apply or cancel. The dialog is built once and popped up again by BuildServicePanel.
#include "app/ServiceDialog.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>

#include <Xm/Frame.h>
#include <Xm/LabelG.h>
#include <Xm/PushB.h>
#include <Xm/Separator.h>
#include <Xm/Text.h>
#include <Xm/ToggleB.h>

#include "app/MonChart.h"
#include "app/MonSOCKS5.h"
#include "app/MonitorApp.h"
#include "app/util.h"
#include "toolkit/Chart.h"
#include "toolkit/EditObject.h"
#include "toolkit/EditTable.h"
#include "toolkit/Glue.h"
#include "toolkit/Graphic.h"
#include "toolkit/LineSeries.h"
#include "toolkit/ObjectEditor.h"
#include "toolkit/Scroll.h"
#include "toolkit/util.h"

// The line colours, numbered 0 to 19; a service's colour number indexes this list.
const char* color_name_list[SERVICE_COLORS + 1] = {
    "red",     "green",   "brown",   "blue",    "salmon",  "cyan",    "yellow",
    "#bb00f0", "black",   "#feb900", "#55cc00", "#d00010", "#ff00b0", "#0050da",
    "grey",    "#ff6500", "#900050", "#006d01", "pink",    "#000080", ""};
// The same colours as pixels of the default colormap, allocated once by SetColor.
Pixel color_pixel_list[SERVICE_COLORS];

// The service table's three columns: the plot toggle (an integer cell holding 0 or 1), the
// name and the port as text. Only the toggle column can be edited in place.
namespace {

const char* col_annotation[] = {"Y/N", "Name", "Port"};
int column_data_type[] = {XomTYPE_INTEGER, XomTYPE_STRING, XomTYPE_STRING};
const char* column_data_format[] = {"%d", "%s", "%s"};
int cell_width[] = {2, 12, 12};
int column_edit_mode[] = {1, 0, 0};

// The object editor shows one attribute editor with these three line attributes.
const char* default_edit_list[] = {"AttributeEditor", NULL};
const char* attribute_list[] = {"LineStyle", "LineWidth", "DashType", NULL};

// Button 1 moves the cell pointer to the cell under the pointer.
const char kEnterCellTranslations[] = "  <Btn1Down>:          EditTableEnterCell(Pointer)";

const char kFieldFont[] = "-*-Helvetica-medium-r*--120-*";
const int kColorRows = 4;                      // colours per column of the colour table
const int kLastDefaultService = 5;             // services 0 to 5 cannot be deleted
const int kNameLength = SETTING_TEXT_SIZE - 1; // the most a service name buffer holds
// Room for any port and a few stray characters, which the check on Add then refuses.
const int kPortLength = 9;
const int kHighestPort = 65535;

const char kNameEmpty[] = "Application name empty.";
const char kTooMany[] = "Adding this application would exceed the maximum limit you can monitor. "
                        "\nPlease remove an application, and try again.";
const char kNameSpace[] = "Application name cannot contain space.";
const char kPortNotNumber[] = "The port number must be a number.";
const char kAlreadyListed[] = "That application is already in the list.";
const char kDefaultService[] = "Cannot delete default applications.";

// The text of a field as a string, the Motif copy freed at once.
std::string FieldText(Widget field)
{
    char* text = XmTextGetString(field);
    std::string result = text ? text : "";
    XtFree(text);
    return result;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Copies text into a service buffer, making the buffer when it is missing.
void StoreServiceText(char** buffer, const char* text)
{
    if (!*buffer)
        *buffer = NewServiceText(text);
    else
        snprintf(*buffer, SETTING_TEXT_SIZE, "%s", text);
}

} // namespace

// Any number, negative ones included, maps onto one of the colours, so a colour index from an old
// or damaged setting can never index past the list.
int ServiceColorNumber(int n)
{
    return ((n % SERVICE_COLORS) + SERVICE_COLORS) % SERVICE_COLORS;
}

// Services already in the setting get colours 0, 1, 2... in row order, as the chart gives
// its first lines; added services take the next colour (lastColorIndex).
ServiceDialog::ServiceDialog(Widget parent, MonitorApp* owner, MonChart* view)
    : panel(NULL), lastColorIndex(0), nameField(NULL), portField(NULL), selectedSeries(NULL),
      serviceTable(NULL), colorTable(NULL), form(NULL), columnsBox(NULL), leftBox(NULL),
      middleBox(NULL), rightBox(NULL), selectedIndex(-1), objectEditor(NULL), app(owner),
      chart(view)
{
    for (Widget& toggle : serviceToggle)
        toggle = NULL;
    SetColor(parent);
    int count = ServiceCount();
    for (int i = 0; i < SETTING_SERVICES; i++)
        colorIndex[i] = i < count ? i : -1;
    lastColorIndex = count - 1;
    BuildServicePanel(parent);
}

ServiceDialog::~ServiceDialog()
{
    selectedSeries = NULL;
    if (panel)
        XtDestroyWidget(panel);
}

// The services of the current server, or the template setting while none is chosen.
Setting& ServiceDialog::Current()
{
    return app->current ? app->current->setting : app->setting;
}

// The setting's count, kept within the table's rows whatever a settings file said.
int ServiceDialog::ServiceCount()
{
    int count = Current().serviceCount;
    return count < 0 ? 0 : count > SETTING_SERVICES ? SETTING_SERVICES : count;
}

// Allocates the twenty line colours once, on the default colormap. When one cannot be had
// the rest keep pixel 0: the chart still draws, in fewer colours.
void ServiceDialog::SetColor(Widget w)
{
    Display* display = XtDisplay(w);
    Colormap colormap = DefaultColormapOfScreen(XtScreen(w));
    for (int n = 0; n < SERVICE_COLORS; n++) {
        XColor shown, exact;
        if (!XAllocNamedColor(display, colormap, color_name_list[n], &shown, &exact)) {
            std::string message =
                std::string("Can't allocate color resource: ") + " " + color_name_list[n];
            XtWarning(message.c_str());
            return;
        }
        color_pixel_list[n] = shown.pixel;
    }
}

// The window manager may destroy the panel; the next Graph Settings then builds a new one.
static void PanelDestroyedCallback(Widget, XtPointer clientData, XtPointer)
{
    static_cast<ServiceDialog*>(clientData)->panel = NULL;
}

// Shown again, the dialog rebuilds the service rows' toggles: the server may have changed,
// and with it the services and which of them are plotted.
void ServiceDialog::BuildServicePanel(Widget parent)
{
    if (panel) {
        for (Widget& toggle : serviceToggle) {
            if (toggle)
                XtDestroyWidget(toggle);
            toggle = NULL;
        }
        FillTable();
        SetGrabBeepPanel(panel);
        XtPopup(panel, XtGrabExclusive);
        return;
    }
    panel = KesStandardPanel(XtParent(parent), "Graph Settings", XmVERTICAL, -1, -1, 10, 5, &form);
    XtAddCallback(panel, XtNdestroyCallback, PanelDestroyedCallback, this);
    columnsBox = OmStandardBox(form, XmHORIZONTAL, 10, 10);
    leftBox = OmStandardBox(columnsBox, XmVERTICAL, 0, 5);
    middleBox = OmStandardBox(columnsBox, XmVERTICAL, 0, 5);
    rightBox = OmStandardBox(columnsBox, XmVERTICAL, 0, 5);
    CreateServiceSelectionEditor(leftBox);
    Create2ControlButtons(middleBox);
    CreateAttributeEditor(rightBox);
    XtManageChild(form);
    SetGrabBeepPanel(panel);
    XtPopup(panel, XtGrabExclusive);
}

// The left column: "Service", the Name and Port fields (labels of one width, so the fields
// line up) and below them the scrolled service table.
void ServiceDialog::CreateServiceSelectionEditor(Widget box)
{
    XmString text = XmStringCreateLocalized((char*)"Service");
    XtVaCreateManagedWidget("Service", xmLabelGadgetClass, box, XmNlabelString, text, XmNwidth,
                            (Dimension)240, XmNheight, (Dimension)40, XmNrecomputeSize, False,
                            NULL);
    XmStringFree(text);

    // The fields' font when the server has it; otherwise they keep their default font.
    XmFontList fontList = NULL;
    int matches = 0;
    // Asked first, so a server without the font gives no warning on every start.
    char** names = XListFonts(XtDisplay(box), kFieldFont, 1, &matches);
    if (names)
        XFreeFontNames(names);
    XmFontListEntry entry = matches
        ? XmFontListEntryLoad(XtDisplay(box), (char*)kFieldFont, XmFONT_IS_FONT, (char*)"charset1")
        : NULL;
    if (entry) {
        fontList = XmFontListAppendEntry(NULL, entry);
        XmFontListEntryFree(&entry);
    }

    Widget nameBox = OmStandardBox(box, XmHORIZONTAL, 6, 6);
    text = XmStringCreateLocalized((char*)"Name");
    Widget nameLabel = XtVaCreateManagedWidget("Name", xmLabelGadgetClass, nameBox, XmNlabelString,
                                               text, XmNalignment, XmALIGNMENT_END, NULL);
    XmStringFree(text);
    Dimension labelWidth = 0;
    XtVaGetValues(nameLabel, XmNwidth, &labelWidth, NULL);
    labelWidth = (Dimension)(labelWidth + 20);
    XtVaSetValues(nameLabel, XmNrecomputeSize, False, XmNwidth, labelWidth, NULL);
    Arg font[1];
    XtSetArg(font[0], XmNfontList, fontList);
    Cardinal fonts = fontList ? 1 : 0;
    nameField = XtCreateManagedWidget("text", xmTextWidgetClass, nameBox, font, fonts);
    XtVaSetValues(nameField, XmNmaxLength, kNameLength, NULL);

    Widget portBox = OmStandardBox(box, XmHORIZONTAL, 6, 6);
    text = XmStringCreateLocalized((char*)"Port");
    XtVaCreateManagedWidget("Port", xmLabelGadgetClass, portBox, XmNlabelString, text, XmNalignment,
                            XmALIGNMENT_END, XmNrecomputeSize, False, XmNwidth, labelWidth, NULL);
    XmStringFree(text);
    Dimension fieldWidth = 0;
    XtVaGetValues(nameField, XmNwidth, &fieldWidth, NULL);
    fieldWidth = (Dimension)(fieldWidth + 20);
    XtVaSetValues(nameField, XmNwidth, fieldWidth, NULL);
    portField = XtCreateManagedWidget("text", xmTextWidgetClass, portBox, font, fonts);
    XtVaSetValues(portField, XmNmaxLength, kPortLength, XmNwidth, fieldWidth, NULL);
    if (fontList)
        XmFontListFree(fontList);

    // One row for each possible service; rows past the setting's count are hidden, so that Add
    // only shows the next one.
    Widget scroll =
        XtVaCreateWidget("scroll", xomScrollWidgetClass, box, XomNscrollBarExtend, False,
                         XomNhorizontalAutoSized, True, XmNheight, (Dimension)200, NULL);
    serviceTable = XtVaCreateWidget(
        "table", xomEditTableWidgetClass, scroll, XomNtitlePlacement, 0, XomNnumberOfColumns, 3,
        XomNnumberOfRows, SETTING_SERVICES, XomNverticalAnnotationPlacement, 0,
        XomNhorizontalAnnotationPlacement, 1, XtVaTypedArg, XomNtableFont, XtRString,
        "*Helvetica*bold-r*120*", strlen("*Helvetica*bold-r*120*") + 1, XomNautoMarginAdjust, 15,
        XomNcellPointerBorderThickness, 0, XomNgridLineWidth, 0, XomNcolumnDataTypeData,
        column_data_type, XomNcolumnDataFormatData, column_data_format, XomNcellWidthData,
        cell_width, XomNautomaticColumnAnnotation, False, XomNcolumnEditModeData, column_edit_mode,
        NULL);
    XtVaSetValues(serviceTable, XomNcolumnAnnotationData, col_annotation, NULL);
    XtAddCallback(serviceTable, XomNcellWidgetDisplayCallback, CellWidgetCallback, NULL);
    XtVaSetValues(serviceTable, XmNuserData, (XtPointer)serviceTable, NULL);
    XtAddCallback(serviceTable, XomNtraverseCellCallback, TableSelectionCallback, this);
    XtOverrideTranslations(serviceTable, XtParseTranslationTable(kEnterCellTranslations));
    FillTable();
    XtManageChild(serviceTable);
    XtManageChild(scroll);
}

// The middle column holds Add and Delete, of one width; OK goes below the three columns,
// twice as wide. The buttons share one callback and are told apart by their user data.
void ServiceDialog::Create2ControlButtons(Widget box)
{
    XomCreateVerticalGlue(box, 60, 60, 60);
    Widget add = XtVaCreateManagedWidget("fw_add", xmPushButtonWidgetClass, box, NULL);
    Widget remove = XtVaCreateManagedWidget("fw_delete", xmPushButtonWidgetClass, box, XmNuserData,
                                            (XtPointer)SERVICE_DELETE, NULL);
    Dimension width = 0;
    XtVaGetValues(remove, XmNwidth, &width, NULL);
    XtVaSetValues(add, XmNwidth, width, XmNuserData, (XtPointer)SERVICE_ADD, NULL);

    XtVaCreateManagedWidget("sep", xmSeparatorWidgetClass, form, XomNhorizontalStretch,
                            XOM_BOX_UNLIMITED, NULL);
    Widget okBox = OmStandardBox(form, XmHORIZONTAL, 0, 0);
    XomCreateHorizontalGlue(okBox, 5, 240, 240);
    Widget ok =
        XtVaCreateManagedWidget("fw_ok", xmPushButtonWidgetClass, okBox, XmNwidth,
                                (Dimension)(2 * width), XmNuserData, (XtPointer)SERVICE_OK, NULL);
    for (Widget button : {add, remove, ok})
        XtAddCallback(button, XmNactivateCallback, ServiceSelectionCallback, this);
}

// The right column: the colour table (4 rows of 5 colours; its user data holds the row count
// so that a cell gives back its colour number) and the object editor, which edits whatever
// line is selected in the chart's edit object.
void ServiceDialog::CreateAttributeEditor(Widget box)
{
    Widget frame = XtVaCreateManagedWidget("frame", xmFrameWidgetClass, box, XmNshadowType,
                                           XmSHADOW_ETCHED_IN, NULL);
    colorTable = XtVaCreateWidget(
        "table", xomEditTableWidgetClass, frame, XomNtitleString, "Line Color", XtVaTypedArg,
        XomNtitleFont, XtRString, "*Helvetica*bold-r*120*", strlen("*Helvetica*bold-r*120*") + 1,
        XomNnumberOfColumns, SERVICE_COLORS / kColorRows, XomNnumberOfRows, kColorRows,
        XomNverticalAnnotationPlacement, 0, XomNhorizontalAnnotationPlacement, 0, XomNtopMargin, 10,
        XomNgridLineWidth, 5, XomNgridLineStyle, 4, XomNcellPointerBorderThickness, 0,
        XomNdefaultColumnEditMode, 0, XomNdefaultCellHeight, 2, XomNdefaultCellWidth, 3,
        XomNbottomMargin, 5, XomNleftMargin, 10, XomNrightMargin, 10, XmNuserData,
        (XtPointer)(long)kColorRows, NULL);
    XtOverrideTranslations(colorTable, XtParseTranslationTable(kEnterCellTranslations));
    XtAddCallback(colorTable, XomNtraverseCellCallback, ColorTableSelectionCallback, this);
    // Each cell is painted with its colour; the table shows no text, only the colours.
    for (int n = 0; n < SERVICE_COLORS; n++)
        XomEditTableSetCellBackground(colorTable, n / kColorRows + 1, 1, n % kColorRows + 1, 1,
                                      color_pixel_list[n]);
    // All twenty colours in view: the size the table asks for with its title and margins.
    XtWidgetGeometry preferred;
    XtQueryGeometry(colorTable, NULL, &preferred);
    XtVaSetValues(colorTable, XmNwidth, preferred.width, XmNheight, preferred.height, NULL);
    XtManageChild(colorTable);

    Widget editorFrame = XtVaCreateManagedWidget("frame", xmFrameWidgetClass, box, XmNshadowType,
                                                 XmSHADOW_ETCHED_IN, NULL);
    objectEditor = XtVaCreateWidget("ObjectEditor", xomObjectEditorWidgetClass, editorFrame,
                                    XomNorientation, XmVERTICAL, XomNnumColumns, 1, XomNeditList,
                                    default_edit_list, XomNattributeList, attribute_list, NULL);
    // The editor follows the chart's selection: selecting a service's line here selects it there.
    XomObjectEditorAddEditObjectToList(objectEditor, chart->editobject);
    XtManageChild(objectEditor);
}

// Puts the current setting's services into the table: a toggle widget in each used row's
// first cell, names and ports from the setting's text arrays, and the unused rows hidden.
// Updates are frozen meanwhile so that the table draws once.
void ServiceDialog::FillTable()
{
    Setting& s = Current();
    int count = ServiceCount();
    XomEditTableFreezeUpdate(serviceTable, True);
    // All rows are shown first so that rows hidden for an earlier server with fewer services come
    // back.
    XomEditTableChangeRowVisibility(serviceTable, 1, SETTING_SERVICES, True);
    for (int i = 0; i < SETTING_SERVICES; i++) {
        if (i < count)
            CreateToggleBn(i);
        else
            serviceToggle[i] = NULL;
    }
    XomEditTableFillColumnData(serviceTable, 2, (XtPointer)s.serviceName);
    XomEditTableFillColumnData(serviceTable, 3, (XtPointer)s.servicePortText);
    for (int i = 0; i < count; i++)
        XomEditTableFillCell(serviceTable, 1, i + 1, (XtPointer)&s.serviceSelected[i]);
    if (count < SETTING_SERVICES)
        XomEditTableChangeRowVisibility(serviceTable, count + 1, SETTING_SERVICES, False);
    XomEditTableFreezeUpdate(serviceTable, False);
}

// The toggle lives in the table as a cell widget; the table keeps its value in the cell and
// redraws it through CellWidgetCallback.
void ServiceDialog::CreateToggleBn(int i)
{
    Setting& s = Current();
    int range[4] = {i + 1, 1, 1, 1};
    XmString empty = XmStringCreateLocalized((char*)"");
    // Widget names may not be empty; a service without a name still gets a toggle.
    const char* name = s.serviceName[i] && *s.serviceName[i] ? s.serviceName[i] : "service";
    serviceToggle[i] = XtVaCreateManagedWidget(
        name, xmToggleButtonWidgetClass, serviceTable, XomNcellWidgetRange, range,
        XomNcellWidgetSetResources, False, XomNcellWidgetOverrideTranslations, True, XmNlabelString,
        empty, XmNset, s.serviceSelected[i] ? True : False, XmNuserData, (XtPointer)serviceTable,
        NULL);
    XmStringFree(empty);
    XtAddCallback(serviceToggle[i], XmNvalueChangedCallback, ToggleCallback, this);
}

// The selected service's name cell takes its line colour, with white text on the dark ones.
void ServiceDialog::HighlightRow(int row, int colour)
{
    if (row < 1 || row > SETTING_SERVICES)
        return;
    int n = ServiceColorNumber(colour);
    Pixel background = color_pixel_list[n];
    Display* display = XtDisplay(serviceTable);
    bool dark = n == SERVICE_COLORS - 1 || background == XomLoadColor(display, "black");
    XomEditTableFreezeUpdate(serviceTable, True);
    XomEditTableSetCellBackground(serviceTable, 2, 2, row, 1, background);
    XomEditTableSetCellForeground(serviceTable, 2, 2, row, 1,
                                  XomLoadColor(display, dark ? "white" : "black"));
    XomEditTableFreezeUpdate(serviceTable, False);
}

// The row goes back to the dialog's grey with black text.
void ServiceDialog::DehighlightRow(int row)
{
    if (row < 1 || row > SETTING_SERVICES)
        return;
    Display* display = XtDisplay(serviceTable);
    XomEditTableFreezeUpdate(serviceTable, True);
    XomEditTableSetCellBackground(serviceTable, 2, 2, row, 1, XomLoadColor(display, "grey77"));
    XomEditTableSetCellForeground(serviceTable, 2, 2, row, 1, XomLoadColor(display, "black"));
    XomEditTableFreezeUpdate(serviceTable, False);
}

// The line drawn for service i, or none when it is not plotted.
Widget ServiceDialog::LineOf(int i)
{
    if (i < 0 || i >= SETTING_SERVICES || !chart->series[i])
        return NULL;
    int count = 0;
    WidgetList lines = XomChartGetSeriesOfData(chart->chartObject, chart->series[i], &count);
    return count > 0 ? lines[0] : NULL;
}

void ServiceDialog::ColorLine(int i)
{
    Widget line = LineOf(i);
    if (!line)
        return;
    Pixel pixel = color_pixel_list[ServiceColorNumber(colorIndex[i])];
    XtVaSetValues(line, XomNcolor, pixel, XomNsymbolColor, pixel, NULL);
}

void ServiceDialog::ShowService(int i)
{
    Setting& s = Current();
    XmTextSetString(nameField, s.serviceName[i] ? s.serviceName[i] : (char*)"");
    XmTextSetString(portField, s.servicePortText[i] ? s.servicePortText[i] : (char*)"");
}

// A click on a service's name or port selects it: its fields are shown, its line (when
// plotted) is selected in the chart for the object editor, and its row takes its colour.
// Clicks on the toggle column go to ToggleSelect instead.
void ServiceDialog::TableSelectionCallback(Widget w, XtPointer clientData, XtPointer callData)
{
    static_cast<ServiceDialog*>(clientData)->TableSelection(w, callData);
}

void ServiceDialog::TableSelection(Widget, XtPointer callData)
{
    const XomEditTableTraverseCallbackStruct* data =
        (const XomEditTableTraverseCallbackStruct*)callData;
    if (!data || data->row < 1 || data->row > ServiceCount() || data->column == 1)
        return;
    if (selectedIndex != -1)
        DehighlightRow(selectedIndex + 1);
    selectedIndex = data->row - 1;
    ShowService(selectedIndex);
    XomEditObjectFreeze(chart->editobject, True);
    XomEditObjectDeselectAll(chart->editobject);
    XomEditObjectFreeze(chart->editobject, False);
    selectedSeries = Current().serviceSelected[selectedIndex] ? LineOf(selectedIndex) : NULL;
    if (selectedSeries)
        XomEditObjectSelectObject(chart->editobject, selectedSeries);
    HighlightRow(data->row, colorIndex[selectedIndex]);
}

// A click on a colour gives it to the selected service's line, which must be plotted.
void ServiceDialog::ColorTableSelectionCallback(Widget w, XtPointer clientData, XtPointer callData)
{
    static_cast<ServiceDialog*>(clientData)->ColorTableSelection(w, callData);
}

void ServiceDialog::ColorTableSelection(Widget w, XtPointer callData)
{
    const XomEditTableTraverseCallbackStruct* data =
        (const XomEditTableTraverseCallbackStruct*)callData;
    XtPointer rows = NULL;
    XtVaGetValues(w, XmNuserData, &rows, NULL);
    // Colours are numbered down the columns: column c, row r is colour (c - 1) * 4 + r - 1.
    int n = data ? (data->column - 1) * (int)(long)rows + data->row - 1 : -1;
    if (n < 0 || n >= SERVICE_COLORS || !selectedSeries || selectedIndex < 0)
        return;
    XtVaSetValues(selectedSeries, XomNcolor, color_pixel_list[n], XomNsymbolColor,
                  color_pixel_list[n], NULL);
    colorIndex[selectedIndex] = n;
    HighlightRow(selectedIndex + 1, n);
}

void ServiceDialog::ToggleCallback(Widget w, XtPointer clientData, XtPointer callData)
{
    static_cast<ServiceDialog*>(clientData)->ToggleSelect(w, callData);
}

// Plots or hides a service. Plotting clears the chart, because a new line has no history of
// its own and all lines should start together; hiding destroys the line.
void ServiceDialog::ToggleSelect(Widget w, XtPointer callData)
{
    const XmToggleButtonCallbackStruct* data = (const XmToggleButtonCallbackStruct*)callData;
    // The toggle's own row: it is the one the cell pointer was moved to by the click.
    int i = 0;
    while (i < SETTING_SERVICES && serviceToggle[i] != w)
        i++;
    // Without a server there is no chart to plot on.
    if (i == SETTING_SERVICES || i >= ServiceCount() || !app->current)
        return;
    int set = data && data->set ? 1 : 0;
    XomEditTableFillCell(serviceTable, 1, i + 1, (XtPointer)&set);

    Setting& s = Current();
    Widget area = chart->editobject;
    XomEditObjectFreeze(area, True);
    XomEditObjectDeselectAll(area);
    XomEditObjectFreeze(area, False);
    if (selectedIndex != -1)
        DehighlightRow(selectedIndex + 1);
    selectedIndex = i;
    s.serviceSelected[i] = set;
    if (set) {
        ShowService(i);
        HighlightRow(i + 1, colorIndex[i]);
        XmToggleButtonSetState(w, True, False);
        chart->ClearChart();
        // Every line keeps the colour its row shows; the chart would number them afresh.
        XomEditObjectFreeze(area, True);
        XomEditObjectDeselectAll(area);
        for (int k = 0; k < ServiceCount(); k++)
            if (s.serviceSelected[k])
                ColorLine(k);
        selectedSeries = LineOf(i);
        if (selectedSeries)
            XomEditObjectSelectObject(area, selectedSeries);
        XomEditObjectFreeze(area, False);
    } else {
        XmTextSetString(nameField, (char*)"");
        XmToggleButtonSetState(w, False, False);
        if (chart->series[i]) {
            XomEditObjectFreeze(area, True);
            XomEditObjectDestroyObject(chart->series[i]);
            chart->series[i] = NULL;
            XomEditObjectFreeze(area, False);
        }
        selectedIndex = -1;
        selectedSeries = NULL;
    }
}

// Called as the table draws a cell holding a widget: the toggle follows the cell's value and
// background, so that scrolling and highlighting show through.
void ServiceDialog::CellWidgetCallback(Widget w, XtPointer, XtPointer callData)
{
    XomEditTableCellWidgetCallbackStruct* data = (XomEditTableCellWidgetCallbackStruct*)callData;
    if (!data || !data->widget || !XmIsToggleButton(data->widget))
        return;
    int* value = (int*)XomEditTableGetCellData(w, data->column, data->row);
    Boolean set = value && *value ? True : False;
    free(value);
    Pixel background = 0;
    XtVaGetValues(data->widget, XmNbackground, &background, NULL);
    if (XmToggleButtonGetState(data->widget) != set)
        XmToggleButtonSetState(data->widget, set, False);
    if (background != data->attributes.background)
        XtVaSetValues(data->widget, XmNbackground, data->attributes.background, NULL);
    data->attributes.text = (String) ""; // the toggle alone shows the value
}

void ServiceDialog::ServiceSelectionCallback(Widget w, XtPointer clientData, XtPointer)
{
    static_cast<ServiceDialog*>(clientData)->ServiceSelection(w);
}

void ServiceDialog::Warn(const char* message)
{
    KesWarningPost(app->shell, message, NULL, NULL, "Warning");
}

void ServiceDialog::ServiceSelection(Widget w)
{
    XtPointer userData = NULL;
    XtVaGetValues(w, XmNuserData, &userData, NULL);
    switch ((long)userData) {
    // OK only closes: every change has taken effect already.
    case SERVICE_OK:
        selectedSeries = NULL;
        if (selectedIndex != -1)
            DehighlightRow(selectedIndex + 1);
        selectedIndex = -1;
        XtPopdown(panel);
        break;
    case SERVICE_ADD:
        Add();
        break;
    case SERVICE_DELETE:
        Delete();
        break;
    default:
        break;
    }
}

// Add takes the first word of the name field and the port field (left empty, the row keeps
// the port it had: -1, no port, for a row never used), refuses a name and port already
// listed, and appends a row with the toggle off. The chart gets a series of zeros for it.
void ServiceDialog::Add()
{
    std::string name = FieldText(nameField);
    std::string port = FieldText(portField);
    Setting& s = Current();
    if (name.empty())
        return Warn(kNameEmpty);
    if (s.serviceCount >= SETTING_SERVICES)
        return Warn(kTooMany);
    size_t first = 0;
    while (first < name.size() && IsBlank(name[first]))
        first++;
    if (first == name.size())
        return Warn(kNameSpace);
    size_t end = first;
    while (end < name.size() && !IsBlank(name[end]))
        end++;
    // A pasted name longer than the field allows is cut to what a service name holds.
    name = name.substr(first, std::min(end - first, (size_t)kNameLength));
    // Digits only, and a number a port can be.
    long value = 0;
    for (char c : port) {
        if (c < '0' || c > '9' || value > kHighestPort)
            return Warn(kPortNotNumber);
        value = value * 10 + (c - '0');
    }
    if (value > kHighestPort)
        return Warn(kPortNotNumber);
    int count = ServiceCount();
    // The same name may be listed with another port: a service can run on several.
    for (int i = 0; i < count; i++)
        if (s.serviceName[i] && name == s.serviceName[i] && s.servicePort[i] == value)
            return Warn(kAlreadyListed);

    int k = count;
    s.serviceCount = k + 1;
    XomEditTableFreezeUpdate(serviceTable, True);
    XomEditTableFillCell(serviceTable, 2, k + 1, (XtPointer)name.c_str());
    s.serviceSelected[k] = 0;
    StoreServiceText(&s.serviceName[k], name.c_str());
    if (!port.empty())
        s.servicePort[k] = (int)value;
    char text[16] = "";
    if (s.servicePort[k] != -1)
        snprintf(text, sizeof text, "%d", s.servicePort[k]);
    StoreServiceText(&s.servicePortText[k], text);
    XomEditTableFillCell(serviceTable, 3, k + 1, (XtPointer)text);
    CreateToggleBn(k);
    int off = 0;
    XomEditTableFillCell(serviceTable, 1, k + 1, (XtPointer)&off);
    XomEditTableChangeRowVisibility(serviceTable, k + 1, k + 1, True);
    XomEditTableFreezeUpdate(serviceTable, False);
    // A new service takes the next colour in turn, wrapping after the last one.
    lastColorIndex = (lastColorIndex + 1) % (SERVICE_COLORS + 1);
    colorIndex[k] = lastColorIndex;
    chart->AddNewApp(k);
}

// Deletes the selected service, which must be one the user added: the rows below move up,
// with their colours and chart series, so that row numbers and series stay in step.
void ServiceDialog::Delete()
{
    if (FieldText(nameField).empty())
        return Warn(kNameEmpty);
    // The six default services are the ones the window always counts; deleting them would leave
    // traffic uncounted.
    if (selectedIndex <= kLastDefaultService)
        return Warn(kDefaultService);
    Setting& s = Current();
    int count = ServiceCount();
    int k = selectedIndex;
    if (k >= count)
        return;
    DehighlightRow(k + 1);
    if (chart->series[k]) {
        XomEditObjectFreeze(chart->editobject, True);
        XomEditObjectDestroyObject(chart->series[k]);
        chart->series[k] = NULL;
        XomEditObjectFreeze(chart->editobject, False);
    }
    for (int j = k; j < count - 1; j++) {
        s.serviceSelected[j] = s.serviceSelected[j + 1];
        StoreServiceText(&s.serviceName[j], s.serviceName[j + 1] ? s.serviceName[j + 1] : "");
        StoreServiceText(&s.servicePortText[j],
                         s.servicePortText[j + 1] ? s.servicePortText[j + 1] : "");
        s.servicePort[j] = s.servicePort[j + 1];
        chart->series[j] = chart->series[j + 1];
        colorIndex[j] = colorIndex[j + 1];
    }
    int last = count - 1;
    s.serviceSelected[last] = 0;
    // The freed row is blanked and its port unset, so a later Add starts from nothing.
    StoreServiceText(&s.serviceName[last], " ");
    StoreServiceText(&s.servicePortText[last], " ");
    s.servicePort[last] = -1;
    chart->series[last] = NULL;
    colorIndex[last] = -1;
    XmTextSetString(nameField, (char*)"");
    XmTextSetString(portField, (char*)"");
    selectedSeries = NULL;
    selectedIndex = -1;
    s.serviceCount = last;
    // The rows below move up with their toggles: the table is filled afresh.
    for (Widget& toggle : serviceToggle) {
        if (toggle)
            XtDestroyWidget(toggle);
        toggle = NULL;
    }
    FillTable();
}
