// The proxy's configuration without sockets: the file and its twin the command line, the
// addresses and blocks it names, and the access rules with their first-match decisions.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "tests/support/TempDir.h"
#include "tools/proxy/AccessRules.h"
#include "tools/proxy/Cidr.h"
#include "tools/proxy/HostName.h"
#include "tools/proxy/Options.h"
#include "tools/proxy/RuleSyntax.h"
#include "tools/proxy/Socks5Proto.h"

namespace {

// The options from a configuration text and command-line arguments; the messages of the
// mistakes found, as "PLACE: MESSAGE" (or the message alone without a place).
std::vector<std::string> load(const std::string& text, const std::vector<std::string>& args,
                              ProxyOptions* out)
{
    ProxyCommandLine commandLine;
    std::string error;
    if (!parseProxyCommandLine(args, &commandLine, &error))
        return {"command line: " + error};
    ConfigErrors errors = loadProxyOptionsFromText(text, "p.conf", commandLine, out);
    std::vector<std::string> messages;
    for (const ConfigError& e : errors.listed())
        messages.push_back(e.place.empty() ? e.message : e.place + ": " + e.message);
    return messages;
}

IpAddress ip(const char* text)
{
    IpAddress a;
    EXPECT_TRUE(parseIpAddress(text, &a)) << text;
    return a;
}

Cidr cidr(const char* text)
{
    Cidr c;
    std::string error;
    EXPECT_TRUE(parseCidr(text, &c, &error)) << text << ": " << error;
    return c;
}

AccessRules rules(const std::vector<std::string>& clientRules,
                  const std::vector<std::string>& requestRules)
{
    AccessRules out;
    std::string error;
    for (const std::string& text : clientRules) {
        ClientRule rule;
        EXPECT_TRUE(parseClientRule(splitWords(text), &rule, &error)) << text << ": " << error;
        EXPECT_TRUE(out.addClientRule(rule, &error));
    }
    for (const std::string& text : requestRules) {
        RequestRule rule;
        EXPECT_TRUE(parseRequestRule(splitWords(text), &rule, &error)) << text << ": " << error;
        EXPECT_TRUE(out.addRequestRule(rule, &error));
    }
    return out;
}

AccessRequest request(const char* source, const std::string& host, const char* destination,
                      uint16_t port, uint8_t command = socks5::CMD_CONNECT,
                      const std::string& user = "")
{
    AccessRequest r;
    r.source = ip(source);
    r.host = host;
    if (*destination)
        r.destination = ip(destination);
    r.port = port;
    r.command = command;
    r.user = user;
    return r;
}

// "pass 3", "block 0", "address 2": what a decision says, in a form that failures show.
std::string said(const Decision& d)
{
    const char* verdict = d.verdict == Verdict::Pass ? "pass"
        : d.verdict == Verdict::Block                ? "block"
                                                     : "address";
    return verdict + std::string(" ") + std::to_string(d.rule);
}

} // namespace

TEST(ConfigFile, CommentsBlankLinesTabsAndWindowsLineEnds)
{
    ProxyOptions o;
    EXPECT_EQ(load("# the proxy\n"
                   "\n"
                   "   \t  \n"
                   "\tretention\t 42   # seconds\r\n"
                   "block to 127.0.0.1#no blank before the comment\n"
                   "#retention 1\n"
                   "ready-file /run/r",
                   {}, &o),
              std::vector<std::string>{});
    EXPECT_EQ(o.retentionSeconds, 42);
    EXPECT_EQ(o.readyFile, "/run/r"); // the last line needs no line end
    ASSERT_EQ(o.rules.requestRules().size(), 1u);
    EXPECT_EQ(o.rules.requestRules()[0].text, "block to 127.0.0.1");
}

