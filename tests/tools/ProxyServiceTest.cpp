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

// New rules and users taking over are seen end to end in ProxyReload.
TEST(SettingsReload, WhatOnlyARestartChangesIsKeptAndNamedAndTheCommandLineStillWins)
{
    TempDir dir;
    const std::string conf = dir.path() + "/p.conf";
    std::ofstream(conf) << "socks 127.0.0.1:1080\nblock to .example.org\n";
    ProxyCommandLine commandLine = commandLineOf({"--config", conf, "--retention", "60"});
    ProxySettings current;
    ASSERT_EQ(messages(loadProxySettings(commandLine, &current)), std::vector<std::string>{});

    std::ofstream(conf) << "socks 127.0.0.1:1090\nmonitor 127.0.0.1:6000\nuser nobody\n"
                           "max-records 10\nready-file /run/r\nlog syslog\nretention 5\n"
                           "handshake-timeout 7\nclient pass\npass to .example.org\nblock\n";
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
}

TEST(SettingsReload, RulesThatWouldOpenTheListeningPortsChangeNothing)
{
    TempDir dir;
    const std::string conf = dir.path() + "/p.conf";
    std::ofstream(conf) << "socks 0.0.0.0:1080\nclient pass from 192.0.2.0/24\nclient block\n";
    ProxyCommandLine commandLine = commandLineOf({"--config", conf});
    ProxySettings current;
    ASSERT_EQ(messages(loadProxySettings(commandLine, &current)), std::vector<std::string>{});

    // On loopback the file needs no rules, but the port stays where it listens.
    std::ofstream(conf) << "socks 127.0.0.1:1080\n";
    ProxySettings fresh;
    fresh.options.retentionSeconds = 1;
    std::vector<std::string> unchanged = {"kept"};
    std::vector<std::string> refused =
        messages(reloadProxySettings(commandLine, current, &fresh, &unchanged));
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].find("the SOCKS address 0.0.0.0:1080 is reachable"), 0u) << refused[0];
    EXPECT_EQ(fresh.options.retentionSeconds, 1);
    EXPECT_EQ(unchanged, std::vector<std::string>{"kept"});
}

TEST(ConnectionLog, ALineBreakInANameFromAClientCannotStartALineOfTheLog)
{
    // The lines of ended and blocked connections are read in CurlThroughProxy and ProxyRules.
    ConnTable table(1, 1000);
    ConnRecord* refused = table.open(inet("127.0.0.1:40314"), inet("127.0.0.1:1080"), 1000);
    refused->user = "eve\nvantor-proxy: reloaded";
    table.fail(refused, socks5::REP_GENERAL_FAILURE, "Authentication failed", 1001);
    table.end(refused, 1001);
    EXPECT_EQ(endedConnectionText(*refused),
              "- eve\\x0avantor-proxy: reloaded@127.0.0.1:40314 -> -: 0 bytes out, 0 bytes in, "
              "1 s: Authentication failed");
}
