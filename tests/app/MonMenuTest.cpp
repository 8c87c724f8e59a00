// The menu bar and the tool bar in process: what the entries and buttons start as, what
// each state makes of them, switching servers, the tool bar's slots and tips, and the
// warnings of entries that need a server.
#include <gtest/gtest.h>

#include <string>

#include <X11/IntrinsicP.h>
#include <Xm/RowColumn.h>
#include <Xm/ToggleB.h>
#include <Xm/ToggleBG.h>
#include <Xm/Xm.h>

#include "app/MonChart.h"
#include "app/MonMenu.h"
#include "app/MonTable.h"
#include "tests/support/AppFixture.h"
#include "tests/support/MotifText.h"
#include "toolkit/util.h"

namespace {

const char kNoServerAvailable[] =
    "Warning: No SOCKS5Server available. Please choose a SOCKS5Server.";
// Its wording is pinned by the cycle test.
const std::string kNoServerSelected = std::string("Warning: ") + NO_SERVER_SELECTED_TEXT;

class MonMenuTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        menu = app->menu;
        menu->setValues(MenuState::Stopped);
    }
    void TearDown() override
    {
        while (app->serverCount > 0)
            RemoveServer(app->serverCount - 1);
        TakeMessages();
        AppTest::TearDown();
    }

    // Adds servers as the server list dialog does.
    void AddServers(std::initializer_list<std::string> names)
    {
        for (const std::string& name : names) {
            ASSERT_EQ(app->AddSOCKS5(name.c_str()), 1);
            menu->AddSOCKS5Bn(name.c_str());
            menu->addToolBn(name.c_str(), app->serverCount + 4);
            if (app->serverCount == 1) {
                menu->setValues(MenuState::Stopped);
                menu->DisableToolBn(TOOL_FIRST_SERVER);
            }
            menu->EnableToolBn(TOOL_SHOW_FAILED);
        }
    }
    void RemoveServer(int index)
    {
        app->servers[index]->status &= ~SOCKS5_CONNECTED; // tests may fake a connection
        app->RemoveSOCKS5(index);
        menu->removeToolBn(index + TOOL_FIRST_SERVER);
    }

    Widget Entry(const char* name)
    {
        return XtNameToWidget(app->shell, (std::string("*") + name).c_str());
    }
    // Chooses a push entry, or turns a toggle entry on or off, as the pointer does.
    void Choose(Widget entry, bool set = true)
    {
        ASSERT_NE(entry, nullptr);
        if (XmIsToggleButton(entry) || XmIsToggleButtonGadget(entry)) {
            XmToggleButtonCallbackStruct call = {};
            call.reason = XmCR_VALUE_CHANGED;
            call.set = set;
            XmToggleButtonSetState(entry, set, False);
            XtCallCallbacks(entry, XmNvalueChangedCallback, &call);
        } else {
            XmAnyCallbackStruct call = {};
            call.reason = XmCR_ACTIVATE;
            XtCallCallbacks(entry, XmNactivateCallback, &call);
        }
        ProcessEvents();
    }
    void Press(int slot)
    {
        ASSERT_NE(menu->toolButtons[slot], nullptr);
        XmAnyCallbackStruct call = {};
        call.reason = XmCR_ACTIVATE;
        XtCallCallbacks(menu->toolButtons[slot], XmNactivateCallback, &call);
        ProcessEvents();
    }
    bool Set(Widget toggle) { return XmToggleButtonGetState(toggle); }

    // "1" for each sensitive, "0" for each insensitive Action entry.
    std::string ActionStates()
    {
        std::string states;
        for (Widget item : menu->actionItems)
            states += XtIsSensitive(item) ? '1' : '0';
        return states;
    }
    // The same for the tool buttons that exist; an enabled button has a shadow and
    // margins of 2, a disabled one no shadow and margins of 4, so that it keeps its size.
    std::string ToolStates()
    {
        std::string states;
        for (Widget button : menu->toolButtons) {
            if (!button)
                continue;
            Dimension shadow = 0, marginWidth = 0, marginHeight = 0;
            XtVaGetValues(button, XmNshadowThickness, &shadow, XmNmarginWidth, &marginWidth,
                          XmNmarginHeight, &marginHeight, NULL);
            bool enabled = XtIsSensitive(button);
            EXPECT_EQ(shadow, enabled ? 2 : 0);
            EXPECT_EQ(marginWidth, enabled ? 2 : 4);
            EXPECT_EQ(marginHeight, enabled ? 2 : 4);
            states += enabled ? '1' : '0';
        }
        return states;
    }
    long UserData(int slot) { return (long)OmGetWidgetUserData(menu->toolButtons[slot]); }
    Pixmap WorkingIcon() { return LabelPixmap(app->workingLabel); }
    Pixmap StatusPixmap(int icon)
    {
        app->setWkLabelValue(icon);
        return WorkingIcon();
    }

    MonMenu* menu = nullptr;
};

