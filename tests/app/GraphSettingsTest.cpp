// The "Graph Settings" dialog inside the application: the service table with its toggles,
// Add and Delete with their checks, the colour table, the line attribute editor, and what
// a user may type into its fields.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include <X11/IntrinsicP.h>
#include <X11/ShellP.h>
#include <Xm/Text.h>
#include <Xm/ToggleB.h>

#include "app/MonChart.h"
#include "app/ServiceDialog.h"
#include "tests/support/AppFixture.h"
#include "tests/support/DisplayFixture.h"
#include "tests/support/MotifText.h"
#include "tests/support/PixelReader.h"
#include "tests/support/PngWriter.h"
#include "toolkit/Chart.h"
#include "toolkit/DataSampled.h"
#include "toolkit/EditObject.h"
#include "toolkit/EditTable.h"
#include "toolkit/Graphic.h"
#include "toolkit/ObjectEditor.h"
#include "toolkit/util.h"

namespace {

const char kNameEmpty[] = "Warning: Application name empty.";
const char kTooMany[] = "Warning: Adding this application would exceed the maximum limit you can "
                        "monitor. \nPlease remove an application, and try again.";
const char kNameSpace[] = "Warning: Application name cannot contain space.";
const char kPortNotNumber[] = "Warning: The port number must be a number.";
const char kAlreadyListed[] = "Warning: That application is already in the list.";
const char kDefaultService[] = "Warning: Cannot delete default applications.";

class GraphSettingsTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_EQ(app->AddSOCKS5("127.0.0.1:1"), 1); // a closed port: nothing is polled
        server = app->current;
        chart = app->chartView;
        // Each test meets a dialog made afresh, as on the first opening.
        delete chart->serviceDialog;
        chart->serviceDialog = nullptr;
        chart->ClearChart();
        XomEditObjectDeselectAll(chart->editobject);
    }
    void TearDown() override
    {
        TakeMessages();
        delete chart->serviceDialog;
        chart->serviceDialog = nullptr;
        AppTest::TearDown();
    }

    void Open()
    {
        chart->BuildServicePanel();
        dialog = chart->serviceDialog;
        ASSERT_NE(dialog, nullptr);
        Settle();
    }
    void Press(const char* name)
    {
        Widget button = XtNameToWidget(dialog->panel, (std::string("*") + name).c_str());
        ASSERT_NE(button, nullptr) << name;
        XtCallCallbacks(button, XmNactivateCallback, nullptr);
        ProcessEvents();
    }
    // Types a name and a port and presses Add; gives the messages it posted.
    Messages Add(const std::string& name, const std::string& port)
    {
        XmTextSetString(dialog->nameField, const_cast<char*>(name.c_str()));
        XmTextSetString(dialog->portField, const_cast<char*>(port.c_str()));
        Press("fw_add");
        return TakeMessages();
    }
    std::string CellText(int column, int row)
    {
        char* data = (char*)XomEditTableGetCellData(dialog->serviceTable, column, row);
        std::string text = data ? data : "";
        free(data);
        return text;
    }
    // A button-1 click in the middle of a cell, as the user makes it.
    void Click(Widget table, int column, int row)
    {
        XRectangle box = {0, 0, 0, 0};
        ASSERT_TRUE(XomEditTableGetCellRectangle(table, column, row, &box)) << column << "," << row;
        for (int type : {ButtonPress, ButtonRelease})
            DispatchButton(table, type, box.x + box.width / 2, box.y + box.height / 2);
        Settle();
    }
    void SelectRow(int row) { Click(dialog->serviceTable, 2, row); }
    void ChooseColour(int n) { Click(dialog->colorTable, n / 4 + 1, n % 4 + 1); }
    // Switches a service's toggle as a click on it would.
    void Switch(int service, bool on)
    {
        Widget toggle = dialog->serviceToggle[service];
        ASSERT_NE(toggle, nullptr) << service;
        XmToggleButtonSetState(toggle, on, True);
        Settle();
    }
    uint32_t Rgb(const char* colour)
    {
        return PixelToRgb(XtDisplay(chart->editobject),
                          XomLoadColor(XtDisplay(chart->editobject), colour));
    }
    // The colour in the left margin of a cell (no text there).
    uint32_t CellColour(Widget table, int column, int row)
    {
        XRectangle box = {0, 0, 0, 0};
        EXPECT_TRUE(XomEditTableGetCellRectangle(table, column, row, &box));
        return ReadPixel(XtDisplay(table), XtWindow(table), box.x + 2, box.y + box.height / 2);
    }
    // Whether a cell shows any pixel of a colour (its text, against another background).
    bool CellShows(Widget table, int column, int row, uint32_t rgb)
    {
        XRectangle box = {0, 0, 0, 0};
        EXPECT_TRUE(XomEditTableGetCellRectangle(table, column, row, &box));
        // Inside the cell's margins: its grid and shadows are not its text.
        return ReadArea(XtDisplay(table), XtWindow(table), box.x + 3, box.y + 3, box.width - 6,
                        box.height - 6)
                   .Count(rgb)
            > 0;
    }
    Widget Line(int service)
    {
        if (!chart->series[service])
            return nullptr;
        int count = 0;
        WidgetList lines =
            XomChartGetSeriesOfData(chart->chartObject, chart->series[service], &count);
        return count ? lines[0] : nullptr;
    }
    Pixel LineColour(int service)
    {
        Pixel pixel = 0;
        XtVaGetValues(Line(service), XomNcolor, &pixel, NULL);
        return pixel;
    }
    std::vector<float> Samples(int service)
    {
        float* samples = XomDataSampledGetDataArray(chart->series[service], 0, 21);
        std::vector<float> result(samples, samples + 21);
        XtFree((char*)samples);
        return result;
    }

    SOCKS5* server = nullptr;
    MonChart* chart = nullptr;
    ServiceDialog* dialog = nullptr;
};

} // namespace

