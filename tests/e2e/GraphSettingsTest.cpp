// The "Graph Settings" dialog of the real program, opened from the Options menu by keyboard.
#include <gtest/gtest.h>

#include "tests/e2e/WindowProbe.h"
#include "tests/support/VantorDriver.h"

namespace {

// Options: General, Table, Graph Settings..., ...
const std::vector<std::string> kGraphSettings = {"F10",  "Right", "Right", "Right", "Right",
                                                 "Right", "Down", "Down",  "Down",  "Return"};

TEST(GraphSettingsE2E, TheOptionsMenuOpensTheDialogOverTheWindow)
{
    VantorHome home({"127.0.0.1:1"});  // a server to set up; it is never polled
    VantorDriver vantor(home.path());
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
    ASSERT_TRUE(vantor.Keys(kGraphSettings));
    ASSERT_TRUE(WaitForWindow("Graph Settings"));
    EXPECT_EQ(WindowsNamed("Warning"), 0);
    SleepMs(300);
    EXPECT_FALSE(vantor.SaveScreenOverWindow("graph-settings-from-menu.png").empty());
    EXPECT_EQ(vantor.StandardError().find("Error"), std::string::npos) << vantor.StandardError();
}

} // namespace