TEST_F(MonMenuTest, EachStateSetsTheActionEntriesAndTheToolButtons)
{
    AddServers({"localhost:1"});
    struct {
        MenuState state;
        const char* before;
        const char* after;
    } const cases[] = {
        {MenuState::Stopped, "0111", "1000"},
        {MenuState::Running, "1000", "0111"},
        {MenuState::Paused, "0111", "1011"}, // Stop and Update Now keep their state
        {MenuState::Paused, "0100", "1000"},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 4; i++) {
            bool on = c.before[i] == '1';
            XtSetSensitive(menu->actionItems[i], on);
            on ? menu->EnableToolBn(i) : menu->DisableToolBn(i);
        }
        menu->setValues(c.state);
        EXPECT_EQ(ActionStates(), c.after) << static_cast<int>(c.state) << " from " << c.before;
        EXPECT_EQ(ToolStates().substr(0, 4), c.after)
            << static_cast<int>(c.state) << " from " << c.before;
    }
}

TEST_F(MonMenuTest, EntriesThatNeedAServerWarnWithoutOneAndChangeNothing)
{
    for (Widget item : menu->actionItems) {
        Choose(item);
        EXPECT_EQ(TakeMessages(), Messages{kNoServerAvailable});
    }
    const char* const needing[] = {
        "fm_active_connection", "fm_rejected_connection", "fm_toolbar",       "fm_clear_graph",
        "fm_view_graph",        "fm_sort_by_user",        "fm_megabytes",     "fm_ip_address",
        "fm_save_setting",      "fm_general_setting",     "fm_table_setting", "fm_chart_setting"};
    for (const char* name : needing) {
        Widget entry = Entry(name);
        bool toggle = XmIsToggleButtonGadget(entry);
        Choose(entry, toggle ? !Set(entry) : true);
        EXPECT_EQ(TakeMessages(), Messages{kNoServerSelected}) << name;
    }
    // The toggles show again what is in effect.
    EXPECT_TRUE(Set(Entry("fm_active_connection")));
    EXPECT_FALSE(Set(Entry("fm_rejected_connection")));
    EXPECT_TRUE(Set(Entry("fm_toolbar")));
    EXPECT_TRUE(XtIsManaged(menu->toolBox));
    EXPECT_TRUE(Set(Entry("fm_view_table_graph")));
    EXPECT_FALSE(Set(Entry("fm_view_graph")));
    EXPECT_TRUE(Set(Entry("fm_sort_by_src")));
    EXPECT_FALSE(Set(Entry("fm_sort_by_user")));
}

TEST_F(MonMenuTest, SwitchingServersStopsTheOldOneAndShowsTheNewOnesState)
{
    AddServers({"localhost:1", "localhost:2", "localhost:3"});
    EXPECT_EQ(ToolStates(), "10001011");
    Pixmap stopped = StatusPixmap(STATUS_LAST_REJECTION);
    Pixmap lost = StatusPixmap(STATUS_NEW_REJECTION);
    Pixmap paused = StatusPixmap(STATUS_PAUSE);

    // The third server's button: it is disabled and its entry set; the first's enabled.
    Press(7);
    EXPECT_EQ(app->currentIndex, 2);
    EXPECT_EQ(ToolStates(), "10001110");
    EXPECT_EQ(UserData(5), 5);
    EXPECT_EQ(UserData(7), 3); // the value of its menu entry while it is current
    EXPECT_FALSE(Set(app->servers[0]->button));
    EXPECT_TRUE(Set(app->servers[2]->button));
    EXPECT_EQ(WorkingIcon(), stopped);

    // The current server chosen again changes nothing.
    app->setWkLabelValue(STATUS_SPIN2);
    Choose(app->servers[2]->button, true);
    EXPECT_EQ(app->currentIndex, 2);
    EXPECT_EQ(WorkingIcon(), StatusPixmap(STATUS_SPIN2));

    // A server whose last poll failed shows the lost icon; one whose connection is open
    // shows the pause icon and may be resumed, stopped or polled.
    app->servers[1]->status = SOCKS5_LOST;
    Choose(app->servers[1]->button, true);
    EXPECT_EQ(app->currentIndex, 1);
    EXPECT_EQ(WorkingIcon(), lost);
    EXPECT_EQ(ActionStates(), "1000");
    EXPECT_EQ(ToolStates(), "10001101");
    EXPECT_EQ(UserData(7), 7); // its slot back

    app->servers[0]->status = SOCKS5_ENABLED | SOCKS5_CONNECTED;
    Choose(app->servers[0]->button, true);
    EXPECT_EQ(WorkingIcon(), paused);
    EXPECT_EQ(ActionStates(), "1011");
    EXPECT_EQ(ToolStates(), "10111011");
}

