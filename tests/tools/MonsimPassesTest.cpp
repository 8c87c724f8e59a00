// The simulator's passes: made ahead of their request or on it, in memory used again or new,
// a client always gets pass n as the scenario defines it, and a reply still being written
// never sees its pass change under it.
#include <gtest/gtest.h>

#include <string.h>

#include <memory>

#include "tools/monsim/Session.h"

namespace {

bool SameRecords(const Pass& a, const Pass& b)
{
    return a.conns.size() == b.conns.size()
        && memcmp(a.conns.data(), b.conns.data(), a.conns.size() * sizeof(S5MonData)) == 0;
}

class MonsimPasses : public ::testing::Test {
protected:
    void SetUp() override { sim.scenario.generate(300, 3); }

    // What a client's list request is served: the last pass, as the session takes it.
    std::shared_ptr<const Pass> Request()
    {
        std::lock_guard<std::mutex> guard(sim.lock);
        sim.takeNextPass();
        return sim.lastPass;
    }

    Simulator sim;
};

TEST_F(MonsimPasses, PassesMadeAheadOrOnRequestAreThoseOfTheScenario)
{
    EXPECT_TRUE(SameRecords(sim.scenario.pass(1), *Request())); // nothing made ahead yet
    sim.prepareNextPass();
    sim.prepareNextPass(); // made already: not made twice, not skipped
    EXPECT_TRUE(SameRecords(sim.scenario.pass(2), *Request()));
    EXPECT_TRUE(SameRecords(sim.scenario.pass(3), *Request())); // asked before made ahead
    for (int n = 4; n <= 8; n++) {
        sim.prepareNextPass();
        EXPECT_TRUE(SameRecords(sim.scenario.pass(n), *Request())) << "pass " << n;
    }
    EXPECT_EQ(8, sim.passesServed);
    // The records change from pass to pass, so the comparisons above can tell them apart.
    EXPECT_FALSE(SameRecords(sim.scenario.pass(7), sim.scenario.pass(8)));
}

TEST_F(MonsimPasses, APassStillBeingSentIsNeverMadeAgainInPlace)
{
    std::shared_ptr<const Pass> sending = Request();
    const Pass first = *sending;
    for (int i = 0; i < 4; i++) {
        sim.prepareNextPass();
        Request();
    }
    Request(); // made on request, with the first pass still held
    EXPECT_TRUE(SameRecords(first, *sending));
    EXPECT_TRUE(SameRecords(sim.scenario.pass(6), *sim.lastPass));
}

} // namespace
