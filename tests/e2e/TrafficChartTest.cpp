// The real program polling the proxy: below the table, the traffic chart draws a download
// as one spike in the colour of its service, which passes as the polls go on.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/e2e/WindowProbe.h"
#include "tests/support/RunProcess.h"
#include "tests/support/VantorDriver.h"
#include "tests/tools/ProxyProcess.h"
#include "tests/tools/TestHttpServer.h"

namespace {

const uint32_t kBlue = 0x0000ff; // "Web", the fourth service

// A home whose one server is monitored every second, with "Web" on the given port.
void WriteWebHome(const VantorHome& home, int webPort)
{
    std::string block = SettingsBlock(1000);
    std::string web = "Web  80  1  80";
    block.replace(block.find(web), web.size(),
                  "Web  " + std::to_string(webPort) + "  1  " + std::to_string(webPort));
    std::ofstream(home.File("monitor.ini")) << "1\n" << block << "\n";
}

// The columns of the lower half of the shot whose blue reaches above the given row: the
// picture of the traffic spikes (the legend's blue lies lower, beside the axis labels).
std::vector<int> BlueColumnsAbove(const RgbImage& shot, int row)
{
    std::vector<int> columns;
    for (int x = 0; x < shot.width; x++)
        for (int y = shot.height / 2; y < row; y++)
            if (shot.At(x, y) == kBlue) {
                columns.push_back(x);
                break;
            }
    return columns;
}

// Runs of near columns: each spike draws one (its two lines and the symbol at its top,
// whose outline is not quite the line's blue, lie within a few pixels of each other).
int Runs(const std::vector<int>& columns)
{
    int runs = 0;
    for (size_t i = 0; i < columns.size(); i++)
        runs += i == 0 || columns[i] > columns[i - 1] + 12;
    return runs;
}

TEST(TrafficChartTest, ADownloadThroughAProxyThatKeepsItListedIsOneSpikeThatPasses)
{
    TestHttpServer http(patternBody(5 * 1000 * 1000));
    ProxyProcess proxy({"--retention", "120"});
    ASSERT_TRUE(proxy.started());
    VantorHome home({proxy.monitorAddress()});
    WriteWebHome(home, http.port());
    VantorDriver vantor(home.path());
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
    ASSERT_TRUE(vantor.StartMonitoring());
    SleepMs(1500);
    ProcessResult download =
        RunProcess({"curl", "-q", "-s", "--noproxy", "", "--max-time", "30", "-o", "/dev/null",
                    "--socks5", proxy.socksAddress(),
                    "http://127.0.0.1:" + std::to_string(http.port()) + "/five-megabytes"});
    ASSERT_EQ(download.exitStatus, 0) << download.err;

    // Some polls later the spike stands alone, however many polls saw the connection.
    SleepMs(6000);
    RgbImage shot = vantor.Screenshot();
    EXPECT_FALSE(vantor.SaveScreenshot("traffic-chart-one-download.png").empty());
    int middle = shot.height * 3 / 4;
    std::vector<int> spike = BlueColumnsAbove(shot, middle);
    EXPECT_EQ(Runs(spike), 1);
    EXPECT_LT(spike.size(), 70u) << "one narrow spike";

    // After 21 polls it has left the chart, and nothing came after it.
    SleepMs(19000);
    shot = vantor.Screenshot();
    EXPECT_FALSE(vantor.SaveScreenshot("traffic-chart-download-passed.png").empty());
    EXPECT_EQ(BlueColumnsAbove(shot, middle).size(), 0u);

    ASSERT_TRUE(vantor.Keys({"ctrl+x"}));
    EXPECT_EQ(vantor.WaitForExit(), 0);
    EXPECT_EQ(vantor.StandardError(), "");
}

} // namespace
