// The menu bar of the real program, driven from the keyboard against the monitoring
// simulator: monitoring from the Action menu, the warnings without a server, a full server
// list, and leaving the program.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/WindowProbe.h"
#include "tests/support/MonsimProcess.h"
#include "tests/support/VantorDriver.h"

namespace {

const std::vector<std::string> kPause = MenuKeys(1, 0); // first while running
const std::vector<std::string> kStopWhilePaused = MenuKeys(1, 1);
const std::vector<std::string> kUpdateWhilePaused = MenuKeys(1, 2);
// Options: General, Table, Graph Settings..., Sort By, Traffic Unit, Host Naming, Save Options.
const std::vector<std::string> kSaveOptions = MenuKeys(5, 6);

int Closes(const MonsimProcess& sim)
{
    std::vector<std::string> lines = sim.requests();
    return static_cast<int>(std::count(lines.begin(), lines.end(), std::string("close")));
}

TEST(MenuTest, WithoutServersTheActionsAreInsensitiveAndOptionsWarn)
{
    VantorDriver vantor;
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();

    // The SOCKS5Server menu holds only Edit..., and the Action entries cannot be chosen:
    // Return in the Action menu does nothing.
    ASSERT_TRUE(vantor.Keys({"F10", "Right", "Right", "Right", "Down"}));
    EXPECT_FALSE(vantor.SaveScreenOverWindow("menu-servers-empty.png").empty());
    ASSERT_TRUE(vantor.Keys({"Escape", "Escape", "F10", "Right", "Down"}));
    EXPECT_FALSE(vantor.SaveScreenOverWindow("menu-action-insensitive.png").empty());
    ASSERT_TRUE(vantor.Keys({"Return", "Escape", "Escape"}));
    SleepMs(500);
    EXPECT_EQ(WindowsNamed("Warning"), 0);

    ASSERT_TRUE(vantor.Keys(kSaveOptions));
    ASSERT_TRUE(WaitForWindow("Warning"));
    EXPECT_FALSE(vantor.SaveScreenOverWindow("save-options-without-server.png").empty());
    EXPECT_TRUE(AcknowledgeDialog("Warning"));
    EXPECT_EQ(ToolBarStates(vantor.display(), vantor.window()), "00000");

    ASSERT_TRUE(vantor.QuitThroughMenu());
    EXPECT_EQ(vantor.WaitForExit(), 0);
}

TEST(MenuTest, StartPauseUpdateNowAndStopDriveThePollsAndTheStatusIcon)
{
    MonsimProcess sim(FourConnectionsScript(1));
    VantorHome home({sim.address()}, 1000);
    VantorDriver vantor(home.path());
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
    EXPECT_EQ(WorkingIcon(vantor.display(), vantor.Screenshot()), "last_rejection");
    EXPECT_EQ(ToolBarStates(vantor.display(), vantor.window()), "100010");

    // Start polls at once and then every second, with the spinner turning.
    ASSERT_TRUE(vantor.StartMonitoring());
    EXPECT_TRUE(Eventually([&] { return sim.listRequests() >= 3; }, 6000));
    std::string icon = WorkingIcon(vantor.display(), vantor.Screenshot());
    EXPECT_TRUE(icon == "spin1" || icon == "spin2" || icon == "spin3") << icon;
    EXPECT_EQ(ToolBarStates(vantor.display(), vantor.window()), "011110");
    EXPECT_FALSE(vantor.SaveScreenshot("monitoring-running.png").empty());

    // Pause: no more polls.
    ASSERT_TRUE(vantor.Keys(kPause));
    SleepMs(1500); // a poll already due may still come
    int paused = sim.listRequests();
    SleepMs(2500);
    EXPECT_EQ(sim.listRequests(), paused);
    EXPECT_EQ(WorkingIcon(vantor.display(), vantor.Screenshot()), "pause");
    EXPECT_EQ(ToolBarStates(vantor.display(), vantor.window()), "101110");
    EXPECT_FALSE(vantor.SaveScreenshot("monitoring-paused.png").empty());

    // Update Now while paused polls exactly once.
    ASSERT_TRUE(vantor.Keys(kUpdateWhilePaused));
    EXPECT_TRUE(Eventually([&] { return sim.listRequests() == paused + 1; }));
    SleepMs(2000);
    EXPECT_EQ(sim.listRequests(), paused + 1);

    // Stop closes the connection.
    ASSERT_TRUE(vantor.Keys(kStopWhilePaused));
    EXPECT_TRUE(Eventually([&] { return Closes(sim) == 1; }));
    EXPECT_EQ(WorkingIcon(vantor.display(), vantor.Screenshot()), "last_rejection");
    EXPECT_EQ(ToolBarStates(vantor.display(), vantor.window()), "100010");
    EXPECT_EQ(WindowsNamed("Warning"), 0);

    ASSERT_TRUE(vantor.Keys({"ctrl+x"}));
    EXPECT_EQ(vantor.WaitForExit(), 0);
}

TEST(MenuTest, TenThousandNamesGiveTenServersAndOneWarningAndControlXLeavesAfterAMenu)
{
    std::vector<std::string> names;
    for (int i = 1; i <= 10000; i++)
        names.push_back("127.0.0.1:" + std::to_string(10000 + i));
    VantorHome home(names);
    VantorDriver vantor(home.path());
    // Before, every server beyond the tenth had a warning of its own: minutes of them.
    ASSERT_TRUE(vantor.Start(10)) << vantor.StandardError();
    ASSERT_TRUE(WaitForWindow("Warning"));
    SleepMs(500);
    EXPECT_EQ(WindowsNamed("Warning"), 1);
    EXPECT_TRUE(AcknowledgeDialog("Warning"));
    // The five fixed buttons and ten servers, the first of them current.
    EXPECT_EQ(ToolBarStates(vantor.display(), vantor.window()), "100010111111111");
    ASSERT_TRUE(vantor.Keys({"F10", "Right", "Right", "Right", "Down"}));
    EXPECT_FALSE(vantor.SaveScreenOverWindow("menu-servers-ten.png").empty());

    // Ctrl+x right after another menu was used.
    ASSERT_TRUE(vantor.Keys(
        {"Escape", "Escape", "F10", "Right", "Right", "Down", "Escape", "Escape", "ctrl+x"}));
    EXPECT_EQ(vantor.WaitForExit(), 0);
    EXPECT_EQ(vantor.StandardError(), "");
}

} // namespace
