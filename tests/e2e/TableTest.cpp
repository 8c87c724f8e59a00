// The connection table of the real program polling the simulator: rows appear with their
// stripes, host and IP naming show names or addresses (read back through Export), Show
// Failed changes what is listed, and nothing is left behind when the list shrinks. The
// screenshots show the texts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "tests/e2e/WindowProbe.h"
#include "tests/support/MonsimProcess.h"
#include "tests/support/VantorDriver.h"

namespace {

const std::vector<std::string> kShowFailed = MenuKeys(2, 1);
const std::vector<std::string> kShowActive = MenuKeys(2, 0);
const std::vector<std::string> kExport = MenuKeys(4, 1);
const std::vector<std::string> kIpNaming = {"F10",   "Right", "Right", "Right", "Right",
                                            "Right", "Down",  "Down",  "Down",  "Down",
                                            "Down",  "Down",  "Right", "Down",  "Return"};

// The source and destination of the first row as the program exports the rows on show
// (Connection > Export, to the name the dialog offers in the home directory).
std::string FirstRowPlaces(VantorDriver& vantor)
{
    std::string csv = vantor.home() + "/vantor-connections.csv";
    unlink(csv.c_str());
    if (!vantor.Keys(kExport) || !KeysInDialog("Export Shown Connections", {"Return"})
        || !Eventually([&] { return access(csv.c_str(), R_OK) == 0; }))
        return "";
    SleepMs(200);
    std::string text = FileText(csv);
    size_t row = text.find('\n') + 1, second = text.find(',', text.find(',', row) + 1);
    return second == std::string::npos ? "" : text.substr(row, second - row);
}

TEST(TableTest, PollsShowTheirRowsAndTheMenusChangeWhatIsListed)
{
    MonsimProcess sim(FourConnectionsScript(40));
    VantorHome home({sim.address()}, 1000);
    VantorDriver vantor(home.path());
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
    // Before the first poll: ten blank rows, five of them pink, as far as the view shows.
    RgbImage shot = vantor.Screenshot();
    int x = shot.width / 2;
    EXPECT_GE(PinkBands(shot, x), 3);
    EXPECT_FALSE(vantor.SaveScreenshot("table-before-polling.png").empty());

    ASSERT_TRUE(vantor.StartMonitoring());
    ASSERT_TRUE(Eventually([&] { return sim.listRequests() >= 2; }, 8000));
    SleepMs(300);
    // Three active rows: rows 1 and 3 are pink.
    EXPECT_TRUE(Eventually([&] { return PinkBands(vantor.Screenshot(), x) == 2; }));
    EXPECT_FALSE(vantor.SaveScreenshot("table-active.png").empty());
    // Host naming, the default: the names the records carry.
    EXPECT_EQ(FirstRowPlaces(vantor), "alice-pc,www.example");

    // IP naming: the same row shows its dotted addresses instead.
    ASSERT_TRUE(vantor.Keys(kIpNaming));
    int polls = sim.listRequests();
    ASSERT_TRUE(Eventually([&] { return sim.listRequests() > polls; }, 5000));
    SleepMs(300);
    EXPECT_FALSE(vantor.SaveScreenshot("table-ip-naming.png").empty());
    EXPECT_EQ(FirstRowPlaces(vantor), "10.0.0.5,10.0.0.9");

    // One failed row: one pink band, and no stale rows below it.
    ASSERT_TRUE(vantor.Keys(kShowFailed));
    EXPECT_TRUE(Eventually([&] { return PinkBands(vantor.Screenshot(), x) == 1; }));
    EXPECT_FALSE(vantor.SaveScreenshot("table-failed.png").empty());

    ASSERT_TRUE(vantor.Keys(kShowActive));
    EXPECT_TRUE(Eventually([&] { return PinkBands(vantor.Screenshot(), x) == 2; }));
    EXPECT_EQ(WindowsNamed("Warning"), 0);

    ASSERT_TRUE(vantor.Keys({"ctrl+x"}));
    EXPECT_EQ(vantor.WaitForExit(), 0);
}

} // namespace