TEST_F(GraphSettingsTest, ShowsTheSevenServicesWithTheirTogglesAndTheTwentyColours)
{
    Open();
    EXPECT_STREQ(XtName(dialog->panel), "Graph Settings");
    // Seven rows (OkPopsDownAndTheNextOpeningShowsTheSameDialogRefilled: no eighth).
    for (int i = 0; i < 7; i++) {
        EXPECT_EQ(CellText(2, i + 1), server->setting.serviceName[i]);
        EXPECT_EQ(CellText(3, i + 1), server->setting.servicePortText[i]);
        ASSERT_NE(dialog->serviceToggle[i], nullptr);
        EXPECT_TRUE(XmToggleButtonGetState(dialog->serviceToggle[i])) << i;
        EXPECT_EQ(XomEditTableGetCellWidget(dialog->serviceTable, 1, i + 1),
                  dialog->serviceToggle[i]);
    }
    for (int n = 0; n < SERVICE_COLORS; n++)
        EXPECT_EQ(CellColour(dialog->colorTable, n / 4 + 1, n % 4 + 1), Rgb(color_name_list[n]))
            << color_name_list[n];
    // The Name and Port labels and fields line up.
    Widget name = XtNameToWidget(dialog->panel, "*Name");
    Widget port = XtNameToWidget(dialog->panel, "*Port");
    ASSERT_NE(name, nullptr);
    ASSERT_NE(port, nullptr);
    Position nameX, nameY, portX, portY, fieldX, fieldY, portFieldX, portFieldY;
    XtTranslateCoords(XtParent(name), name->core.x, name->core.y, &nameX, &nameY);
    XtTranslateCoords(XtParent(port), port->core.x, port->core.y, &portX, &portY);
    XtTranslateCoords(dialog->nameField, 0, 0, &fieldX, &fieldY);
    XtTranslateCoords(dialog->portField, 0, 0, &portFieldX, &portFieldY);
    EXPECT_EQ(nameX, portX);
    EXPECT_EQ(name->core.width, port->core.width);
    EXPECT_EQ(fieldX, portFieldX);
    EXPECT_EQ(dialog->nameField->core.width, dialog->portField->core.width);
    EXPECT_GT(portY, nameY);

    RgbImage shot = ReadDrawable(XtDisplay(dialog->panel), XtWindow(dialog->panel));
    ASSERT_GT(shot.width, 0);
    EXPECT_TRUE(WritePng(ArtifactPath("graph-settings-dialog.png"), shot));
}

