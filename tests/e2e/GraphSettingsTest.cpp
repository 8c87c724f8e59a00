// The "Graph Settings" dialog of the real program, opened from the Options menu by keyboard:
// a service's line recoloured there shows in the chart's legend.
#include <gtest/gtest.h>

#include "tests/e2e/WindowProbe.h"
#include "tests/support/VantorDriver.h"

namespace {

// Options: General, Table, Graph Settings..., ...
const std::vector<std::string> kGraphSettings = MenuKeys(5, 2);

const uint32_t kNavy = 0x000080; // "#000080", the last colour; no default service has it

TEST(GraphSettingsE2E, ALineRecolouredInTheDialogShowsInTheChart)
{
    VantorHome home({"127.0.0.1:1"}); // a server to set up; it is never polled
    VantorDriver vantor(home.path());
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
    EXPECT_FALSE(vantor.Screenshot().Count(kNavy) > 0);

    ASSERT_TRUE(vantor.Keys(kGraphSettings));
    ASSERT_TRUE(WaitForWindow("Graph Settings"));
    EXPECT_EQ(WindowsNamed("Warning"), 0);
    SleepMs(300);
    EXPECT_FALSE(vantor.SaveScreenOverWindow("graph-settings-from-menu.png").empty());

    // The places in the dialog, as its in-process test lays it out: the Name cell of
    // Telnet's row, the last colour of the colour table and OK.
    std::string dialog = FocusDialog("Graph Settings");
    ASSERT_FALSE(dialog.empty());
    ClickIn(dialog, 90, 178, 300);
    ClickIn(dialog, 620, 195, 300);
    EXPECT_FALSE(vantor.SaveScreenOverWindow("graph-settings-recoloured.png").empty());
    ClickIn(dialog, 327, 444, 300);
    EXPECT_TRUE(Eventually([] { return WindowsNamed("Graph Settings") == 0; }, 3000));
    EXPECT_TRUE(Eventually([&] { return vantor.Screenshot().Count(kNavy) > 0; }, 3000))
        << "Telnet's legend entry in navy";
    EXPECT_FALSE(vantor.SaveScreenshot("graph-settings-after.png").empty());

    // Opened again, the same dialog shows.
    ASSERT_TRUE(vantor.Keys(kGraphSettings));
    EXPECT_TRUE(WaitForWindow("Graph Settings"));
}

} // namespace
