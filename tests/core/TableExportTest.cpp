// The texts the table gives away, without a display: CSV quoting, the clipboard's
// tab-separated rows, the filter's text and count, and view.ini read back or refused.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "core/RowFilter.h"
#include "core/TableExport.h"
#include "core/ViewFile.h"
#include "tests/core/DefaultSetting.h"

namespace {

TEST(TableExportTest, CsvQuotesOnlyWhatNeedsItAndTabsStayInTheirCell)
{
    EXPECT_EQ("plain,,with space\r\n", CsvRecord({"plain", "", "with space"}));
    EXPECT_EQ("\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",\"cr\r\"\r\n",
              CsvRecord({"a,b", "say \"hi\"", "two\nlines", "cr\r"}));
    EXPECT_EQ("a b\tc d\te", TabSeparatedRecord({"a\tb", "c\nd", "e"}));

    DefaultSetting d;
    d.s.columnVisible[1] = 0;
    d.s.columnType[0] = 8;
    std::vector<std::string> titles = ShownColumnTitles(d.s);
    ASSERT_EQ(11u, titles.size());
    EXPECT_EQ("Total Traffic", titles[0]);
    EXPECT_EQ("User Name", titles[1]);
}

TEST(TableExportTest, FilterTextIsCleanedAndCountsAreGrouped)
{
    EXPECT_EQ("a b", CleanFilterText("\t a\nb  ", 128));
    EXPECT_EQ("", CleanFilterText("   ", 128));
    EXPECT_EQ("ab", CleanFilterText("ab\xc3\xa9", 4)) << "not cut inside a character";
    EXPECT_EQ("12 of 4,311", ShownOfTotalText(12, 4311));
    EXPECT_EQ("1,000,000 of 1,000,000", ShownOfTotalText(1000000, 1000000));
    EXPECT_EQ("0 of 999", ShownOfTotalText(0, 999));
}

// The views read back from text, and the line where damage was found.
int Read(const std::string& text, std::vector<ServerView>* views)
{
    FILE* in = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    int damaged = ReadViewsFrom(in, views);
    fclose(in);
    return damaged;
}

TEST(TableExportTest, ViewFileRoundTripsAndAnyDamageRefusesTheWholeFile)
{
    std::vector<ServerView> written = {{"a.lan:5051", SORT_BY_DURATION, 1, "alice bob"},
                                       {"[::1]:5051", SORT_BY_NONE, 0, ""}};
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    WriteViewsTo(out, written);
    fclose(out);
    std::string text(buffer, size);
    free(buffer);
    EXPECT_EQ("vantor-view 1\na.lan:5051\tduration\tdescending\talice bob\n"
              "[::1]:5051\tmenu\tascending\t\n",
              text);
    std::vector<ServerView> read;
    ASSERT_EQ(0, Read(text, &read));
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ(SORT_BY_DURATION, read[0].sortType);
    EXPECT_EQ("alice bob", read[0].filter);

    const std::pair<std::string, int> damaged[] = {
        {"", 1},
        {"vantor-view 2\n", 1},
        {"vantor-view 1\ns\tin\tascending\n", 2},
        {"vantor-view 1\ns\tin\tascending\tx\tmore\n", 2},
        {"vantor-view 1\ns\tup\tascending\t\n", 2},
        {"vantor-view 1\ns\tin\tdown\t\n", 2},
        {"vantor-view 1\n\tin\tascending\t\n", 2},
        {"vantor-view 1\ns\tout\tascending\tok\ns\tin\tascending\tbell\a\n", 3},
        {"vantor-view 1\ns\tin\tascending\t" + std::string(200, 'x') + "\n", 2},
        {std::string("vantor-view 1\ns\tin\tascending\tnul\0\n", 34), 2},
    };
    for (const auto& d : damaged) {
        EXPECT_EQ(d.second, Read(d.first, &read)) << d.first;
        EXPECT_TRUE(read.empty());
    }
    // A view applied at start-up, and the key saved beside it, are
    // TableViewTest.HeadingsSortBothWaysAndSaveOptionsKeepsMonitorIniAsItWas's.
}

} // namespace