TEST(ConfigFile, ListeningAddressesTakeIpv6InBracketsAndKeepWhatIsLeftOut)
{
    struct {
        const char *text, *expected; // expected "" when refused
    } cases[] = {{"127.0.0.1:80", "127.0.0.1:80"},
                 {"10.0.0.1", "10.0.0.1:1080"},
                 {":81", "127.0.0.1:81"},
                 {"[::1]:82", "[::1]:82"},
                 {"[::]", "[::]:1080"},
                 {"[::ffff:127.0.0.1]:83", "[::ffff:127.0.0.1]:83"},
                 {"::1", ""},
                 {"::1:80", ""},
                 {"[::1]80", ""},
                 {"[::1", ""},
                 {"[127.0.0.1]:80", ""},
                 {"[::1]:", ""},
                 {"127.0.0.1:", ""},
                 {"127.0.0.1:65536", ""},
                 {"localhost:80", ""},
                 {"", ""}};
    for (const auto& c : cases) {
        Endpoint e = defaultSocksEndpoint();
        EXPECT_EQ(parseEndpoint(c.text, &e), *c.expected != '\0') << c.text;
        EXPECT_EQ(endpointText(e), *c.expected ? c.expected : "127.0.0.1:1080") << c.text;
    }
    Endpoint v6;
    ASSERT_TRUE(parseEndpoint("[::1]:0", &v6));
    sockaddr_in v4;
    EXPECT_FALSE(ipv4SocketAddress(v6, &v4));
    EXPECT_TRUE(isLoopback(v6.ip));
    EXPECT_TRUE(isLoopback(ip("::ffff:127.1.2.3")));
    EXPECT_FALSE(isLoopback(ip("::")));
    EXPECT_FALSE(isLoopback(ip("128.0.0.1")));
}

TEST(ConfigFile, EveryBadLineIsReportedWithItsNumberInOneRun)
{
    ProxyOptions o;
    o.retentionSeconds = 1; // a refused configuration leaves the options as they were
    std::vector<std::string> errors =
        load("retention 60\n"
             "bogus 1\n"
             "retention 5\n"
             "socks\n"
             "monitor 127.0.0.1:1 127.0.0.1:2\n"
             "max-records 0\n"
             "client pass to 10.0.0.0/8\n"
             "pass to bad..name\n"
             "pass port 2-1\n"
             "pass port 70000\n"
             "pass command shell\n"
             "pass user\n"
             "pass from 10.0.0.0/8 from 10.0.0.0/8\n"
             "client\n"
             "users\n"
                 + std::string(5000, 'x') + "\n" + "retention 7\x01\n",
             {}, &o);
    std::vector<std::string> expected = {
        "p.conf:2: unknown directive \"bogus\"",
        "p.conf:3: retention is given already on line 1",
        "p.conf:4: socks takes one value, not 0",
        "p.conf:5: monitor takes one value, not 2",
        "p.conf:6: bad value \"0\" for max-records: expected a whole number from 1 to 100000000",
        "p.conf:7: bad rule \"pass to 10.0.0.0/8\": \"to\" is not part of a client rule: it has "
        "only \"from CIDR\"",
        "p.conf:8: bad rule \"pass to bad..name\": \"bad..name\" is neither an address block, a "
        "host name nor a .domain (names hold letters, digits, '-' and '_' in labels of up to 63 "
        "bytes)",
        "p.conf:9: bad rule \"pass port 2-1\": a port is a number from 0 to 65535 or a range N-M "
        "with N <= M, not \"2-1\"",
        "p.conf:10: bad rule \"pass port 70000\": a port is a number from 0 to 65535 or a range "
        "N-M with N <= M, not \"70000\"",
        "p.conf:11: bad rule \"pass command shell\": the command is connect, bind or "
        "udpassociate, not \"shell\"",
        "p.conf:12: bad rule \"pass user\": \"user\" needs a value",
        "p.conf:13: bad rule \"pass from 10.0.0.0/8 from 10.0.0.0/8\": \"from\" is given twice",
        "p.conf:14: bad rule \"\": a rule starts with pass or block",
        "p.conf:15: users takes one value, not 0",
        "p.conf:16: longer than 4096 bytes",
        "p.conf:17: holds a control byte or a NUL"};
    EXPECT_EQ(errors, expected);
    EXPECT_EQ(o.retentionSeconds, 1);
}

