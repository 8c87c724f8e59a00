// The "General Settings" dialog inside the application: what each field takes, OK, Clear
// and Cancel, and what a user may type into the fields.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include <Xm/Text.h>
#include <Xm/ToggleBG.h>

#include "tests/support/AppFixture.h"
#include "tests/support/MotifText.h"
#include "tests/support/PixelReader.h"
#include "tests/support/PngWriter.h"

namespace {

class GeneralSettingsTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_EQ(app->AddSOCKS5("127.0.0.1:1"), 1); // a closed port: nothing is polled
        server = app->current;
        app->updateSeconds = 60;
        app->rejectFilter = ERROR_KINDS_ALL;
    }
    void TearDown() override
    {
        if (app->rejectPanel)
            Press("fw_cancel");
        AppTest::TearDown();
    }

    void Open()
    {
        app->BuildRejectPanel();
        ASSERT_NE(app->rejectPanel, nullptr);
        Settle();
    }
    void Press(const char* name)
    {
        Widget button = XtNameToWidget(app->rejectPanel, (std::string("*") + name).c_str());
        ASSERT_NE(button, nullptr) << name;
        XtCallCallbacks(button, XmNactivateCallback, nullptr);
        ProcessEvents();
    }
    // Opens the dialog, types into both fields and confirms.
    void Confirm(const std::string& maximum, const std::string& interval)
    {
        Open();
        XmTextSetString(app->maxRejectedField, const_cast<char*>(maximum.c_str()));
        XmTextSetString(app->intervalField, const_cast<char*>(interval.c_str()));
        Press("fw_ok");
    }

    SOCKS5* server = nullptr;
};

} // namespace

TEST_F(GeneralSettingsTest, ShowsTheServersValuesAndEveryKindSetUnderItsTitle)
{
    server->setting.maxRejected = 321;
    server->UpdateTime(15);
    Open();
    Widget panel = app->rejectPanel;
    EXPECT_STREQ(XtName(panel), "General Settings");
    EXPECT_EQ(FieldText(app->maxRejectedField), "321");
    EXPECT_EQ(FieldText(app->intervalField), "15");
    int maxLength = 0;
    XtVaGetValues(app->intervalField, XmNmaxLength, &maxLength, NULL);
    EXPECT_EQ(maxLength, 6);
    for (Widget toggle : app->filterToggles)
        EXPECT_TRUE(XmToggleButtonGadgetGetState(toggle)) << XtName(toggle);
    // The three buttons share one width, that of Cancel and a little more.
    Dimension ok = 0, clear = 0, cancel = 0;
    XtVaGetValues(XtNameToWidget(panel, "*fw_ok"), XmNwidth, &ok, NULL);
    XtVaGetValues(XtNameToWidget(panel, "*fw_clear"), XmNwidth, &clear, NULL);
    XtVaGetValues(XtNameToWidget(panel, "*fw_cancel"), XmNwidth, &cancel, NULL);
    EXPECT_EQ(ok, cancel);
    EXPECT_EQ(clear, cancel);
    RgbImage shot = ReadDrawable(XtDisplay(panel), XtWindow(panel));
    ASSERT_GT(shot.width, 0);
    EXPECT_TRUE(WritePng(ArtifactPath("general-settings-dialog.png"), shot));
    // Five filter lines, and the two field labels, are drawn as text.
    Position x = 0, y = 0, px = 0, py = 0;
    Widget frame = XtNameToWidget(panel, "*frame");
    XtTranslateCoords(frame, 0, 0, &x, &y);
    XtTranslateCoords(panel, 0, 0, &px, &py);
    Dimension width = 0, height = 0;
    XtVaGetValues(frame, XmNwidth, &width, XmNheight, &height, NULL);
    EXPECT_EQ(TextLines(shot, x - px, y - py, width, height), 5);
}

TEST_F(GeneralSettingsTest, OkTakesTheIntervalAndBoundsTheMaximum)
{
    const std::string page(10000, '9');
    struct Case {
        const char* maximum;
        const char* interval;
        int maxRejected;
        int seconds;
    } cases[] = {
        // A pasted page: as much as six digits say, and no overflow on the way to milliseconds.
        {page.c_str(), page.c_str(), 5000, 999999},
        {"250", "", 250, 4},  // an empty interval polls every 4 seconds
        {"-3", "0", 1200, 4}, // neither may be zero or less
        {"99999", "30", 5000, 30},
        {"five", "ten", 1200, 4}, // letters are no number
        {"5000", "1", 5000, 1},
        {"1", "12abc", 1, 12}, // the number a field starts with counts
    };
    for (const Case& c : cases) {
        Confirm(c.maximum, c.interval);
        EXPECT_EQ(app->rejectPanel, nullptr) << "OK closes the dialog";
        EXPECT_EQ(server->setting.maxRejected, c.maxRejected) << c.maximum;
        EXPECT_EQ(app->updateSeconds, c.seconds) << c.interval;
        EXPECT_EQ(server->setting.updateInterval, c.seconds * 1000) << c.interval;
        EXPECT_EQ(server->spinInterval, c.seconds * 250) << c.interval;
        EXPECT_NE(server->updateTimer, SOCKS5_NO_TIMER) << "the timers restart";
    }
}

TEST_F(GeneralSettingsTest, FilterTogglesAreSummedOnOkAndClearAndCancelKeepTheStoredValues)
{
    Open();
    XmToggleButtonGadgetSetState(app->filterToggles[1], False, False); // SOCKS fatal errors
    XmToggleButtonGadgetSetState(app->filterToggles[3], False, False); // SOCKS warnings
    XmTextSetString(app->intervalField, const_cast<char*>("9"));
    XmTextSetString(app->maxRejectedField, const_cast<char*>("77"));
    Press("fw_clear");
    ASSERT_NE(app->rejectPanel, nullptr) << "Clear leaves the dialog open";
    EXPECT_EQ(FieldText(app->intervalField), "60");
    EXPECT_EQ(FieldText(app->maxRejectedField), "50");
    EXPECT_TRUE(XmToggleButtonGadgetGetState(app->filterToggles[1]));

    XmToggleButtonGadgetSetState(app->filterToggles[1], False, False);
    XmTextSetString(app->intervalField, const_cast<char*>("9"));
    Press("fw_cancel");
    EXPECT_EQ(app->rejectPanel, nullptr);
    EXPECT_EQ(app->rejectFilter, ERROR_KINDS_ALL);
    EXPECT_EQ(app->updateSeconds, 60);
    EXPECT_EQ(server->setting.updateInterval, 60000);

    Open();
    XmToggleButtonGadgetSetState(app->filterToggles[1], False, False);
    XmToggleButtonGadgetSetState(app->filterToggles[3], False, False);
    XmTextSetString(app->intervalField, const_cast<char*>("9"));
    Press("fw_ok");
    EXPECT_EQ(app->rejectFilter, ERROR_SYSTEM | ERROR_SOCKS_SEVERE | ERROR_SOCKS_INFO);
    // Opened again, it shows what the last OK set.
    Open();
    EXPECT_FALSE(XmToggleButtonGadgetGetState(app->filterToggles[1]));
    EXPECT_TRUE(XmToggleButtonGadgetGetState(app->filterToggles[2]));
    EXPECT_EQ(FieldText(app->intervalField), "9");
}
