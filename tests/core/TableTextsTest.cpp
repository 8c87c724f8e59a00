// The connection table's texts: the title in its fixed buffer, and each data column's cell.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "core/TableTexts.h"

namespace {

TEST(TableTitle, HeadingAndServerNameWithTwoBlanksAndALongNameCutInsideTheBuffer)
{
    struct Case {
        int showFailed;
        std::string name, expected;
    } cases[] = {
        // Titles of every kind are read back from the table in MonTableTest.
        {1, "proxy", "Failed Connections  (proxy)"},
        {0, std::string(255, 'h'), "Active Connections  (" + std::string(30, 'h')},
    };
    for (const Case& c : cases) {
        // Guard bytes after the buffer must survive the longest name.
        char buffer[TABLE_TITLE_SIZE + 8];
        memset(buffer, '#', sizeof buffer);
        ComposeTableTitle(buffer, c.showFailed, c.name.c_str());
        EXPECT_EQ(c.expected, buffer);
        EXPECT_EQ(std::string(8, '#'), std::string(buffer + TABLE_TITLE_SIZE, 8));
    }
}

// The other columns, IP naming and the units are read back from the application's table
// (MonTableTest); there the times and the method vary from run to run.
TEST(TableCells, TimesAndMethodShowTheirTextsAndNoCellLiesOutsideTheColumns)
{
    Connection row;
    memset(&row, 0, sizeof row);
    AddressTextBuffer cell;
    strcpy(row.startText, "12:00:01");
    strcpy(row.durationText, "0:01:02");
    strcpy(row.authenText, "None");
    EXPECT_STREQ("12:00:01", ConnectionCellText(&row, COLUMN_START, NODE_HOST_NAMES, 1, &cell));
    EXPECT_STREQ("0:01:02", ConnectionCellText(&row, COLUMN_DURATION, NODE_HOST_NAMES, 1, &cell));
    EXPECT_STREQ("None", ConnectionCellText(&row, COLUMN_AUTH, NODE_HOST_NAMES, 1, &cell));
    EXPECT_EQ(nullptr, ConnectionCellText(&row, 12, NODE_HOST_NAMES, 1, &cell));
    EXPECT_EQ(nullptr, ConnectionCellText(&row, -1, NODE_HOST_NAMES, 1, &cell));
    row.data.inTotBytes = 4294967295u; // the largest count still fits its text buffer
    EXPECT_STREQ("4294967295.00",
                 ConnectionCellText(&row, COLUMN_IN_TRAFFIC, NODE_HOST_NAMES, 1, &cell));
}

// Traffic texts are made without printf for the units the settings offer; they must be the
// very texts "%.2f" makes, halves rounded to even included.
TEST(TableCells, TrafficTextsAreThoseOfPrintfInEveryUnit)
{
    Connection row;
    memset(&row, 0, sizeof row);
    AddressTextBuffer cell;
    const float factors[] = {1, 1024, 1048576, 1024.0f * 1048576, 1000, 0.5f, 3};
    std::vector<uint32_t> counts = {0, 1, 5, 99, 511, 512, 513, 1535, 1536, 4294967295u};
    for (uint32_t b = 0; b < 70000; b++)
        counts.push_back(b); // every residue of a KB unit, halves among them
    uint32_t seed = 12345;
    for (int i = 0; i < 200000; i++) {
        seed = seed * 1664525u + 1013904223u;
        counts.push_back(seed);
    }
    int mismatches = 0;
    for (float factor : factors) {
        for (uint32_t bytes : counts) {
            row.data.inTotBytes = bytes;
            char expected[64];
            snprintf(expected, sizeof expected, "%.2f", static_cast<double>(bytes) / factor);
            const char* text =
                ConnectionCellText(&row, COLUMN_IN_TRAFFIC, NODE_HOST_NAMES, factor, &cell);
            if (strcmp(expected, text) != 0 && mismatches++ < 5)
                ADD_FAILURE() << bytes << " / " << factor << ": " << text << " instead of "
                              << expected;
        }
    }
    EXPECT_EQ(0, mismatches);
    row.data.inTotBytes = 2560; // 2.5 KB exactly
    EXPECT_STREQ("2.50", ConnectionCellText(&row, COLUMN_IN_TRAFFIC, NODE_HOST_NAMES, 1024, &cell));
    row.data.inTotBytes = 128; // 0.125 KB: a half, to the even 0.12
    EXPECT_STREQ("0.12", ConnectionCellText(&row, COLUMN_IN_TRAFFIC, NODE_HOST_NAMES, 1024, &cell));
    row.data.inTotBytes = 384; // 0.375 KB: a half, to the even 0.38
    EXPECT_STREQ("0.38", ConnectionCellText(&row, COLUMN_IN_TRAFFIC, NODE_HOST_NAMES, 1024, &cell));
}

} // namespace

TEST(TableCells, AHostWithoutANameShowsItsAddressInHostNameMode)
{
    Connection row;
    memset(&row, 0, sizeof row);
    AddressTextBuffer cell;
    strcpy(row.srcAddrText, "10.1.2.3");
    strcpy(row.dstAddrText, "10.9.9.9");
    strcpy(row.proxyAddrText, "10.0.0.1");
    strcpy(row.data.dstHostName, "www.example");
    struct Case {
        int column;
        NodeType nodeType;
        std::string shown;
    } cases[] = {
        {COLUMN_SOURCE, NODE_HOST_NAMES, "10.1.2.3"},
        {COLUMN_DESTINATION, NODE_HOST_NAMES, "www.example"},
        {COLUMN_PROXY, NODE_HOST_NAMES, "10.0.0.1"},
        {COLUMN_SOURCE, NODE_IP_ADDRESSES, "10.1.2.3"},
        {COLUMN_DESTINATION, NODE_IP_ADDRESSES, "10.9.9.9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.shown, ConnectionCellText(&row, c.column, c.nodeType, 1.0f, &cell))
            << "column " << c.column << ", node type " << c.nodeType;
}
