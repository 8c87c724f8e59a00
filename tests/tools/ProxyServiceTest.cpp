// The proxy's parts for running as a service, without sockets: reading the settings again on
// a reload and the log line of an ended connection.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/TempDir.h"
#include "tools/common/CommandLine.h"
#include "tools/proxy/ConnTable.h"
#include "tools/proxy/ConnectionLog.h"
#include "tools/proxy/ProxySettings.h"
#include "tools/proxy/Socks5Proto.h"

namespace {

ProxyCommandLine commandLineOf(const std::vector<std::string>& args)
{
    ProxyCommandLine commandLine;
    std::string error;
    EXPECT_TRUE(parseProxyCommandLine(args, &commandLine, &error)) << error;
    return commandLine;
}

std::vector<std::string> messages(const ConfigErrors& errors)
{
    std::vector<std::string> out;
    for (const ConfigError& e : errors.listed())
        out.push_back(e.place.empty() ? e.message : e.place + ": " + e.message);
    return out;
}

// "127.0.0.1:5000" or "[::1]:5000" as a socket address.
sockaddr_storage inet(const char* text)
{
    Endpoint e;
    EXPECT_TRUE(parseEndpoint(text, &e)) << text;
    return socketAddress(e);
}

} // namespace

TEST(SettingsReload, NewRulesAndUsersTakeOverAndWhatOnlyARestartChangesIsKeptAndNamed)
{
    TempDir dir;
    const std::string conf = dir.path() + "/p.conf", users = dir.path() + "/users";
    std::ofstream(conf) << "socks 127.0.0.1:1080\nusers " << users << "\nblock to .example.org\n";
    std::ofstream(users) << "alice s3cret\n";
    ProxyCommandLine commandLine = commandLineOf({"--config", conf, "--retention", "60"});
    ProxySettings current;
    ASSERT_EQ(messages(loadProxySettings(commandLine, &current)), std::vector<std::string>{});
    EXPECT_EQ(settingsSummary(current),
              "0 client rules, 1 request rules, 0 monitor-allow blocks, 1 users from " + users);

    std::ofstream(conf) << "socks 127.0.0.1:1090\nmonitor 127.0.0.1:6000\nuser nobody\n"
                           "max-records 10\nready-file /run/r\nlog syslog\nretention 5\n"
                           "handshake-timeout 7\nclient pass\npass to .example.org\nblock\n"
                           "users "
                        << users << "\n";
    std::ofstream(users) << "bob hunter2\ncarol x\n";
    ProxySettings fresh;
    std::vector<std::string> unchanged;
    ASSERT_EQ(messages(reloadProxySettings(commandLine, current, &fresh, &unchanged)),
              std::vector<std::string>{});
    EXPECT_EQ(unchanged,
              (std::vector<std::string>{"the SOCKS addresses", "the monitoring address",
                                        "the account (user)", "max-records", "ready-file", "log"}));
    EXPECT_EQ(endpointText(fresh.options.socksAddrs.at(0)), "127.0.0.1:1080");
    EXPECT_EQ(endpointText(fresh.options.monitorAddr), "127.0.0.1:5051");
    EXPECT_EQ(fresh.options.runAsUser, "");
    EXPECT_EQ(fresh.options.maxRecords, 100000);
    EXPECT_EQ(fresh.options.readyFile, "");
    EXPECT_FALSE(fresh.options.logToSyslog);
    // The command line still wins over the file.
    EXPECT_EQ(fresh.options.retentionSeconds, 60);
    EXPECT_EQ(fresh.options.handshakeTimeout, 7);
    EXPECT_EQ(settingsSummary(fresh),
              "1 client rules, 2 request rules, 0 monitor-allow blocks, 2 users from " + users);
    ASSERT_NE(fresh.authentication(), nullptr);
    EXPECT_TRUE(fresh.authentication()->check("bob", "hunter2"));
    EXPECT_FALSE(fresh.authentication()->check("alice", "s3cret"));
    EXPECT_TRUE(fresh.authentication()->has("carol"));
    // The settings read at the start stay as they were.
    EXPECT_TRUE(current.authentication()->check("alice", "s3cret"));
    EXPECT_EQ(current.options.rules.requestRules().size(), 1u);
}

