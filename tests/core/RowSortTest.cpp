// The three-way sort on random lists with many equal keys: the same rows, ascending by the
// key, equal rows in connection key order (which fixes the one right order).
#include "core/RowSort.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "core/ConnectionRows.h"
#include "core/SortEntries.h"

namespace {

typedef std::function<int(const Connection*, const Connection*)> Compare;

// Rows with few distinct values in every sorted field, so that runs of equal rows are long.
std::vector<Connection> RandomRows(std::mt19937& random, int count, int distinct)
{
    static const char* const names[] = {"ann", "Ann", "bob", "BOB", "carl", "", "dora", "eve"};
    std::vector<Connection> rows(static_cast<size_t>(count));
    for (int i = 0; i < count; i++) {
        Connection& row = rows[static_cast<size_t>(i)];
        memset(&row, 0, sizeof row);
        row.kind = CONN_ACTIVE;
        uint32_t keyNumber = random();
        uint16_t tail = static_cast<uint16_t>(random());
        if (i % 3 == 0) {
            // A third share their first eight bytes: the last two decide.
            keyNumber = 7;
            tail = static_cast<uint16_t>(i);
            memset(row.data.key.key + 4, 0xff, 4);
        } else {
            memcpy(row.data.key.key + 4, &i, sizeof i); // keys stay distinct
        }
        memcpy(row.data.key.key, &keyNumber, sizeof keyNumber);
        memcpy(row.data.key.key + 8, &tail, sizeof tail);
        auto pick = [&] { return static_cast<int>(random() % static_cast<unsigned>(distinct)); };
        snprintf(row.data.userName, sizeof row.data.userName, "%s", names[pick() % 8]);
        snprintf(row.data.appName, sizeof row.data.appName, "%s", names[pick() % 8]);
        snprintf(row.data.srcHostName, sizeof row.data.srcHostName, "%s%d", names[pick() % 8],
                 pick());
        row.data.startTime = 1000 + pick();
        row.lastTotalBytes = static_cast<uint32_t>(pick()) * 1000u;
        row.data.srcSockAddr.sin.sin_family = AF_INET;
        // The last octet weighs most; below 100 the wrap-around difference keeps its sign.
        char dotted[32];
        snprintf(dotted, sizeof dotted, "10.0.%d.%d", pick() % 3, pick() % 100);
        row.data.srcSockAddr.sin.sin_addr.s_addr = inet_addr(dotted);
    }
    return rows;
}

struct Key {
    const char* name;
    Compare compare;
};

const Key keys[] = {
    {"source by name",
     [](const Connection* a, const Connection* b) {
         return CompareHosts(a->data.srcHostName, a->data.srcSockAddr, b->data.srcHostName,
                             b->data.srcSockAddr, NODE_HOST_NAMES);
     }},
    {"source by address",
     [](const Connection* a, const Connection* b) {
         return CompareHosts(a->data.srcHostName, a->data.srcSockAddr, b->data.srcHostName,
                             b->data.srcSockAddr, NODE_IP_ADDRESSES);
     }},
    {"user", CompareUserNames},
    {"service", CompareServiceNames},
    {"starting time", CompareStartTimes},
    {"total traffic", CompareTotalBytes},
};

// Makes an address an IPv6 one from a few that share their first or last eight bytes, and
// keeps its text as a row does: none.
void MakeIPv6(std::mt19937& random, S5NetAddr* address, char (&keptText)[16])
{
    static const char* const texts[] = {
        "::",          "::1",         "::ffff:10.0.0.1", "2001:db8::9",
        "2001:db8::a", "2001:db9::9", "fe80::1",         "ffff:ffff:ffff:ffff::"};
    memset(address, 0, sizeof *address);
    address->sin6.sin6_family = AF_INET6;
    address->sin6.sin6_port = htons(static_cast<uint16_t>(random()));
    inet_pton(AF_INET6, texts[random() % 8], &address->sin6.sin6_addr);
    keptText[0] = '\0';
}

std::vector<Connection*> Pointers(std::vector<Connection>& rows)
{
    std::vector<Connection*> list;
    for (Connection& row : rows)
        list.push_back(&row);
    return list;
}

} // namespace

