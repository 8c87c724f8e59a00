// Which records a poll files and from what total their bytes count: keys of freed rows are
// remembered while the server lists them, and a connection first seen counts its bytes
// only when it started after the previous complete pass.
#include <gtest/gtest.h>

#include <string.h>

#include "core/ConnectionLedger.h"

namespace {

S5MonKey Key(int n)
{
    S5MonKey key;
    memset(&key, 0, sizeof key);
    memcpy(key.key, &n, sizeof n);
    return key;
}

S5MonData Record(int key, S5Time start, S5Time now, S5Count in = 0, S5Count out = 0)
{
    S5MonData d;
    memset(&d, 0, sizeof d);
    d.key = Key(key);
    d.startTime = start;
    d.curTime = now;
    d.inTotBytes = in;
    d.outTotBytes = out;
    return d;
}

// One complete pass listing these records; the retired ones among them, by key.
std::vector<int> Pass(ConnectionLedger& ledger, const std::vector<S5MonData>& records)
{
    std::vector<int> retired;
    ledger.BeginPass();
    for (const S5MonData& d : records) {
        ledger.See(d);
        if (ledger.IsRetired(d.key)) {
            int n;
            memcpy(&n, d.key.key, sizeof n);
            retired.push_back(n);
        }
    }
    ledger.EndPass();
    return retired;
}

TEST(ConnectionLedger, AFreedKeyIsRememberedWhileListedAndForgottenOnceNot)
{
    ConnectionLedger ledger;
    ledger.Reset();
    Pass(ledger, {Record(1, 100, 110), Record(2, 100, 110)});
    ledger.Retire(Key(1));
    ledger.Retire(Key(2));
    EXPECT_EQ(ledger.RetiredCount(), 2u);
    // Listed for many more passes, both stay retired; one that is no longer listed goes.
    for (int poll = 0; poll < 50; poll++)
        EXPECT_EQ(Pass(ledger, {Record(1, 100, 120), Record(2, 100, 120)}),
                  (std::vector<int>{1, 2}));
    EXPECT_EQ(Pass(ledger, {Record(2, 100, 130)}), (std::vector<int>{2}));
    EXPECT_EQ(ledger.RetiredCount(), 1u);
    // Back after a pass without it: a new connection that reuses the key.
    EXPECT_EQ(Pass(ledger, {Record(1, 125, 130), Record(2, 100, 130)}), (std::vector<int>{2}));

    // A pass that breaks off forgets nothing: only complete passes say what is listed.
    ledger.BeginPass();
    ledger.See(Record(3, 100, 140));
    EXPECT_EQ(ledger.RetiredCount(), 1u);
    // A reset (a new run, another server) forgets everything.
    ledger.Reset();
    EXPECT_EQ(ledger.RetiredCount(), 0u);
    EXPECT_EQ(Pass(ledger, {Record(2, 100, 150)}), (std::vector<int>{}));
}

// Thousands of keys, retired while others are still to be listed in the same pass: the table
// grows under them without losing a key the pass has not reached yet.
TEST(ConnectionLedger, ManyKeysRetiredInTheMiddleOfAPassKeepThoseNotYetListed)
{
    ConnectionLedger ledger;
    ledger.Reset();
    const int n = 3000;
    ledger.BeginPass();
    for (int k = 0; k < n; k++)
        ledger.Retire(Key(k));
    ledger.EndPass();
    ledger.BeginPass();
    for (int k = 0; k < n; k += 2) {
        EXPECT_TRUE(ledger.IsRetired(Key(k))) << k;
        ledger.Retire(Key(n + k)); // grows the table while the odd keys wait
    }
    for (int k = 1; k < n; k += 4)
        EXPECT_TRUE(ledger.IsRetired(Key(k))) << k;
    EXPECT_FALSE(ledger.IsRetired(Key(3 * n)));
    ledger.EndPass();
    // Listed: the even keys, every other odd one, and the keys retired during the pass.
    EXPECT_EQ(ledger.RetiredCount(), static_cast<size_t>(n / 2 + n / 4 + n / 2));
    ledger.BeginPass();
    EXPECT_FALSE(ledger.IsRetired(Key(3)));
    EXPECT_TRUE(ledger.IsRetired(Key(5)));
    EXPECT_TRUE(ledger.IsRetired(Key(n + 2)));
}

TEST(ConnectionLedger, TheFirstPassIsABaselineThenOnlyConnectionsStartedSinceCountWhole)
{
    ConnectionLedger ledger;
    ledger.Reset();
    EXPECT_TRUE(ledger.InBaseline());
    S5MonData old = Record(1, 50, 100, 4000, 96);
    ledger.BeginPass();
    ledger.See(old);
    EXPECT_EQ(ledger.CountedFrom(old), 4096u) << "nothing counts in the baseline pass";
    ledger.EndPass();
    EXPECT_FALSE(ledger.InBaseline());

    // The previous pass's newest server time was 100.
    EXPECT_EQ(ledger.CountedFrom(Record(2, 100, 160, 7, 3)), 0u) << "started at that poll";
    EXPECT_EQ(ledger.CountedFrom(Record(3, 130, 160, 7, 3)), 0u) << "started since";
    EXPECT_EQ(ledger.CountedFrom(Record(4, 99, 160, 7, 3)), 10u) << "older, only now seen";
    // Counters that wrap: the total is taken modulo 2 to the 32nd, as the growth is.
    EXPECT_EQ(ledger.CountedFrom(Record(5, 90, 160, 0xFFFFFFF0u, 0x20)), 0x10u);

    // After a pass that listed nothing, whatever is listed next began after it.
    Pass(ledger, {});
    EXPECT_EQ(ledger.CountedFrom(Record(6, 10, 200, 500)), 0u);
    // A reset makes the next pass a baseline again.
    ledger.Reset();
    EXPECT_EQ(ledger.CountedFrom(Record(7, 300, 300, 500)), 500u);
}

} // namespace