TEST_F(GraphSettingsTest, AddChecksTheNameThePortAndDuplicatesInOrder)
{
    Open();
    const std::string digits(10000, '9'), page(10000, 'x');
    struct Case {
        const char* name;
        const char* port;
        const char* message; // none: added
        int count;
    } cases[] = {
        {"", "70", kNameEmpty, 7},
        {"   ", "70", kNameSpace, 7},
        {"Telnet", "23", kAlreadyListed, 7},
        {"Telnet", "2323", nullptr, 8},
        {"Telnet", "2323", kAlreadyListed, 8},
        {"news", "8o", kPortNotNumber, 8},
        {"news", "-119", kPortNotNumber, 8},
        {"news", "65536", kPortNotNumber, 8}, // no port is that high
        {"news", digits.c_str(), kPortNotNumber, 8},
        {"", "8o", kNameEmpty, 8},         // the name is checked first
        {"  gopher", "70", nullptr, 9},    // leading blanks dropped
        {"mail relay", "25", nullptr, 10}, // cut at the first blank
        {"finger2", "", nullptr, 11},      // an empty port is accepted
        {page.c_str(), "70", nullptr, 12}, // a pasted page: cut to what a name holds
    };
    for (const Case& c : cases) {
        Messages messages = Add(c.name, c.port);
        if (c.message)
            EXPECT_EQ(messages, Messages{c.message}) << c.name << " " << c.port;
        else
            EXPECT_TRUE(messages.empty()) << c.name << " " << c.port << ": " << messages[0];
        EXPECT_EQ(server->setting.serviceCount, c.count) << c.name << " " << c.port;
    }
    EXPECT_STREQ(server->setting.serviceName[7], "Telnet");
    EXPECT_EQ(server->setting.servicePort[7], 2323);
    EXPECT_STREQ(server->setting.serviceName[8], "gopher");
    EXPECT_STREQ(server->setting.serviceName[9], "mail");
    EXPECT_STREQ(server->setting.servicePortText[9], "25");
    EXPECT_EQ(server->setting.servicePort[10], -1);
    EXPECT_STREQ(server->setting.servicePortText[10], "");
    EXPECT_EQ(CellText(2, 11), "finger2");
    EXPECT_EQ(CellText(3, 11), "");
    EXPECT_EQ(CellText(2, 12), std::string(SETTING_TEXT_SIZE - 1, 'x'));
    // Typed, the fields take no more than a name and a port hold.
    int nameLength = 0, portLength = 0;
    XtVaGetValues(dialog->nameField, XmNmaxLength, &nameLength, NULL);
    XtVaGetValues(dialog->portField, XmNmaxLength, &portLength, NULL);
    EXPECT_EQ(nameLength, SETTING_TEXT_SIZE - 1);
    EXPECT_EQ(portLength, 9);
}