TEST_F(MonMenuTest, RemovingTheCurrentServerShowsTheStateOfTheOneThatFollows)
{
    AddServers({"localhost:1", "localhost:2"});
    ASSERT_EQ(app->currentIndex, 0);
    menu->setValues(MenuState::Running);
    app->servers[1]->status = SOCKS5_LOST; // its last poll failed
    RemoveServer(0);
    EXPECT_EQ(app->currentIndex, 0);
    EXPECT_EQ(ActionStates(), "1000") << "it may be started, not paused, stopped or polled";
    EXPECT_EQ(ToolStates().substr(0, 4), "1000");
    EXPECT_EQ(WorkingIcon(), StatusPixmap(STATUS_NEW_REJECTION));
}

TEST_F(MonMenuTest, RemovingAServerClosesTheGapAndTheEntriesAfterItStillChooseTheirServers)
{
    AddServers({"alpha:1", "beta:2", "gamma:3"});
    RemoveServer(1);
    EXPECT_EQ(menu->toolButtons[8], nullptr);
    EXPECT_EQ(menu->toolButtons[7], nullptr);
    ASSERT_NE(menu->toolButtons[6], nullptr);
    EXPECT_EQ(UserData(6), 6);
    EXPECT_STREQ(menu->toolLabels[6], "gamma:3");
    EXPECT_STREQ(menu->toolLabels[5], "alpha:1");
    EXPECT_EQ(ToolStates(), "1000101"); // the first server is still the current one
    Choose(app->servers[1]->button, true);
    EXPECT_STREQ(app->current->name, "gamma:3");
    EXPECT_EQ(app->currentIndex, 1);
    Press(5);
    EXPECT_STREQ(app->current->name, "alpha:1");
}

TEST_F(MonMenuTest, ShowFailedFromTheButtonAndFromTheMenuSwapsTheListButtonAndItsTip)
{
    AddServers({"localhost:1"});
    Widget active = Entry("fm_active_connection"), failed = Entry("fm_rejected_connection");
    Widget button = menu->toolButtons[TOOL_SHOW_FAILED];
    Pixmap failIcon = menu->toolPixmaps[PIXMAP_FAIL], activeIcon = menu->toolPixmaps[PIXMAP_ACTIVE];
    EXPECT_EQ(LabelPixmap(button), failIcon);

    Press(TOOL_SHOW_FAILED);
    EXPECT_EQ(app->current->setting.showFailed, 1);
    EXPECT_TRUE(Set(failed));
    EXPECT_FALSE(Set(active));
    EXPECT_EQ(LabelPixmap(button), activeIcon);
    EXPECT_STREQ(menu->toolLabels[TOOL_SHOW_FAILED], "Show Active");
    EXPECT_EQ(UserData(TOOL_SHOW_FAILED), TOOL_SHOW_FAILED);

    // Turning the set entry off leaves it set: one of the two always is.
    Choose(failed, false);
    EXPECT_TRUE(Set(failed));
    EXPECT_EQ(app->current->setting.showFailed, 1);

    // Another server keeps its own list, and the entries and the button follow it.
    AddServers({"localhost:2"});
    Press(6);
    EXPECT_TRUE(Set(active));
    EXPECT_FALSE(Set(failed));
    EXPECT_EQ(LabelPixmap(button), failIcon);
    Press(5);
    EXPECT_TRUE(Set(failed));
    EXPECT_EQ(LabelPixmap(button), activeIcon);
    EXPECT_STREQ(menu->toolLabels[TOOL_SHOW_FAILED], "Show Active");

    Choose(active, true);
    EXPECT_EQ(app->current->setting.showFailed, 0);
    EXPECT_FALSE(Set(failed));
    EXPECT_EQ(LabelPixmap(button), failIcon);
    EXPECT_STREQ(menu->toolLabels[TOOL_SHOW_FAILED], "Show Failed");
    EXPECT_EQ(TakeMessages(), Messages{});
}

