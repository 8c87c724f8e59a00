// The real program against servers that take their time: a pass of twenty seconds, a
// trickle of bytes, a server that never answers. The window goes on repainting during
// each pass, and Stop ends the pass at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/e2e/WindowProbe.h"
#include "tests/support/MonsimProcess.h"
#include "tests/support/VantorDriver.h"

namespace {

const std::vector<std::string> kStop = MenuKeys(1, 1); // while running

// A frozen window repaints after the pass, seconds later; an answering one at once. The
// bound leaves room for a loaded machine and the sanitizers; the test prints what it saw.
const int kRepaintBoundMs = 1000;

TEST(HostileServerTest, TheWindowRepaintsDuringSlowPassesAndStopEndsThemAtOnce)
{
    for (const char* fault : {"slow", "trickle", "stall"}) {
        SCOPED_TRACE(fault);
        MonsimProcess sim({"--fault", fault, "--script",
                           MonsimProcess::writeTempFile(
                               "one.txt", "pass\nconn key=1 start=1700000000 dst=10.0.0.9:80\n")});
        VantorHome home({sim.address()}, 1000);
        VantorDriver vantor(home.path());
        ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
        ASSERT_TRUE(vantor.StartMonitoring());
        SleepMs(1500); // well inside the first pass
        int slowest = 0;
        for (int probe = 0; probe < 3; probe++) {
            // The menu bar and the tool bar: labels and icons the program must draw again.
            int ms = RepaintMs(vantor.display(), vantor.window(), 0, 0, 300, 60);
            ASSERT_GE(ms, 0) << "never repainted";
            slowest = std::max(slowest, ms);
        }
        printf("%s: repainted within %d ms during a pass\n", fault, slowest);
        EXPECT_LT(slowest, kRepaintBoundMs);

        ASSERT_TRUE(vantor.Keys(kStop));
        EXPECT_TRUE(Eventually(
            [&] { return WorkingIcon(vantor.display(), vantor.Screenshot()) == "last_rejection"; },
            kRepaintBoundMs));
        ASSERT_TRUE(vantor.Keys({"ctrl+x"}));
        EXPECT_EQ(vantor.WaitForExit(), 0);
        EXPECT_EQ(vantor.StandardError(), "");
    }
}

} // namespace
