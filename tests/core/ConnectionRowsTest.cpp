// How rows age from poll to poll and how they compare under each sort key.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <string.h>

#include "app/ConnectionRows.h"

namespace {

Connection Row(int state)
{
    Connection row;
    memset(&row, 0, sizeof row);
    row.kind = CONN_ACTIVE;
    row.data.state = state;
    return row;
}

S5NetAddr Address(const char* dotted)
{
    S5NetAddr a;
    memset(&a, 0, sizeof a);
    a.sin.sin_family = AF_INET;
    a.sin.sin_addr.s_addr = inet_addr(dotted);
    return a;
}

S5NetAddr Named(const char* name)
{
    S5NetAddr a;
    memset(&a, 0, sizeof a);
    a.sn.sn_family = ADDRESS_BY_NAME;
    strcpy(a.sn.sn_name, name);
    return a;
}

int HostOrder(const char* a, const char* b)
{
    return CompareHosts("", Address(a), "", Address(b), 13);
}

} // namespace

TEST(RowAgeing, AnOpenRowStaysActive)
{
    Connection row = Row(0);
    for (int poll = 0; poll < 3; poll++) {
        EXPECT_EQ(AgeRow(&row, 0), ROW_ACTIVE);
        EXPECT_EQ(row.age, 0);
    }
}

TEST(RowAgeing, AnEndedActiveRowIsListedTwiceThenFreed)
{
    Connection row = Row(CONN_STATE_ENDED);
    EXPECT_EQ(AgeRow(&row, 0), ROW_ACTIVE);  // the poll that sees it end
    EXPECT_EQ(row.age, 1);
    EXPECT_EQ(AgeRow(&row, 0), ROW_ACTIVE);  // listed once more
    EXPECT_EQ(row.age, 3);
    EXPECT_EQ(AgeRow(&row, 0), ROW_FREED);
    EXPECT_EQ(row.kind, CONN_FREE);
    EXPECT_EQ(row.age, 0);
}

TEST(RowAgeing, AnEndedActiveRowWaitsWhileFailedRowsAreShown)
{
    Connection row = Row(CONN_STATE_ENDED);
    AgeRow(&row, 1);
    EXPECT_EQ(AgeRow(&row, 1), ROW_ACTIVE);
    EXPECT_EQ(row.age, 1);
    EXPECT_EQ(AgeRow(&row, 0), ROW_ACTIVE);
    EXPECT_EQ(row.age, 3);
}

TEST(RowAgeing, AFailedRowCountsAtOnceButAgesOnlyWhileShown)
{
    Connection row = Row(CONN_STATE_ENDED | CONN_STATE_FAILED);
    EXPECT_EQ(AgeRow(&row, 0), ROW_FAILED);
    EXPECT_EQ(row.kind, CONN_FAILED);
    for (int poll = 0; poll < 3; poll++) {
        EXPECT_EQ(AgeRow(&row, 0), ROW_FAILED);
        EXPECT_EQ(row.age, 1);
    }
    EXPECT_EQ(AgeRow(&row, 1), ROW_FAILED);
    EXPECT_EQ(row.age, 2);
    EXPECT_EQ(AgeRow(&row, 1), ROW_FAILED);
    EXPECT_EQ(row.age, 3);
    EXPECT_EQ(AgeRow(&row, 1), ROW_FREED);
    EXPECT_EQ(row.kind, CONN_FREE);
}

TEST(RowAgeing, MarkedKindsAreActiveRows)
{
    for (int kind : {3, 4}) {
        Connection row = Row(CONN_STATE_ENDED);
        row.kind = kind;
        row.age = 1;
        EXPECT_EQ(AgeRow(&row, 0), ROW_ACTIVE);
        EXPECT_EQ(row.age, 3);
    }
}

TEST(RowOrder, AddressesCompareByTheLastOctetFirst)
{
    EXPECT_GT(HostOrder("10.0.0.2", "10.0.0.1"), 0);
    EXPECT_GT(HostOrder("9.0.0.3", "10.0.0.2"), 0);
    EXPECT_LT(HostOrder("10.0.0.1", "10.0.0.2"), 0);
    EXPECT_EQ(HostOrder("192.168.1.7", "192.168.1.7"), 0);
    // The difference wraps around in 32 bits.
    EXPECT_LT(HostOrder("10.0.0.200", "10.0.0.1"), 0);
    EXPECT_EQ(AddressWord(Address("1.2.3.4")), 0x04030201u);
    EXPECT_EQ(AddressWord(Named("proxy.example")), 0u);
    EXPECT_LT(CompareHosts("", Named("a"), "", Address("0.0.0.1"), 13), 0);
}

TEST(RowOrder, HostNamesIgnoreCaseOnlyWhenNamesAreShown)
{
    EXPECT_EQ(CompareHosts("Alpha.Example", Address("10.0.0.1"), "alpha.example", Address("10.0.0.2"), 12), 0);
    EXPECT_LT(CompareHosts("alpha", Address("10.0.0.9"), "Beta", Address("10.0.0.1"), 12), 0);
    EXPECT_GT(CompareHosts("alpha", Address("10.0.0.9"), "Beta", Address("10.0.0.1"), 13), 0);
}

TEST(RowOrder, UserIsCaseSensitiveServiceIsNot)
{
    Connection a = Row(0), b = Row(0);
    strcpy(a.data.userName, "Bob");
    strcpy(b.data.userName, "bob");
    EXPECT_LT(CompareUserNames(&a, &b), 0);
    strcpy(a.data.appName, "HTTP");
    strcpy(b.data.appName, "http");
    EXPECT_EQ(CompareServiceNames(&a, &b), 0);
    strcpy(b.data.appName, "ftp");
    EXPECT_GT(CompareServiceNames(&a, &b), 0);
}

TEST(RowOrder, StartTimesAndTotals)
{
    Connection a = Row(0), b = Row(0);
    a.data.startTime = 1000;
    b.data.startTime = 2000;
    EXPECT_LT(CompareStartTimes(&a, &b), 0);
    EXPECT_GT(CompareStartTimes(&b, &a), 0);
    a.data.startTime = INT32_MIN;
    b.data.startTime = INT32_MAX;
    EXPECT_LT(CompareStartTimes(&a, &b), 0);

    a.lastTotalBytes = 10;
    b.lastTotalBytes = 20;
    EXPECT_LT(CompareTotalBytes(&a, &b), 0);
    a.lastTotalBytes = 0xF0000000u;
    b.lastTotalBytes = 1;
    EXPECT_LT(CompareTotalBytes(&a, &b), 0);  // wrap-around difference
}