TEST_F(GraphSettingsTest, GopherIsAddedUnplottedWithColourSevenAndPlottedWhenSwitchedOn)
{
    Open();
    ASSERT_TRUE(Add("gopher", "70").empty());
    const Setting& s = server->setting;
    ASSERT_EQ(s.serviceCount, 8);
    EXPECT_EQ(s.serviceSelected[7], 0);
    EXPECT_EQ(s.servicePort[7], 70);
    EXPECT_EQ(CellText(2, 8), "gopher");
    EXPECT_EQ(CellText(3, 8), "70");
    ASSERT_NE(dialog->serviceToggle[7], nullptr);
    EXPECT_FALSE(XmToggleButtonGetState(dialog->serviceToggle[7]));
    EXPECT_EQ(dialog->colorIndex[7], 7);
    ASSERT_NE(chart->series[7], nullptr) << "its series exists";
    EXPECT_EQ(Line(7), nullptr) << "but is not plotted";

    SelectRow(8);
    EXPECT_EQ(dialog->selectedIndex, 7);
    EXPECT_EQ(FieldText(dialog->nameField), "gopher");
    EXPECT_EQ(FieldText(dialog->portField), "70");
    EXPECT_EQ(CellColour(dialog->serviceTable, 2, 8), Rgb("#bb00f0"));
    EXPECT_EQ(dialog->selectedSeries, nullptr);

    // Switched on, the chart starts again from zero with gopher's line in its colour.
    float traffic = 512.0f;
    XomDataSampledShift(chart->series[3], &traffic, -1);
    Switch(7, true);
    EXPECT_EQ(s.serviceSelected[7], 1);
    ASSERT_NE(Line(7), nullptr);
    EXPECT_EQ(LineColour(7), color_pixel_list[7]);
    EXPECT_EQ(dialog->selectedSeries, Line(7));
    Cardinal selected = 0;
    WidgetList selection = XomEditObjectGetSelection(chart->editobject, &selected);
    ASSERT_EQ(selected, 1u);
    EXPECT_EQ(selection[0], Line(7));
    EXPECT_EQ(Samples(3), std::vector<float>(21, 0.0f)) << "the history starts again";
    int* cell = (int*)XomEditTableGetCellData(dialog->serviceTable, 1, 8);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(*cell, 1);
    free(cell);
}

TEST_F(GraphSettingsTest, DefaultServicesStayAndAddedOnesAreDeletedWithTheRowsMovingUp)
{
    Open();
    ASSERT_TRUE(Add("gopher", "70").empty());
    ASSERT_TRUE(Add("news", "119").empty());
    XmTextSetString(dialog->nameField, const_cast<char*>("Web"));
    Press("fw_delete");
    EXPECT_EQ(TakeMessages(), Messages{kDefaultService}) << "nothing selected";
    SelectRow(4);
    ASSERT_EQ(FieldText(dialog->nameField), "Web");
    Press("fw_delete");
    EXPECT_EQ(TakeMessages(), Messages{kDefaultService});
    XmTextSetString(dialog->nameField, const_cast<char*>(""));
    Press("fw_delete");
    EXPECT_EQ(TakeMessages(), Messages{kNameEmpty});
    EXPECT_EQ(server->setting.serviceCount, 9);

    // Archie is not a default service: it goes, and gopher and news move up.
    SelectRow(7);
    ASSERT_EQ(FieldText(dialog->nameField), "Archie");
    Widget archieSeries = chart->series[6];
    Widget gopherSeries = chart->series[7];
    Press("fw_delete");
    EXPECT_TRUE(TakeMessages().empty());
    const Setting& s = server->setting;
    EXPECT_EQ(s.serviceCount, 8);
    EXPECT_STREQ(s.serviceName[6], "gopher");
    EXPECT_EQ(s.servicePort[6], 70);
    EXPECT_EQ(s.serviceSelected[6], 0);
    EXPECT_STREQ(s.serviceName[7], "news");
    EXPECT_STREQ(s.serviceName[8], " ");
    EXPECT_EQ(s.servicePort[8], -1);
    EXPECT_EQ(chart->series[6], gopherSeries);
    EXPECT_NE(chart->series[6], archieSeries);
    EXPECT_EQ(chart->series[8], nullptr);
    EXPECT_EQ(dialog->colorIndex[6], 7);
    EXPECT_EQ(dialog->colorIndex[7], 8);
    EXPECT_EQ(dialog->colorIndex[8], -1);
    EXPECT_EQ(dialog->selectedIndex, -1);
    EXPECT_EQ(FieldText(dialog->nameField), "");
    EXPECT_EQ(FieldText(dialog->portField), "");
    EXPECT_EQ(CellText(2, 7), "gopher");
    EXPECT_EQ(CellText(2, 8), "news");
    XRectangle box;
    EXPECT_FALSE(XomEditTableGetCellRectangle(dialog->serviceTable, 2, 9, &box));
    ASSERT_NE(dialog->serviceToggle[6], nullptr);
    EXPECT_FALSE(XmToggleButtonGetState(dialog->serviceToggle[6]));
    EXPECT_EQ(dialog->serviceToggle[8], nullptr);
}

