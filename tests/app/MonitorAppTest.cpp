// The main window and the state of the controller, on the test display.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <string>

#include <X11/IntrinsicP.h>
#include <X11/ShellP.h>
#include <Xm/MessageB.h>
#include <Xm/PanedW.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>

#include "DisplayFixture.h"
#include "MotifText.h"
#include "PixelReader.h"
#include "VantorDriver.h"
#include "app/FallbackResources.h"
#include "app/MonChart.h"
#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "app/MonitorApp.h"
#include "toolkit/Box.h"

namespace {

// One application for the whole program (deleting it ends the process), under a private
// HOME made before it is built.
TempDir& Home()
{
    static TempDir home;
    return home;
}

MonitorApp* TheApp()
{
    static MonitorApp* app = nullptr;
    if (!app) {
        setenv("HOME", Home().path().c_str(), 1);
        monitor_app = TestAppContext(FALLBACK_RESOURCES);
        Widget top = XtVaAppCreateShell("vantor", "Vantor", applicationShellWidgetClass,
                                        TestDisplay(), NULL);
        app = new MonitorApp(top, (char*)"Vantor");
    }
    return app;
}

class MonitorAppTest : public DisplayFixture {
protected:
    const char* const* FallbackResources() const override { return FALLBACK_RESOURCES; }
    void SetUp() override
    {
        DisplayFixture::SetUp();
        app = TheApp();
        ProcessEvents();
    }
    void TearDown() override
    {
        if (server) {
            app->current = nullptr;
            app->currentIndex = -1;
            delete server;
        }
        DisplayFixture::TearDown();
    }
    // A server made current without the server list.
    SOCKS5* MakeCurrent()
    {
        server = new SOCKS5("localhost:1", app, app->setting);
        app->current = server;
        app->currentIndex = 0;
        return server;
    }
    Pixmap LabelPixmap(Widget label)
    {
        Pixmap pixmap = 0;
        XtVaGetValues(label, XmNlabelPixmap, &pixmap, NULL);
        return pixmap;
    }
    std::string LabelText(const char* path)
    {
        Widget w = XtNameToWidget(app->shell, path);
        return w ? ShownText(w, XmNlabelString) : "<none>";
    }