TEST_F(MonMenuTest, ShowToolbarFollowsWhatIsShownWhicheverServerSetItLast)
{
    AddServers({"localhost:1", "localhost:2"});
    Widget toggle = Entry("fm_toolbar");
    Choose(toggle, false);
    EXPECT_FALSE(XtIsManaged(menu->toolBox));
    EXPECT_EQ(app->current->setting.showToolbar, 0);
    // The second server never hid the tool bar, yet the entry shows it again there.
    Press(6);
    Choose(toggle, true);
    EXPECT_TRUE(XtIsManaged(menu->toolBox));
    EXPECT_EQ(app->current->setting.showToolbar, 1);
}

TEST_F(MonMenuTest, RadioChoicesReachTheCurrentServerAndFollowItWhenSwitching)
{
    AddServers({"localhost:1", "localhost:2"});
    Choose(Entry("fm_sort_by_user"), true);
    Choose(Entry("fm_megabytes"), true);
    Choose(Entry("fm_ip_address"), true);
    EXPECT_EQ(app->servers[0]->setting.sortType, SORT_BY_USER);
    EXPECT_EQ(app->servers[0]->setting.unitType, UNIT_MEGABYTES);
    EXPECT_EQ(app->servers[0]->setting.nodeType, NODE_IP_ADDRESSES);
    // The choice left behind reports its toggle turned off, which changes nothing.
    Choose(Entry("fm_sort_by_src"), false);
    EXPECT_EQ(app->servers[0]->setting.sortType, SORT_BY_USER);

    Press(6); // the second server keeps the defaults
    EXPECT_TRUE(Set(Entry("fm_sort_by_src")));
    EXPECT_FALSE(Set(Entry("fm_sort_by_user")));
    EXPECT_TRUE(Set(Entry("fm_bytes")));
    EXPECT_TRUE(Set(Entry("fm_host_name")));
    Press(5);
    EXPECT_TRUE(Set(Entry("fm_sort_by_user")));
    EXPECT_TRUE(Set(Entry("fm_megabytes")));
    EXPECT_TRUE(Set(Entry("fm_ip_address")));

    // Table Only, Graph Only, Table & Graph.
    Choose(Entry("fm_view_table"), true);
    EXPECT_FALSE(XtIsManaged(app->chartView->box));
    Choose(Entry("fm_view_graph"), true);
    EXPECT_FALSE(XtIsManaged(app->tableView->scroll));
    Choose(Entry("fm_view_table_graph"), true);
    EXPECT_TRUE(XtIsManaged(app->tableView->scroll));
    EXPECT_TRUE(XtIsManaged(app->chartView->box));
}

TEST_F(MonMenuTest, TheTipShowsTheButtonsTextUnderTheToolBar)
{
    AddServers({"alpha:1"});
    for (int slot : {TOOL_START, TOOL_SHOW_FAILED, TOOL_FIRST_SERVER}) {
        Widget button = menu->toolButtons[slot];
        XtMoveWidget(button, 120, button->core.y);
        MonMenu::PointerEnter(button, nullptr, nullptr, nullptr);
        ProcessEvents();
        Widget tip = XtNameToWidget(app->shell, "icon_reminder");
        ASSERT_NE(tip, nullptr);
        EXPECT_EQ(tip->core.x, 125);
        EXPECT_EQ(tip->core.y, 70);
        EXPECT_EQ(ShownText(tip, XmNlabelString), menu->toolLabels[slot]);
        MonMenu::PointerLeave(button, nullptr, nullptr, nullptr);
        ProcessEvents();
        EXPECT_EQ(XtNameToWidget(app->shell, "icon_reminder"), nullptr);
    }
    EXPECT_STREQ(menu->toolLabels[TOOL_FIRST_SERVER], "alpha:1");
}

} // namespace