TEST(ConfigFile, TheCommandLineWinsAndItsRulesFollowTheFilesInOrder)
{
    const std::string file = "socks 127.0.0.2:1000\n"
                             "socks 127.0.0.3:1000\n"
                             "monitor 127.0.0.4:2000\n"
                             "monitor-allow 127.0.0.0/8\n"
                             "retention 60\n"
                             "client block from 10.0.0.0/8\n"
                             "pass to .example.org\n"
                             "block to 127.0.0.1 port 9000-9100\n";
    ProxyOptions fileOnly;
    ASSERT_EQ(load(file, {}, &fileOnly), std::vector<std::string>{});
    EXPECT_EQ(fileOnly.socksAddrs.size(), 2u);
    EXPECT_EQ(fileOnly.retentionSeconds, 60);

    ProxyOptions o;
    ASSERT_EQ(
        load(file,
             {"--retention", "5", "--rule", "pass  from 127.0.0.0/8", "--socks", ":1001",
              "--monitor", ":2001", "--client-rule", "pass", "--rule", "block", "--retention", "6"},
             &o),
        std::vector<std::string>{});
    EXPECT_EQ(o.retentionSeconds, 6);   // the last on the command line
    ASSERT_EQ(o.socksAddrs.size(), 1u); // the command line's list replaces the file's
    EXPECT_EQ(endpointText(o.socksAddrs[0]), "127.0.0.1:1001");
    EXPECT_EQ(endpointText(o.monitorAddr), "127.0.0.4:2001"); // the port alone is replaced
    EXPECT_EQ(o.rules.monitorAllow().size(), 1u);             // not given again: kept
    std::vector<std::string> texts, places;
    for (const RequestRule& r : o.rules.requestRules()) {
        texts.push_back(std::to_string(r.number) + " " + r.text);
        places.push_back(r.place);
    }
    EXPECT_EQ(
        texts,
        (std::vector<std::string>{"1 pass to .example.org", "2 block to 127.0.0.1 port 9000-9100",
                                  "3 pass from 127.0.0.0/8", "4 block"}));
    EXPECT_EQ(places, (std::vector<std::string>{"p.conf:7", "p.conf:8", "--rule", "--rule"}));
    ASSERT_EQ(o.rules.clientRules().size(), 2u);
    EXPECT_EQ(o.rules.clientRules()[1].number, 2);
    EXPECT_EQ(o.rules.clientRules()[1].place, "--client-rule");

    ProxyOptions bad;
    EXPECT_EQ(load(file, {"--rule", "pass to"}, &bad),
              std::vector<std::string>{"bad rule \"pass to\" for --rule: \"to\" needs a value"});
}

TEST(ConfigFile, ListensOnLoopbackUnlessToldAndTheCommandLineRefusesWhatItDoesNotKnow)
{
    ProxyOptions o;
    ASSERT_EQ(load("", {}, &o), std::vector<std::string>{});
    EXPECT_EQ(endpointText(o.socksAddrs.at(0)), "127.0.0.1:1080");
    for (const auto& bad : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--config"}, "option --config needs a value"},
             {{"--config", ""}, "option --config needs a file name"},
             {{"--rule"}, "option --rule needs a value"},
             {{"--client"}, "unknown option or argument --client"},
             {{"retention", "1"}, "unknown option or argument retention"}}) {
        ProxyCommandLine fresh;
        std::string error;
        EXPECT_FALSE(parseProxyCommandLine(bad.first, &fresh, &error));
        EXPECT_EQ(error, bad.second);
    }
}

TEST(ConfigFile, OnlyARegularFileOfBoundedSizeIsReadAndNothingBlocks)
{
    TempDir temp;
    const std::string dir = temp.path(), fifo = dir + "/fifo", link = dir + "/link",
                      file = dir + "/p.conf", big = dir + "/big.conf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(file) << "retention 9\nbogus\n";
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
    {
        std::ofstream out(big);
        std::string comment = "#" + std::string(1000, 'c') + "\n";
        for (size_t size = 0; size <= kConfigMaxSize; size += comment.size())
            out << comment;
    }
    signal(SIGALRM, [](int) {});
    alarm(5); // ends a blocked open, so that the fault fails the test instead of hanging it
    const struct {
        std::string path, error;
    } refused[] = {
        {fifo, fifo + ": not a regular file"},
        {dir, dir + ": not a regular file"},
        {link, link + ": is a symbolic link; give the file itself"},
        {dir + "/missing", dir + "/missing: cannot be read: No such file or directory"},
        {big, big + ": larger than 4194304 bytes"},
        {file, file + ":2: unknown directive \"bogus\""},
    };
    for (const auto& r : refused) {
        ProxyCommandLine c;
        c.configFile = r.path;
        ProxyOptions o;
        ConfigErrors errors = loadProxyOptions(c, &o);
        ASSERT_EQ(errors.count(), 1u) << r.path;
        const ConfigError& e = errors.listed()[0];
        EXPECT_EQ(e.place.empty() ? e.message : e.place + ": " + e.message, r.error);
    }
    alarm(0);
}