    MonitorApp* app = nullptr;
    SOCKS5* server = nullptr;
};

TEST_F(MonitorAppTest, StartsWithEmptyStateAndItsOwnShell)
{
    EXPECT_STREQ(app->className(), "MonitorApp");
    EXPECT_EQ(app->current, nullptr);
    EXPECT_EQ(app->currentIndex, -1);
    EXPECT_EQ(app->serverCount, 0);
    EXPECT_EQ(app->updateSeconds, 60);
    EXPECT_EQ(app->rejectFilter, 31);
    EXPECT_EQ(app->connCapacity, 25);
    EXPECT_EQ(app->rejectPanel, nullptr);
    EXPECT_EQ(app->socks5Panel, nullptr);
    for (float traffic : app->serviceTraffic)
        EXPECT_EQ(traffic, 0.0f);

    ASSERT_NE(app->shell, nullptr);
    EXPECT_STREQ(XtName(app->shell), "Vantor");
    char* title = nullptr;
    XtVaGetValues(app->shell, XmNtitle, &title, NULL);
    EXPECT_STREQ(title, "Vantor");
    EXPECT_TRUE(XtIsRealized(app->shell));

    struct stat info;
    ASSERT_EQ(stat((Home().path() + "/.vantorrc").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(MonitorAppTest, DefaultSettings)
{
    const Setting& s = app->setting;
    const int widths[12] = {200, 200, 200, 100, 100, 100, 100, 100, 100, 35, 200, 150};
    for (int i = 0; i < 12; i++) {
        EXPECT_EQ(s.columnType[i], i);
        EXPECT_EQ(s.columnVisible[i], 1);
        EXPECT_EQ(s.columnWidth[i], widths[i]);
    }
    EXPECT_EQ(s.columnCount, 12);
    EXPECT_EQ(s.frozenColumns, 2);
    EXPECT_EQ(s.cellHeight, 22);
    EXPECT_EQ(s.tableWidth, 750);
    EXPECT_EQ(s.tableHeight, 280);
    EXPECT_EQ(s.tableRows, 10);
    EXPECT_EQ(s.tableColumns, 12);
    EXPECT_EQ(s.chartWidth, 750);
    EXPECT_EQ(s.chartHeight, 280);
    EXPECT_EQ(s.unitFactor, 1.0f);
    EXPECT_EQ(s.showToolbar, 1);
    EXPECT_EQ(s.showFailed, 0);
    EXPECT_EQ(s.sortType, 3);
    EXPECT_EQ(s.nodeType, 12);
    EXPECT_EQ(s.unitType, 9);
    EXPECT_EQ(s.updateInterval, 60000);
    EXPECT_EQ(s.maxRejected, 50);
    EXPECT_EQ(s.serviceCount, 7);
    const char* names[7] = {"Others", "Telnet", "FTP", "Web", "Finger", "FTP_data", "Archie"};
    const char* ports[7] = {"", "23", "21", "80", "79", "20", "1525"};
    const int numbers[7] = {0, 23, 21, 80, 79, 20, 1525};
    for (int i = 0; i < 20; i++) {
        if (i < 7) {
            EXPECT_STREQ(s.serviceName[i], names[i]);
            EXPECT_STREQ(s.servicePortText[i], ports[i]);
            EXPECT_EQ(s.serviceSelected[i], 1);
            EXPECT_EQ(s.servicePort[i], numbers[i]);
        } else {
            EXPECT_STREQ(s.serviceName[i], " ");
            EXPECT_STREQ(s.servicePortText[i], " ");
            EXPECT_EQ(s.serviceSelected[i], 0);
            EXPECT_EQ(s.servicePort[i], -1);
        }
    }
}

TEST_F(MonitorAppTest, MainWindowHoldsMenuPanedViewsAndStatusLine)
{
    Widget paned = XtNameToWidget(app->shell, "*paned_window");
    ASSERT_NE(paned, nullptr);
    EXPECT_EQ(paned, app->panedWindow);
    EXPECT_TRUE(XmIsPanedWindow(paned));
    EXPECT_TRUE(XtIsManaged(paned));
    Dimension normalWidth = 0, normalHeight = 0;
    XtVaGetValues(paned, XomNnormalWidth, &normalWidth, XomNnormalHeight, &normalHeight, NULL);
    EXPECT_EQ(normalWidth, 800);
    EXPECT_EQ(normalHeight, 600);
    EXPECT_EQ(XtParent(app->tableView->scroll), paned);
    EXPECT_EQ(XtParent(app->chartView->box), paned);

    EXPECT_NE(XtNameToWidget(app->shell, "*menu_bar"), nullptr);
    EXPECT_NE(XtNameToWidget(app->shell, "*seperator"), nullptr);
    EXPECT_NE(XtNameToWidget(app->shell, "*sperator"), nullptr);
    EXPECT_EQ(LabelText("*Active Connection:"), "Active Connection:");
    EXPECT_EQ(LabelText("*Failed Connection:"), "Failed Connection:");
    // Labels come from the built-in resources, trailing blanks and tabs included.
    EXPECT_EQ(LabelText("*fm_exit"), "Exit ");
    EXPECT_EQ(LabelText("*fm_connection"), "Connection\t");
    EXPECT_EQ(LabelText("*fm_socks5s"), "SOCKS5Server");
}

TEST_F(MonitorAppTest, StatusFieldsStartEmpty)
{
    for (Widget field : {app->activeText, app->failedText}) {
        ASSERT_NE(field, nullptr);
        EXPECT_STREQ(XtName(field), "status_text");
        char* value = XmTextFieldGetString(field);
        EXPECT_STREQ(value, "");
        XtFree(value);
        XWindowAttributes attributes;
        XGetWindowAttributes(display, XtWindow(field), &attributes);
        EXPECT_EQ(attributes.map_state, IsViewable);
    }
}

TEST_F(MonitorAppTest, StatusIconsAre15By15OnTheWindowBackground)
{
    Pixel background = 0;
    XtVaGetValues(XtParent(app->workingLabel), XmNbackground, &background, NULL);
    for (Pixmap pixmap : app->pixmaps) {
        ASSERT_NE(pixmap, 0u);
        Window root;
        int x, y;
        unsigned int width, height, border, depth;
        XGetGeometry(display, pixmap, &root, &x, &y, &width, &height, &border, &depth);
        EXPECT_EQ(width, 15u);
        EXPECT_EQ(height, 15u);
        EXPECT_EQ(ReadPixel(display, pixmap, 0, 0), PixelToRgb(display, background));
    }
    EXPECT_EQ(PixelToRgb(display, background), 0xc4c4c4u);  // grey77
}

TEST_F(MonitorAppTest, WorkingLabelShowsTheChosenIcon)
{
    EXPECT_STREQ(XtName(app->workingLabel), "working_label");
    EXPECT_STREQ(XtName(app->newRejectionLabel), "new_rejection_label");
    EXPECT_EQ(LabelPixmap(app->workingLabel), app->pixmaps[5]);  // last_rejection
    EXPECT_EQ(LabelPixmap(app->newRejectionLabel), (Pixmap)XmUNSPECIFIED_PIXMAP);

    // 0-2 spinner, 3 new_rejection, 4 last_rejection, 5 pause.
    const int shown[6] = {0, 1, 2, 4, 5, 3};
    for (int value = 0; value < 6; value++) {
        app->setWkLabelValue(value);
        EXPECT_EQ(LabelPixmap(app->workingLabel), app->pixmaps[shown[value]]) << value;
    }
    app->setWkLabelValue(6);
    app->setWkLabelValue(-1);
    EXPECT_EQ(LabelPixmap(app->workingLabel), app->pixmaps[3]);
    app->setWkLabelValue(4);
}

TEST_F(MonitorAppTest, NewRejectionLabelFollowsTheFailedRowsOfTheCurrentServer)
{
    app->UpdateNewRejLabel();  // no server: unchanged
    EXPECT_EQ(LabelPixmap(app->newRejectionLabel), (Pixmap)XmUNSPECIFIED_PIXMAP);
    SOCKS5* s = MakeCurrent();
    s->failedCount = 1;
    app->UpdateNewRejLabel();
    EXPECT_EQ(LabelPixmap(app->newRejectionLabel), app->pixmaps[4]);
    s->failedCount = 0;
    app->UpdateNewRejLabel();
    EXPECT_EQ(LabelPixmap(app->newRejectionLabel), (Pixmap)XmUNSPECIFIED_PIXMAP);
}

TEST_F(MonitorAppTest, UnitChangesSetTheFactors)
{
    app->setUnitType(11);  // no server: nothing
    EXPECT_EQ(app->setting.unitType, 9);

    SOCKS5* s = MakeCurrent();
    app->setUnitType(11);
    EXPECT_EQ(adjust_factor, 1048576.0);
    EXPECT_EQ(s->setting.unitType, 11);
    EXPECT_EQ(s->setting.unitFactor, 1048576.0f);
    app->setUnitType(10);
    EXPECT_EQ(adjust_factor, 1.0 / 1024);
    EXPECT_EQ(s->setting.unitFactor, 1024.0f);
    adjust_factor = 7;
    app->setUnitType(10);  // unchanged: nothing
    EXPECT_EQ(adjust_factor, 7.0);
    EXPECT_EQ(s->status & SOCKS5_BUSY, 0);
    EXPECT_EQ(app->setting.unitType, 9);  // the template stays
}

TEST_F(MonitorAppTest, SortAndNamingChangesGoToTheCurrentServer)
{
    app->setSortType(5);
    EXPECT_EQ(app->setting.sortType, 3);
    SOCKS5* s = MakeCurrent();
    app->setSortType(8);
    EXPECT_EQ(s->setting.sortType, 8);
    app->setNodeType(13);
    EXPECT_EQ(s->setting.nodeType, 13);
    EXPECT_EQ(s->status & SOCKS5_BUSY, 0);
}

TEST_F(MonitorAppTest, TableAndGraphViewsAreShownOnDemand)
{
    Widget table = app->tableView->scroll;
    Widget chart = app->chartView->box;
    app->UnmanageTable();  // Graph Only
    EXPECT_TRUE(XtIsManaged(chart));
    EXPECT_FALSE(XtIsManaged(table));
    app->UnmanageGraph();  // Table Only
    EXPECT_TRUE(XtIsManaged(table));
    EXPECT_FALSE(XtIsManaged(chart));
    app->ManageBoth();
    EXPECT_TRUE(XtIsManaged(table));
    EXPECT_TRUE(XtIsManaged(chart));
}

TEST_F(MonitorAppTest, SavingOptionsConfirmsWithAnInformationDialog)
{
    MakeCurrent();
    app->servers[0] = server;
    app->serverCount = 1;
    app->callWriteSetting();
    app->serverCount = 0;
    app->servers[0] = nullptr;
    ProcessEvents();

    ShellWidget shellRecord = (ShellWidget)app->shell;
    Widget dialog = nullptr;
    for (Cardinal i = 0; i < shellRecord->core.num_popups; i++)
        if (strcmp(XtName(shellRecord->core.popup_list[i]), "Information") == 0 &&
            !shellRecord->core.popup_list[i]->core.being_destroyed)
            dialog = shellRecord->core.popup_list[i];
    ASSERT_NE(dialog, nullptr);
    Widget messageBox = XtNameToWidget(dialog, "*Information");
    ASSERT_NE(messageBox, nullptr);
    EXPECT_EQ(ShownText(messageBox, XmNmessageString), "Settings saved. \n");
    struct stat info;
    EXPECT_EQ(stat((Home().path() + "/.vantorrc/monitor.ini").c_str(), &info), 0);
    XtDestroyWidget(dialog);
}

TEST(MonitorAppDeathTest, LeavingEndsTheProcessWithStatusZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(delete TheApp(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
