// How rows age from poll to poll and how they compare under each sort key.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <string.h>

#include <vector>

#include "core/ConnectionRows.h"
#include "tests/support/NetAddresses.h"

namespace {

Connection Row(int state)
{
    Connection row;
    memset(&row, 0, sizeof row);
    row.kind = CONN_ACTIVE;
    row.data.state = state;
    return row;
}

int HostOrder(const char* a, const char* b)
{
    return CompareHosts("", IPv4(a), "", IPv4(b), NODE_IP_ADDRESSES);
}

} // namespace

// The cases the monitoring cycle cannot show by itself; the others are walked through there.
TEST(RowAgeing, EndedRowsWaitWhileFailedRowsAreShownAndMarkedKindsAreActive)
{
    struct Step {
        int showFailed;
        RowFate fate;
        RowAge age;
    };
    const RowAge open = RowAge::Open, listed = RowAge::Listed, last = RowAge::LastListed;
    struct Case {
        int state, kind;
        RowAge age;
        std::vector<Step> steps;
    } cases[] = {
        {0,
         CONN_ACTIVE,
         open,
         {{0, ROW_ACTIVE, open}, {1, ROW_ACTIVE, open}, {0, ROW_ACTIVE, open}}},
        {CONN_STATE_ENDED,
         CONN_ACTIVE,
         open,
         {{1, ROW_ACTIVE, listed},
          {1, ROW_ACTIVE, listed},
          {0, ROW_ACTIVE, last},
          {0, ROW_FREED, open}}},
        {CONN_STATE_ENDED, CONN_ACTIVE_STOPPED, listed, {{0, ROW_ACTIVE, last}}},
        {CONN_STATE_ENDED, CONN_ACTIVE_PAUSED, listed, {{0, ROW_ACTIVE, last}}},
    };
    for (const Case& c : cases) {
        Connection row = Row(c.state);
        row.kind = c.kind;
        row.age = c.age;
        for (size_t i = 0; i < c.steps.size(); i++) {
            EXPECT_EQ(AgeRow(&row, c.steps[i].showFailed), c.steps[i].fate)
                << "state " << c.state << " kind " << c.kind << " step " << i;
            EXPECT_EQ(row.age, c.steps[i].age)
                << "state " << c.state << " kind " << c.kind << " step " << i;
        }
    }
}

TEST(RowOrder, AddressesCompareByTheLastOctetFirstWithAWrapAroundDifference)
{
    // The last octet first is
    // SortTest.SourceAndDestinationByNameIgnoreCaseOrByAddressLastOctetFirst.
    EXPECT_EQ(HostOrder("192.168.1.7", "192.168.1.7"), 0);
    EXPECT_LT(HostOrder("10.0.0.200", "10.0.0.1"), 0);
    EXPECT_EQ(AddressWord(IPv4("1.2.3.4")), 0x04030201u);
    EXPECT_EQ(AddressWord(Named("proxy.example")), 0u);
    EXPECT_LT(CompareHosts("", Named("a"), "", IPv4("0.0.0.1"), NODE_IP_ADDRESSES), 0);
}

TEST(RowOrder, IPv6AddressesComeAfterAllOthersInTheOrderOfTheirBytes)
{
    const S5NetAddr others[] = {IPv4("255.255.255.255"), IPv4("0.0.0.0"), Named("a")};
    for (const S5NetAddr& other : others) {
        EXPECT_LT(CompareAddresses(other, IPv6("::")), 0);
        EXPECT_GT(CompareAddresses(IPv6("::"), other), 0);
    }
    // The order among IPv6 addresses, without their ports, is
    // SortTest.IPv6AddressesComeAfterIPv4OnesAndSortByTheirTextWithoutAName.
    EXPECT_LT(CompareAddresses(IPv6("::ff"), IPv6("::1:0")), 0); // the first byte weighs most
}

TEST(RowOrder, StartTimesAndTotalsAtTheirExtremes)
{
    Connection a = Row(0), b = Row(0);
    a.data.startTime = INT32_MIN;
    b.data.startTime = INT32_MAX;
    EXPECT_LT(CompareStartTimes(&a, &b), 0);
    a.lastTotalBytes = 0xF0000000u;
    b.lastTotalBytes = 1;
    EXPECT_LT(CompareTotalBytes(&a, &b), 0); // a wrap-around difference
}

// A server keeps at most its maximum of failed rows; those that ended first are freed first.
TEST(SurplusFailedRowsTest, FreesTheOldestFailedRowsBeyondTheMaximum)
{
    struct Case {
        std::vector<int> kinds;    // per slot
        std::vector<int> endTimes; // per slot
        int keep;
        std::vector<int> freed;
    } cases[] = {
        {{CONN_FAILED, CONN_FAILED, CONN_FAILED}, {30, 10, 20}, 2, {1}},
        {{CONN_FAILED, CONN_FAILED, CONN_FAILED}, {30, 10, 20}, 1, {1, 2}},
        {{CONN_FAILED, CONN_FAILED, CONN_FAILED}, {30, 10, 20}, 3, {}},
        {{CONN_FAILED, CONN_FAILED}, {5, 5}, 1, {0}}, // equal end times: the lower slot first
        // Active and free rows are never freed, however old.
        {{CONN_ACTIVE, CONN_FREE, CONN_FAILED, CONN_ACTIVE_PAUSED, CONN_FAILED},
         {1, 1, 9, 1, 8},
         1,
         {4}},
        {{CONN_FAILED, CONN_FAILED}, {1, 2}, 0, {}}, // no limit set: all kept
        {{}, {}, 1, {}},
    };
    for (const Case& c : cases) {
        std::vector<Connection> rows;
        for (size_t i = 0; i < c.kinds.size(); i++) {
            Connection row = Row(CONN_STATE_ENDED | CONN_STATE_FAILED);
            row.kind = c.kinds[i];
            row.data.endTime = c.endTimes[i];
            rows.push_back(row);
        }
        EXPECT_EQ(SurplusFailedRows(rows.data(), static_cast<int>(rows.size()), c.keep), c.freed)
            << "keep " << c.keep;
    }
}