TEST(ConfigFile, MistakesBeyondAHundredAreCountedAndRulesAreBounded)
{
    std::string garbage;
    for (int i = 0; i < 1000; ++i)
        garbage += "nonsense\n";
    ProxyOptions o;
    ConfigErrors errors = loadProxyOptionsFromText(garbage, "g", ProxyCommandLine(), &o);
    EXPECT_EQ(errors.count(), 1000u);
    EXPECT_EQ(errors.listed().size(), ConfigErrors::MAX_LISTED);
    EXPECT_EQ(errors.listed().back().place, "g:100");

    std::string many;
    for (size_t i = 0; i < AccessRules::MAX_RULES; ++i)
        many += "pass port " + std::to_string(i % 65536) + "\n";
    EXPECT_TRUE(loadProxyOptionsFromText(many, "m", ProxyCommandLine(), &o).empty());
    EXPECT_EQ(o.rules.requestRules().size(), AccessRules::MAX_RULES);
    errors = loadProxyOptionsFromText(many + "block\n", "m", ProxyCommandLine(), &o);
    ASSERT_EQ(errors.count(), 1u);
    EXPECT_EQ(errors.listed()[0].place, "m:10001");
    EXPECT_EQ(errors.listed()[0].message, "too many request rules: at most 10000 are read");
}