TEST(SettingsReload, MistakesOrRulesThatWouldOpenTheListeningPortsChangeNothing)
{
    TempDir dir;
    const std::string conf = dir.path() + "/p.conf";
    std::ofstream(conf) << "socks 0.0.0.0:1080\nclient pass from 192.0.2.0/24\nclient block\n";
    ProxyCommandLine commandLine = commandLineOf({"--config", conf});
    ProxySettings current;
    ASSERT_EQ(messages(loadProxySettings(commandLine, &current)), std::vector<std::string>{});

    ProxySettings untouched;
    untouched.options.retentionSeconds = 1;
    struct Case {
        std::string text;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        // On loopback the file needs no rules, but the port stays where it listens.
        {"socks 127.0.0.1:1080\n",
         {"the SOCKS address 0.0.0.0:1080 is reachable from other hosts and no client or "
          "request rule says who may use it: that would be an open proxy for anyone; add "
          "rules (such as \"client pass from 192.0.2.0/24\") or listen on loopback"}},
        {"socks 0.0.0.0:1080\nclient pass\nlog file\nusers\n",
         {conf + ":3: bad value \"file\" for log: expected stderr or syslog",
          conf + ":4: users takes one value, not 0"}},
        {"socks 0.0.0.0:1080\nclient pass\nusers " + dir.path() + "/none\n",
         {dir.path() + "/none: cannot be read: No such file or directory"}},
    };
    for (const Case& c : cases) {
        std::ofstream(conf) << c.text;
        ProxySettings fresh = untouched;
        std::vector<std::string> unchanged = {"kept"};
        EXPECT_EQ(messages(reloadProxySettings(commandLine, current, &fresh, &unchanged)),
                  c.messages);
        EXPECT_EQ(fresh.options.retentionSeconds, 1);
        EXPECT_EQ(unchanged, std::vector<std::string>{"kept"});
    }
}

TEST(ConnectionLog, ALineSaysWhoAsksWhatWhereToHowMuchHowLongAndHowItEnded)
{
    ConnTable table(1, 1000);
    ConnRecord* byName = table.open(inet("127.0.0.1:40312"), inet("127.0.0.1:1080"), 1000);
    byName->socksCmd = socks5::CMD_CONNECT;
    table.setUser(byName, "alice");
    table.setDestinationName(byName, "Example.org", 443);
    table.setDestination(byName, inet("192.0.2.7:443"));
    table.addOut(byName, 1520);
    table.addIn(byName, 48211);
    table.end(byName, 1003);
    EXPECT_EQ(endedConnectionText(*byName),
              "connect alice@127.0.0.1:40312 -> Example.org:443 "
              "[192.0.2.7:443]: 1520 bytes out, 48211 bytes in, "
              "3 s: ended");

    ConnRecord* blocked = table.open(inet("127.0.0.1:40313"), inet("127.0.0.1:1080"), 1000);
    blocked->socksCmd = socks5::CMD_CONNECT;
    table.setDestination(blocked, inet("192.0.2.8:25"));
    table.fail(blocked, socks5::REP_NOT_ALLOWED, "blocked by rule 3", 1000);
    table.end(blocked, 1000);
    EXPECT_EQ(endedConnectionText(*blocked),
              "connect 127.0.0.1:40313 -> 192.0.2.8:25: 0 bytes "
              "out, 0 bytes in, 0 s: blocked by rule 3");

    // Names come from the clients: a line break of theirs must not start a line of the log.
    ConnRecord* refused = table.open(inet("127.0.0.1:40314"), inet("127.0.0.1:1080"), 1000);
    refused->user = "eve\nvantor-proxy: reloaded";
    table.fail(refused, socks5::REP_GENERAL_FAILURE, "Authentication failed", 1001);
    table.end(refused, 1001);
    EXPECT_EQ(endedConnectionText(*refused),
              "- eve\\x0avantor-proxy: reloaded@127.0.0.1:40314 -> -: 0 bytes out, 0 bytes in, "
              "1 s: Authentication failed");
}