TEST(RowSort, SortsAscendingWithEqualRowsInConnectionKeyOrder)
{
    std::mt19937 random(20261206);
    const int sizes[] = {0, 1, 2, 3, 17, 200, 3000};
    const int distincts[] = {1, 2, 5, 40};
    for (const Key& key : keys) {
        for (int size : sizes) {
            for (int distinct : distincts) {
                std::vector<Connection> rows = RandomRows(random, size, distinct);
                std::vector<Connection*> sorted = Pointers(rows), unsorted = Pointers(rows);
                SortRows(sorted.data(), 0, size - 1, key.compare);
                SCOPED_TRACE(std::string(key.name) + ", " + std::to_string(size) + " rows, "
                             + std::to_string(distinct) + " distinct");
                ASSERT_TRUE(std::is_permutation(sorted.begin(), sorted.end(), unsorted.begin()));
                for (int i = 1; i < size; i++) {
                    int order = key.compare(sorted[i - 1], sorted[i]);
                    ASSERT_LE(order, 0) << "descending at " << i;
                    if (order == 0) {
                        ASSERT_TRUE(KeyBefore(sorted[i - 1], sorted[i]))
                            << "tie out of key order at " << i;
                    }
                }
            }
        }
    }
}

// The sort through key copies gives exactly the list the row comparisons give, for every
// key and both namings: names in mixed case, rows without a name (their address is shown
// and compared), names sharing their first eight or sixteen bytes, numbers spread over the
// whole 32-bit range, where the wrap-around comparisons are not even transitive, and IPv6
// addresses among the IPv4 ones, sharing their first or last eight bytes. Runs of equal
// keys are long enough to be put in key order by steps too.
TEST(RowSort, KeyCopiesSortAsTheRowComparisons)
{
    const int ROWS = 10000;
    std::mt19937 random(20261207);
    static const char* const longNames[] = {"gateway-01.example",
                                            "Gateway-01.example",
                                            "gateway-01.EXAMPLE.net",
                                            "gateway-1",
                                            "gateway-0",
                                            "GATEWAY-01.examp-x",
                                            "",
                                            "\xc3\xa9t\xc3\xa9"};
    for (NodeType nodeType : {NODE_HOST_NAMES, NODE_IP_ADDRESSES}) {
        for (SortKey sortType : {SORT_BY_SOURCE, SORT_BY_DESTINATION, SORT_BY_USER, SORT_BY_SERVICE,
                                 SORT_BY_START_TIME, SORT_BY_TOTAL_TRAFFIC}) {
            std::vector<Connection> rows = RandomRows(random, ROWS, 6);
            for (Connection& row : rows) {
                snprintf(row.data.srcHostName, sizeof row.data.srcHostName, "%s",
                         longNames[random() % 8]);
                snprintf(row.data.dstHostName, sizeof row.data.dstHostName, "%s",
                         longNames[random() % 8]);
                snprintf(row.srcAddrText, sizeof row.srcAddrText, "10.0.0.%u",
                         unsigned(random() % 4));
                snprintf(row.dstAddrText, sizeof row.dstAddrText, "10.1.0.%u",
                         unsigned(random() % 4));
                row.data.dstSockAddr.sin.sin_addr.s_addr = random() % 5 == 0 ? 0 : random();
                if (random() % 3 == 0)
                    MakeIPv6(random, &row.data.srcSockAddr, row.srcAddrText);
                if (random() % 3 == 0)
                    MakeIPv6(random, &row.data.dstSockAddr, row.dstAddrText);
                row.data.startTime = static_cast<S5Time>(random() % 3 == 0 ? random() : 5);
                row.lastTotalBytes = random() % 2 ? random() : random() % 3;
                snprintf(row.data.appName, sizeof row.data.appName, "%s", longNames[random() % 8]);
            }
            auto compare = [sortType, nodeType](const Connection* a, const Connection* b) {
                return CompareRowsBy(sortType, nodeType, a, b);
            };
            std::vector<Connection*> byRows = Pointers(rows), byCopies = Pointers(rows);
            SortRows(byRows.data(), 0, ROWS - 1, compare);
            // Sorted in the shortest slices there are (the clock is always past their end),
            // as a pass sorts a long list between the window's events.
            RowSorter sorter;
            sorter.Begin(byCopies.data(), ROWS, sortType, nodeType);
            int slices = 1;
            while (!sorter.Sort(0))
                slices++;
            EXPECT_GT(slices, 5);
            EXPECT_EQ(byCopies, byRows) << "sort type " << sortType << ", node type " << nodeType;
        }
    }
}