TEST(Cidr, BlocksOfBothFamiliesAtTheirEdges)
{
    struct {
        const char *block, *address;
        bool inside;
    } cases[] = {
        {"0.0.0.0/0", "0.0.0.0", true},
        {"0.0.0.0/0", "::1", false}, // an IPv4 block never holds IPv6
        {"::/0", "::1", true},
        {"::/0", "127.0.0.1", false},
        {"::/0", "::ffff:127.0.0.1", false}, // mapped: counted as the IPv4 address
        {"192.0.2.7/32", "192.0.2.7", true},
        {"192.0.2.7", "192.0.2.7", true},
        {"192.0.2.7/32", "192.0.2.6", false},
        {"10.0.0.0/8", "10.255.255.255", true},
        {"10.0.0.0/8", "11.0.0.0", false},
        {"10.0.0.0/8", "::ffff:10.1.2.3", true},
        {"192.0.2.128/25", "192.0.2.127", false},
        {"192.0.2.128/25", "192.0.2.128", true},
        {"2001:db8::/32", "2001:db8:ffff::1", true},
        {"2001:db8::/32", "2001:db9::", false},
        {"2001:db8::1/128", "2001:db8::1", true},
        {"2001:db8::1/128", "2001:db8::2", false},
        {"::ffff:10.0.0.0/104", "10.9.9.9", true}, // the mapped form of 10.0.0.0/8
        {"fe80::/10", "febf::1", true},
        {"fe80::/10", "fec0::1", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cidrContains(cidr(c.block), ip(c.address)), c.inside)
            << c.block << " " << c.address;
    EXPECT_EQ(cidrText(cidr("::ffff:10.0.0.0/104")), "10.0.0.0/8");
    EXPECT_EQ(cidrText(cidr("2001:DB8::/32")), "2001:db8::/32");

    struct {
        const char *text, *error;
    } bad[] = {{"10.0.0.0/33", "the prefix length after \"/\" must be a number from 0 to 32"},
               {"::/129", "the prefix length after \"/\" must be a number from 0 to 128"},
               {"10.0.0.0/", "the prefix length after \"/\" must be a number from 0 to 32"},
               {"10.0.0.0/+8", "the prefix length after \"/\" must be a number from 0 to 32"},
               {"10.0.0.0/-0", "the prefix length after \"/\" must be a number from 0 to 32"},
               {"10.0.0.0/8/8", "the prefix length after \"/\" must be a number from 0 to 32"},
               {"10.0.0.1/31",
                "\"10.0.0.1/31\" has bits set beyond its prefix; the block is "
                "10.0.0.0/31"},
               {"2001:db8::1/64",
                "\"2001:db8::1/64\" has bits set beyond its prefix; the block "
                "is 2001:db8::/64"},
               {"10.0.0/8", "\"10.0.0\" is not a numeric IPv4 or IPv6 address"},
               {"", "\"\" is not a numeric IPv4 or IPv6 address"},
               {"example.org/8", "\"example.org\" is not a numeric IPv4 or IPv6 address"}};
    for (const auto& b : bad) {
        Cidr c;
        std::string error;
        EXPECT_FALSE(parseCidr(b.text, &c, &error)) << b.text;
        EXPECT_EQ(error, b.error);
    }
}

TEST(HostName, DomainsMatchOnLabelBoundariesWithoutRegardToCase)
{
    EXPECT_EQ(canonicalHostName("WWW.Example.ORG."), "www.example.org");
    EXPECT_TRUE(inDomain("example.org", "example.org"));
    EXPECT_TRUE(inDomain("www.example.org", "example.org"));
    EXPECT_TRUE(inDomain("a.b.example.org", "example.org"));
    EXPECT_FALSE(inDomain("badexample.org", "example.org"));
    EXPECT_FALSE(inDomain("example.org.evil", "example.org"));
    EXPECT_FALSE(inDomain("org", "example.org"));
    for (const char* good : {"a", "example.org", "example.org.", "x_y-1.example", "1.example"})
        EXPECT_TRUE(validHostName(good)) << good;
    std::string longLabel(64, 'a'), longName;
    while (longName.size() < 254)
        longName += "abc.";
    for (const std::string& bad :
         {std::string(""), std::string("."), std::string("a..b"), std::string(".a"),
          std::string("a b"), std::string("a/b"), longLabel, longName.substr(0, 254)})
        EXPECT_FALSE(validHostName(bad)) << bad;
    EXPECT_TRUE(validHostName(std::string(63, 'a')));

    AccessRules r = rules({}, {"block to .Example.ORG", "block to host.test", "pass"});
    EXPECT_EQ(said(r.decideRequest(request("127.0.0.1", "WWW.example.org", "", 80))), "block 1");
    EXPECT_EQ(said(r.decideRequest(request("127.0.0.1", "example.org.", "", 80))), "block 1");
    EXPECT_EQ(said(r.decideRequest(request("127.0.0.1", "notexample.org", "", 80))), "pass 3");
    EXPECT_EQ(said(r.decideRequest(request("127.0.0.1", "HOST.test", "", 80))), "block 2");
    EXPECT_EQ(said(r.decideRequest(request("127.0.0.1", "a.host.test", "", 80))), "pass 3");
}

TEST(AccessRules, PortRangesCommandsAndUsers)
{
    AccessRules r = rules({},
                          {"pass port 80", "pass port 8000-8080 command connect",
                           "pass command bind user alice", "pass port 0-1 user bob"});
    struct {
        uint16_t port;
        uint8_t command;
        const char *user, *expected;
    } cases[] = {
        {80, socks5::CMD_CONNECT, "", "pass 1"},
        {79, socks5::CMD_CONNECT, "", "block 0"},
        {81, socks5::CMD_CONNECT, "", "block 0"},
        {8000, socks5::CMD_CONNECT, "", "pass 2"},
        {8080, socks5::CMD_CONNECT, "", "pass 2"},
        {8081, socks5::CMD_CONNECT, "", "block 0"},
        {7999, socks5::CMD_CONNECT, "", "block 0"},
        {8000, socks5::CMD_UDP_ASSOCIATE, "", "block 0"},
        {8000, socks5::CMD_BIND, "alice", "pass 3"},
        {8000, socks5::CMD_BIND, "Alice", "block 0"}, // user names are exact
        {8000, socks5::CMD_BIND, "", "block 0"},
        {0, socks5::CMD_UDP_ASSOCIATE, "bob", "pass 4"},
        {1, socks5::CMD_UDP_ASSOCIATE, "bob", "pass 4"},
        {2, socks5::CMD_UDP_ASSOCIATE, "bob", "block 0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            said(r.decideRequest(request("127.0.0.1", "", "192.0.2.1", c.port, c.command, c.user))),
            c.expected)
            << c.port << " " << int(c.command) << " " << c.user;
}

TEST(AccessRules, TheFirstMatchDecidesAndWithoutAMatchTheListDecides)
{
    AccessRules none;
    EXPECT_EQ(said(none.decideClient(ip("203.0.113.9"))), "pass 0");
    EXPECT_EQ(said(none.decideRequest(request("203.0.113.9", "x.test", "", 80))), "pass 0");
    EXPECT_TRUE(none.monitorAllowed(ip("203.0.113.9")));

    AccessRules r =
        rules({"block from 10.9.0.0/16", "pass from 10.0.0.0/8", "pass from ::1"},
              {"block from 10.0.0.0/8 to 192.0.2.0/24", "pass from 10.0.0.0/8", "block", "pass"});
    EXPECT_EQ(said(r.decideClient(ip("10.9.1.1"))), "block 1");
    EXPECT_EQ(said(r.decideClient(ip("10.8.1.1"))), "pass 2");
    EXPECT_EQ(said(r.decideClient(ip("::ffff:10.8.1.1"))), "pass 2");
    EXPECT_EQ(said(r.decideClient(ip("::1"))), "pass 3");
    EXPECT_EQ(said(r.decideClient(ip("127.0.0.1"))), "block 0"); // rules given: the rest block
    EXPECT_EQ(said(r.decideRequest(request("10.1.1.1", "", "192.0.2.9", 80))), "block 1");
    EXPECT_EQ(said(r.decideRequest(request("10.1.1.1", "", "198.51.100.1", 80))), "pass 2");
    EXPECT_EQ(said(r.decideRequest(request("11.1.1.1", "", "198.51.100.1", 80))), "block 3");

    AccessRules onlyBlocks = rules({}, {"block to 192.0.2.0/24"});
    EXPECT_EQ(said(onlyBlocks.decideRequest(request("10.1.1.1", "", "198.51.100.1", 80))),
              "block 0");
}

TEST(AccessRules, NamesAreDecidedBeforeTheLookUpAndAddressBlocksAfter)
{
    // A name decided by a name rule, or by an address rule once looked up, is met end to end
    // (ProxyRules.ABlockedDestinationFailsCurlWithReplyTwoAndIsListedWithItsRule).
    AccessRules r = rules(
        {}, {"block to .ads.example", "pass to 192.0.2.0/24", "pass to www.example.org", "block"});
    // An address never matches a name rule: no reverse look-ups.
    EXPECT_EQ(said(r.decideRequest(request("127.0.0.1", "", "198.51.100.5", 80))), "block 4");
    EXPECT_EQ(said(r.decideRequest(request("127.0.0.1", "", "::ffff:192.0.2.1", 80))), "pass 2");
    // Rules that fail on something else known first do not ask for the address.
    AccessRules ports = rules({}, {"pass to 192.0.2.0/24 port 443", "block"});
    EXPECT_EQ(said(ports.decideRequest(request("127.0.0.1", "a.test", "", 80))), "block 2");
}

TEST(AccessRules, PortsThatOtherHostsReachNeedRules)
{
    Endpoint loopback = defaultSocksEndpoint(), v6loopback, any, v6any;
    ASSERT_TRUE(parseEndpoint("[::1]:1080", &v6loopback));
    ASSERT_TRUE(parseEndpoint("0.0.0.0:1080", &any));
    ASSERT_TRUE(parseEndpoint("[::]:5051", &v6any));
    AccessRules none, clientOnly = rules({"pass from 192.0.2.0/24"}, {}),
                      requestOnly = rules({}, {"block port 25"});
    EXPECT_EQ(openListenerRefusal({loopback, v6loopback}, loopback, none), "");
    // The whole message is checked as the program prints it, in ToolPrograms.
    EXPECT_NE(openListenerRefusal({loopback, any}, loopback, none), "");
    EXPECT_EQ(openListenerRefusal({any}, loopback, clientOnly), "");
    EXPECT_EQ(openListenerRefusal({any}, loopback, requestOnly), "");
    EXPECT_EQ(openListenerRefusal({loopback}, v6any, clientOnly),
              "the monitoring address [::]:5051 is reachable from other hosts and no "
              "monitor-allow says who may read it; add monitor-allow with the monitors' "
              "addresses or listen on loopback");
    AccessRules allowed;
    std::string error;
    ASSERT_TRUE(allowed.addMonitorAllow(cidr("192.0.2.0/24"), &error));
    EXPECT_EQ(openListenerRefusal({loopback}, v6any, allowed), "");
}
