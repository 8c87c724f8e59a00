// vantor-mon's formatting of addresses and CSV fields, and its command line. Whole tables
// and rows are compared in mon_monsim_test.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

#include "tools/mon/MonOptions.h"
#include "tools/mon/RecordFormat.h"
#include "tools/common/TerminalText.h"
#include "tools/mon/TextTable.h"

// Addresses of both families in the usual byte order are what vantor-mon prints of the proxy
// end to end (CurlThroughProxy, ProxyIpv6).
TEST(MonFormat, AddressesInTheOtherByteOrderWithHostileBytesAndByName)
{
    S5NetAddr a;
    std::memset(&a, 0, sizeof a);
    EXPECT_EQ(netAddrText(a), "");
    a.sin.sin_port = htons(8080);
    a.sin.sin_addr.s_addr = inet_addr("10.0.0.7");
    a.sa.sa_family = htons(AF_INET); // from a server of the other byte order
    EXPECT_EQ(netAddrText(a), "10.0.0.7:8080");
    std::memset(&a, 0, sizeof a);
    a.sin6.sin6_port = htons(443);
    ASSERT_EQ(inet_pton(AF_INET6, "2001:db8::9", &a.sin6.sin6_addr), 1);
    a.sa.sa_family = htons(AF_INET6);
    EXPECT_EQ(netAddrText(a), "[2001:db8::9]:443");
    // A hostile server's bytes behind the family: every one of them set.
    std::memset(&a, 0xff, sizeof a);
    a.sin6.sin6_family = AF_INET6;
    EXPECT_EQ(netAddrText(a), "[ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff]:65535");

    std::memset(&a, 0, sizeof a);
    a.sn.sn_family = 255;
    a.sn.sn_port = htons(443);
    std::strcpy(a.sn.sn_name, "bad\x1b[2Jname");
    EXPECT_EQ(netAddrText(a), "bad\\x1b[2Jname:443"); // no terminal escapes from the network
}

TEST(MonFormat, EveryControlByteAndEveryInvalidSequenceIsEscaped)
{
    const struct {
        std::string in, shown;
    } cases[] = {
        {"plain host.example", "plain host.example"},
        {"tab\tbell\adel\x7f", "tab\\x09bell\\x07del\\x7f"},
        {"csi\x9b"
         "31m",
         "csi\\x9b31m"}, // a lone C1 byte (8-bit CSI)
        {"csi\xc2\x9b"
         "31m",
         "csi\\xc2\\x9b31m"}, // C1 encoded as UTF-8
        {"nbsp\xc2\xa0"
         "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80",
         "nbsp\xc2\xa0"
         "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
        {"overlong\xc0\xaf", "overlong\\xc0\\xaf"},
        {"surrogate\xed\xa0\x80", "surrogate\\xed\\xa0\\x80"},
        {"cut\xe2\x82", "cut\\xe2\\x82"},
        {"beyond\xf4\x90\x80\x80", "beyond\\xf4\\x90\\x80\\x80"},
        // Direction overrides and isolates would reorder what follows them.
        {"user\xe2\x80\xaegpj.exe", "user\\xe2\\x80\\xaegpj.exe"},
        {"a\xe2\x81\xa6"
         "b\xe2\x81\xa9",
         "a\\xe2\\x81\\xa6b\\xe2\\x81\\xa9"},
        {"dash\xe2\x80\x94ok", "dash\xe2\x80\x94ok"}, // an em dash is no control
    };
    for (const auto& c : cases)
        EXPECT_EQ(terminalText(c.in.c_str(), 64), c.shown) << c.shown;
    // The cap ends the text as the field's size does, also inside a sequence.
    EXPECT_EQ(terminalText("ab\xc3\xa9", 3), "ab\\xc3");
}

TEST(MonFormat, CsvQuotesCommasAndQuotesAndKeepsWhatASpreadsheetWouldRunAsText)
{
    char* buf = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&buf, &size);
    printCsvRow(f, {"<1,2,3>", "plain", "say \"hi\"", ""});
    printCsvRow(f, {"=1+1", "+cmd", "-2+3", "@SUM(A1)", "-12", "3.5", "-", "a=b", "=x,y"});
    std::fclose(f);
    std::string csv(buf, size);
    free(buf);
    EXPECT_EQ(csv,
              "\"<1,2,3>\",plain,\"say \"\"hi\"\"\",\n"
              "'=1+1,'+cmd,'-2+3,'@SUM(A1),-12,3.5,'-,a=b,\"'=x,y\"\n");
}

TEST(MonCommandLine, ServersOfEitherFamilyAndModes)
{
    MonOptions o;
    std::string error;
    ASSERT_TRUE(parseMonOptions({"--csv", "proxy.example:5052", "--watch", "5", "--count", "3"}, &o,
                                &error));
    EXPECT_EQ(o.server, "proxy.example:5052");
    EXPECT_TRUE(o.csv);
    EXPECT_EQ(o.watchSeconds, 5);
    EXPECT_EQ(o.count, 3);
    for (const char* good :
         {"host:65535", "[::1]:5051", "[::1]", "::1", "2001:db8::9", "[2001:db8::9]:1"}) {
        MonOptions g;
        EXPECT_TRUE(parseMonOptions({good}, &g, &error)) << good << ": " << error;
        EXPECT_EQ(g.server, good);
    }
    const std::string port = "the port in HOST:PORT must be a number from 1 to 65535, not ";
    const struct {
        std::vector<std::string> args;
        std::string error; // "" where only the refusal is checked
    } bad[] = {
        {{}, ""},
        {{"a", "b"}, ""},
        {{"host", "--watch", "0"}, ""},
        {{"host", "--count", "2"}, ""},
        {{"host", "--frobnicate"}, ""},
        {{"host:0"}, ""},
        {{"host:http"}, ""},
        {{"host:"}, ""},
        {{"--users", "--totals", "host"}, ""},
        {{"host:99999"}, port + "\"99999\""},
        {{"host:1:2"}, port + "\"1:2\""}, // the library would read 1
        {{"[::1]:65536"}, port + "\"65536\""},
        {{"[::1:5051"}, "an IPv6 address with a port is written [ADDRESS]:PORT, not \"[::1:5051\""},
        {{"[::1]5051"}, ""},
    };
    for (const auto& b : bad) {
        MonOptions fresh;
        EXPECT_FALSE(parseMonOptions(b.args, &fresh, &error)) << testing::PrintToString(b.args);
        if (!b.error.empty()) {
            EXPECT_EQ(error, b.error);
        }
    }
}

TEST(MonFormat, UserTableHeadingsAreSingleWordsAndTheNamelessRowIsADash)
{
    EXPECT_EQ(userColumns(Style::Table),
              (std::vector<std::string>{"USER", "CURRENT", "FAILED", "ENDED", "TOTAL", "IN", "OUT",
                                        "FIRST", "LAST_END"})); // columns split on blanks
    S5MonUser_t nameless;
    memset(&nameless, 0, sizeof nameless);
    EXPECT_EQ(userRow(nameless, Style::Table).front(), "-");
    EXPECT_EQ(userRow(nameless, Style::Csv).front(), ""); // CSV keeps the field empty
}
