// The main window and the state of the controller, on the test display.
#include <gtest/gtest.h>

#include <string>

#include <X11/IntrinsicP.h>
#include <Xm/PanedW.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>

#include "tests/support/AppFixture.h"
#include "tests/support/MotifText.h"
#include "tests/support/PixelReader.h"
#include "app/MonChart.h"
#include "app/MonTable.h"
#include "toolkit/Box.h"

namespace {

class MonitorAppTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        display = XtDisplay(app->shell);
    }
    // A server made current (it cannot be reached).
    SOCKS5* MakeCurrent()
    {
        app->AddSOCKS5("localhost:1");
        return app->current;
    }

    Display* display = nullptr;
};

TEST_F(MonitorAppTest, MainWindowHoldsMenuPanedViewsAndAnEmptyStatusLine)
{
    Widget paned = XtNameToWidget(app->shell, "*paned_window");
    ASSERT_NE(paned, nullptr);
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
    EXPECT_NE(XtNameToWidget(app->shell, "*Active Connection:"), nullptr);
    EXPECT_NE(XtNameToWidget(app->shell, "*Failed Connection:"), nullptr);

    // The two count fields start empty.
    for (Widget field : {app->activeText, app->failedText}) {
        ASSERT_NE(field, nullptr);
        EXPECT_STREQ(XtName(field), "status_text");
        EXPECT_EQ(FieldText(field), "");
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
}

TEST_F(MonitorAppTest, StatusLabelsShowTheChosenIcons)
{
    EXPECT_STREQ(XtName(app->workingLabel), "working_label");
    EXPECT_STREQ(XtName(app->newRejectionLabel), "new_rejection_label");
    EXPECT_EQ(LabelPixmap(app->workingLabel), app->pixmaps[5]); // last_rejection
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

    // The new-rejection label follows the failed rows of the current server.
    app->UpdateNewRejLabel(); // no server: unchanged
    EXPECT_EQ(LabelPixmap(app->newRejectionLabel), (Pixmap)XmUNSPECIFIED_PIXMAP);
    SOCKS5* s = MakeCurrent();
    s->failedCount = 1;
    app->UpdateNewRejLabel();
    EXPECT_EQ(LabelPixmap(app->newRejectionLabel), app->pixmaps[4]);
    s->failedCount = 0;
    app->UpdateNewRejLabel();
    EXPECT_EQ(LabelPixmap(app->newRejectionLabel), (Pixmap)XmUNSPECIFIED_PIXMAP);
}

TEST_F(MonitorAppTest, UnitSortAndNamingChangesGoToTheCurrentServerOnly)
{
    app->setUnitType(UNIT_MEGABYTES); // no server: nothing
    app->setSortType(SORT_BY_USER);
    EXPECT_EQ(app->setting.unitType, UNIT_BYTES);
    EXPECT_EQ(app->setting.sortType, SORT_BY_SOURCE);

    SOCKS5* s = MakeCurrent();
    app->setUnitType(UNIT_MEGABYTES);
    EXPECT_EQ(adjust_factor, 1048576.0);
    EXPECT_EQ(s->setting.unitType, UNIT_MEGABYTES);
    EXPECT_EQ(s->setting.unitFactor, 1048576.0f);
    app->setUnitType(UNIT_KILOBYTES);
    EXPECT_EQ(adjust_factor, 1.0 / 1024);
    EXPECT_EQ(s->setting.unitFactor, 1024.0f);
    adjust_factor = 7;
    app->setUnitType(UNIT_KILOBYTES); // unchanged: nothing
    EXPECT_EQ(adjust_factor, 7.0);
    EXPECT_EQ(s->status & SOCKS5_BUSY, 0);
    EXPECT_EQ(app->setting.unitType, UNIT_BYTES); // the template stays
    EXPECT_EQ(app->setting.sortType, SORT_BY_SOURCE);
}

TEST_F(MonitorAppTest, BothViewsComeBackAtTheirHeightsAfterTableOnlyThenGraphOnly)
{
    Widget table = app->tableView->scroll;
    Widget chart = app->chartView->box;
    auto height = [](Widget w) {
        Dimension h = 0;
        XtVaGetValues(w, XmNheight, &h, NULL);
        return static_cast<int>(h);
    };
    ProcessEvents();
    int tableHeight = height(table), chartHeight = height(chart);
    ASSERT_GT(chartHeight, 100);
    const char* orders[][2] = {{"table only", "graph only"}, {"graph only", "table only"}};
    for (auto& order : orders) {
        for (const char* view : order) {
            if (std::string(view) == "table only")
                app->UnmanageGraph();
            else
                app->UnmanageTable();
            ProcessEvents();
        }
        app->ManageBoth();
        ProcessEvents();
        EXPECT_NEAR(height(table), tableHeight, 2) << order[0] << ", then " << order[1];
        EXPECT_NEAR(height(chart), chartHeight, 2) << order[0] << ", then " << order[1];
    }
}

TEST_F(MonitorAppTest, SavingOptionsConfirmsWithAnInformationDialog)
{
    MakeCurrent();
    app->callWriteSetting();
    EXPECT_EQ(TakeMessages(), (Messages{"Information: Settings saved. "}));
    EXPECT_FALSE(FileText(TestHome() + "/.vantorrc/monitor.ini").empty());
}

TEST(MonitorAppDeathTest, LeavingEndsTheProcessWithStatusZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(delete TheApp(), ::testing::ExitedWithCode(0), "");
}

} // namespace