TEST_F(GraphSettingsTest, AColourRecoloursThePlottedLineAndItsRowWithReadableText)
{
    Open();
    struct Case {
        int colour;
        const char* text; // the colour the row's text takes
    } cases[] = {{8, "white"}, {19, "white"}, {6, "black"}, {0, "black"}};
    SelectRow(2); // Telnet, plotted
    ASSERT_NE(dialog->selectedSeries, nullptr);
    for (const Case& c : cases) {
        ChooseColour(c.colour);
        EXPECT_EQ(dialog->colorIndex[1], c.colour);
        EXPECT_EQ(LineColour(1), color_pixel_list[c.colour]) << c.colour;
        EXPECT_EQ(CellColour(dialog->serviceTable, 2, 2), Rgb(color_name_list[c.colour]));
        EXPECT_EQ(CellColour(dialog->serviceTable, 3, 2), Rgb(color_name_list[c.colour]));
        EXPECT_TRUE(CellShows(dialog->serviceTable, 2, 2, Rgb(c.text))) << c.colour;
        const char* other = std::string(c.text) == "white" ? "black" : "white";
        if (Rgb(other) != Rgb(color_name_list[c.colour])) {
            EXPECT_FALSE(CellShows(dialog->serviceTable, 2, 2, Rgb(other))) << c.colour;
        }
    }
    // Another row takes the highlight; the old one goes back to grey.
    SelectRow(4);
    EXPECT_EQ(CellColour(dialog->serviceTable, 2, 2), Rgb("grey77"));
    EXPECT_EQ(CellColour(dialog->serviceTable, 2, 4), Rgb(color_name_list[3]));
    // A service that is not plotted takes no colour.
    Switch(3, false);
    SelectRow(4);
    ChooseColour(10);
    EXPECT_EQ(dialog->colorIndex[3], 3);
    EXPECT_EQ(CellColour(dialog->serviceTable, 2, 4), Rgb(color_name_list[3]));
}

TEST_F(GraphSettingsTest, SwitchingALineOffKeepsTheHistoryOfTheOthers)
{
    Open();
    for (float traffic : {100.0f, 200.0f, 300.0f})
        for (int service : {1, 3})
            XomDataSampledShift(chart->series[service], &traffic, -1);
    std::vector<float> webBefore = Samples(3);
    ASSERT_EQ(webBefore[0], 300.0f);
    SelectRow(2);
    Switch(1, false);
    EXPECT_EQ(server->setting.serviceSelected[1], 0);
    EXPECT_EQ(chart->series[1], nullptr);
    EXPECT_EQ(Line(1), nullptr);
    EXPECT_EQ(Samples(3), webBefore);
    EXPECT_EQ(dialog->selectedIndex, -1);
    EXPECT_EQ(dialog->selectedSeries, nullptr);
    EXPECT_EQ(FieldText(dialog->nameField), "");
    EXPECT_EQ(FieldText(dialog->portField), "23") << "the port field keeps its text";
    int* cell = (int*)XomEditTableGetCellData(dialog->serviceTable, 1, 2);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(*cell, 0);
    free(cell);
    // The next poll shifts the others only.
    app->serviceTraffic[3] = 7.0f;
    chart->RasterChart();
    EXPECT_EQ(Samples(3)[0], 7.0f);
    EXPECT_EQ(Samples(3)[1], 300.0f);
}

