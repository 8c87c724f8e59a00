// vantor-mon's formatting: addresses, states, table alignment, CSV quoting, command line.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

#include "MonOptions.h"
#include "RecordFormat.h"
#include "TextTable.h"

namespace {
std::string captured(void (*print)(FILE *))
{
    char *buf = nullptr;
    size_t size = 0;
    FILE *f = open_memstream(&buf, &size);
    print(f);
    std::fclose(f);
    std::string text(buf, size);
    free(buf);
    return text;
}
} // namespace

TEST(MonFormat, AddressesInEitherByteOrderAndByName)
{
    S5NetAddr a;
    std::memset(&a, 0, sizeof a);
    EXPECT_EQ(netAddrText(a), "");
    a.sin.sin_family = AF_INET;
    a.sin.sin_port = htons(8080);
    a.sin.sin_addr.s_addr = inet_addr("10.0.0.7");
    EXPECT_EQ(netAddrText(a), "10.0.0.7:8080");
    a.sa.sa_family = htons(AF_INET);  // from a server of the other byte order
    EXPECT_EQ(netAddrText(a), "10.0.0.7:8080");

    std::memset(&a, 0, sizeof a);
    a.sn.sn_family = 255;
    a.sn.sn_port = htons(443);
    std::strcpy(a.sn.sn_name, "bad\x1b[2Jname");
    EXPECT_EQ(netAddrText(a), "bad?[2Jname:443");  // no terminal escapes from the network
}

TEST(MonFormat, StatusFromStateBits)
{
    EXPECT_STREQ(statusText(2), "active");
    EXPECT_STREQ(statusText(8), "ended");
    EXPECT_STREQ(statusText(12), "failed");
}

TEST(MonFormat, ConnectionRowsForTableAndCsv)
{
    S5MonData d;
    std::memset(&d, 0, sizeof d);
    d.state = 12;
    d.startTime = 1000;
    d.curTime = 1100;
    d.endTime = 1075;
    d.inTotBytes = 5;
    d.socksErr = 5;
    std::strcpy(d.socksErrMsg, "Connection refused");
    std::strcpy(d.dstHostName, "example.org");
    Row csv = connRow(d, Style::Csv);
    ASSERT_EQ(csv.size(), connColumns(Style::Csv).size());
    EXPECT_EQ(csv[0], "<0,0,0>");
    EXPECT_EQ(csv[1], "12");
    EXPECT_EQ(csv[2], "failed");
    EXPECT_EQ(csv[3], "1000");
    EXPECT_EQ(csv[5], "1075");
    EXPECT_EQ(csv[10], "example.org");
    EXPECT_EQ(csv[16], "5");
    EXPECT_EQ(csv[18], "5");
    EXPECT_EQ(csv[19], "Connection refused");
    Row table = connRow(d, Style::Table);
    ASSERT_EQ(table.size(), connColumns(Style::Table).size());
    EXPECT_EQ(table[3], "0:01:15");  // an ended connection lasts until its end
    EXPECT_EQ(table[11], "5 Connection refused");
}

TEST(MonFormat, TableColumnsAlignAndCsvQuotes)
{
    std::string table = captured([](FILE *f) {
        printTable(f, {"A", "BB"}, {{"long value", "x"}, {"s", "y"}});
    });
    EXPECT_EQ(table, "A           BB\nlong value  x\ns           y\n");
    std::string csv = captured([](FILE *f) {
        printCsvRow(f, {"<1,2,3>", "plain", "say \"hi\"", ""});
    });
    EXPECT_EQ(csv, "\"<1,2,3>\",plain,\"say \"\"hi\"\"\",\n");
}

TEST(MonCommandLine, ServerAndModes)
{
    MonOptions o;
    std::string error;
    ASSERT_TRUE(parseMonOptions({"--csv", "proxy.example:5052", "--watch", "5", "--count", "3"}, &o,
                                &error));
    EXPECT_EQ(o.server, "proxy.example:5052");
    EXPECT_TRUE(o.csv);
    EXPECT_EQ(o.watchSeconds, 5);
    EXPECT_EQ(o.count, 3);
    MonOptions bad;
    EXPECT_FALSE(parseMonOptions({}, &bad, &error));
    EXPECT_FALSE(parseMonOptions({"a", "b"}, &bad, &error));
    EXPECT_FALSE(parseMonOptions({"host", "--watch", "0"}, &bad, &error));
    EXPECT_FALSE(parseMonOptions({"host", "--count", "2"}, &bad, &error));
    EXPECT_FALSE(parseMonOptions({"host", "--frobnicate"}, &bad, &error));
}
