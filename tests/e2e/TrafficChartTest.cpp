// The real program polling the simulator: below the table, the traffic chart draws a line
// per service that grows as the polls go on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/e2e/WindowProbe.h"
#include "tests/support/MonsimProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/support/VantorDriver.h"

namespace {

const std::vector<std::string> kStart = {"F10", "Right", "Down", "Return"};
const uint32_t kBlue = 0x0000ff;  // "Web", the fourth service
const uint32_t kBrown = 0xa52a2a; // "FTP", the third

int ListRequests(const MonsimProcess& sim)
{
    std::vector<std::string> lines = sim.requests();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("request type=2", 0) == 0;
    }));
}

// Pixels of a colour in the rows from top to the bottom of the image.
int CountBelow(const RgbImage& shot, int top, uint32_t colour)
{
    int n = 0;
    for (int y = top; y < shot.height; y++)
        for (int x = 0; x < shot.width; x++)
            n += shot.At(x, y) == colour;
    return n;
}

TEST(TrafficChartTest, PolledTrafficIsDrawnPerServiceBelowTheTable)
{
    // Web (port 80) and FTP (port 21) move more bytes at every poll; the last pass repeats.
    std::string script;
    for (int k = 1; k <= 6; k++)
        script += "pass\n"
                  "conn key=1 state=2 start=1700000000 cur=1700000065 src=10.0.0.5:40000"
                  " dst=10.0.0.9:80 out=0 in="
            + std::to_string(k * k * 3000)
            + "\n"
              "conn key=2 state=2 start=1700000000 cur=1700000065 src=10.0.0.6:40001"
              " dst=10.0.0.9:21 out=0 in="
            + std::to_string(k * 7000) + "\n";
    MonsimProcess sim({"--script", MonsimProcess::writeTempFile("traffic.txt", script)});
    VantorHome home({sim.address()}, 1000);
    VantorDriver vantor(home.path());
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
    RgbImage before = vantor.Screenshot();
    int lower = before.height / 2; // the chart lies in the lower half, below the table
    // Before the first poll only the legend shows the services' colours.
    int blueBefore = CountBelow(before, lower, kBlue),
        brownBefore = CountBelow(before, lower, kBrown);
    EXPECT_LT(blueBefore, 60);

    ASSERT_TRUE(vantor.Keys(kStart));
    EXPECT_TRUE(Eventually([&] { return ListRequests(sim) >= 7; }, 15000));
    SleepMs(300);
    RgbImage shot = vantor.Screenshot();
    EXPECT_FALSE(vantor.SaveScreenshot("traffic-chart-polling.png").empty());
    EXPECT_GT(CountBelow(shot, lower, kBlue), blueBefore + 100);
    EXPECT_GT(CountBelow(shot, lower, kBrown), brownBefore + 100);

    ASSERT_TRUE(vantor.Keys({"ctrl+x"}));
    EXPECT_EQ(vantor.WaitForExit(), 0);
    EXPECT_EQ(vantor.StandardError(), "");
}

} // namespace