TEST_F(GraphSettingsTest, TheAttributeEditorChangesTheSelectedLine)
{
    Open();
    SelectRow(4); // Web
    Widget line = dialog->selectedSeries;
    ASSERT_NE(line, nullptr);
    Widget editor = dialog->objectEditor;
    struct Case {
        const char* attribute;
        int choice;
        int lineStyle;
        int thickness;
    } cases[] = {
        {"LineWidth", 2, 1, 3}, {"LineStyle", 1, 2, 3}, // dashed: on-off dashes
        {"DashType", 1, 3, 3},                          // double dashes
        {"LineStyle", 0, 1, 3}, {"DashType", 0, 1, 3},  // a solid line stays solid
        {"LineStyle", 1, 2, 3}, {"LineStyle", 2, 0, 3}, // no line
        {"LineWidth", 0, 0, 1},
    };
    for (const Case& c : cases) {
        Widget choice = XomObjectEditorGetChoice(editor, c.attribute, c.choice);
        ASSERT_NE(choice, nullptr) << c.attribute;
        XmToggleButtonSetState(choice, True, True);
        int style = -1, thickness = -1;
        XtVaGetValues(line, XomNlineStyle, &style, XomNlineThickness, &thickness, NULL);
        EXPECT_EQ(style, c.lineStyle) << c.attribute << " " << c.choice;
        EXPECT_EQ(thickness, c.thickness) << c.attribute << " " << c.choice;
    }
    EXPECT_EQ(XomObjectEditorGetChoice(editor, "FillStyle", 0), nullptr) << "not offered here";
    // Selecting another line shows its values; the changed one kept its own.
    SelectRow(2);
    EXPECT_TRUE(XmToggleButtonGetState(XomObjectEditorGetChoice(editor, "LineStyle", 0)));
    EXPECT_TRUE(XmToggleButtonGetState(XomObjectEditorGetChoice(editor, "LineWidth", 0)));
    int style = -1;
    XtVaGetValues(line, XomNlineStyle, &style, NULL);
    EXPECT_EQ(style, 0);
}

TEST_F(GraphSettingsTest, OkPopsDownAndTheNextOpeningShowsTheSameDialogRefilled)
{
    Open();
    ServiceDialog* first = dialog;
    ASSERT_TRUE(Add("gopher", "70").empty());
    SelectRow(2);
    Press("fw_ok");
    EXPECT_EQ(dialog->selectedIndex, -1);
    EXPECT_EQ(dialog->selectedSeries, nullptr);
    EXPECT_FALSE(((ShellWidget)dialog->panel)->shell.popped_up);
    // Another server with its own services is current at the next opening.
    ASSERT_EQ(app->AddSOCKS5("127.0.0.1:2"), 1);
    app->current = app->servers[1];
    Open();
    EXPECT_EQ(dialog, first);
    EXPECT_TRUE(((ShellWidget)dialog->panel)->shell.popped_up);
    EXPECT_EQ(CellColour(dialog->serviceTable, 2, 2), Rgb("grey77")) << "OK took the highlight";
    XRectangle box;
    EXPECT_FALSE(XomEditTableGetCellRectangle(dialog->serviceTable, 2, 8, &box));
    EXPECT_EQ(dialog->serviceToggle[7], nullptr);
    EXPECT_NE(dialog->serviceToggle[6], nullptr);
    app->current = server;
}

TEST_F(GraphSettingsTest, TwentyServicesAreTheLimitAndColourNumbersBeyondTheListWrapAround)
{
    EXPECT_EQ(ServiceColorNumber(-1), 19);
    EXPECT_EQ(ServiceColorNumber(20), 0);
    Open();
    // Thirteen added services take colours 7 to 19; after a deletion the next takes 20,
    // which shows as colour 0.
    for (int i = 7; i < SETTING_SERVICES; i++)
        ASSERT_TRUE(Add("s" + std::to_string(i), std::to_string(1000 + i)).empty()) << i;
    EXPECT_EQ(Add("one_more", "9999"), Messages{kTooMany});
    EXPECT_EQ(Add("   ", "8o"), Messages{kTooMany}) << "the limit comes before the name checks";
    EXPECT_EQ(server->setting.serviceCount, SETTING_SERVICES);
    SelectRow(8);
    Press("fw_delete");
    ASSERT_TRUE(TakeMessages().empty());
    ASSERT_TRUE(Add("late", "4000").empty());
    EXPECT_EQ(dialog->colorIndex[19], 20);
    Switch(19, true);
    EXPECT_EQ(LineColour(19), color_pixel_list[0]);
}
