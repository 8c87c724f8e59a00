// Server names split into host and port: IPv4, names, and IPv6 in brackets or alone.
#include "lib/monServerName.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

TEST(ServerName, HostAndPortOfEveryForm)
{
    const struct {
        const char* name;
        int wellFormed;
        std::string host;
        const char* port; // nullptr for none
    } cases[] = {
        {"proxy", 1, "proxy", nullptr},
        {"proxy:5052", 1, "proxy", "5052"},
        {"127.0.0.1:", 1, "127.0.0.1", ""},
        {"h:1:2", 1, "h", "1:2"}, // no IPv6 address: the port is what follows the first colon
        {"::1", 1, "::1", nullptr},
        {"2001:db8::9", 1, "2001:db8::9", nullptr},
        {"::ffff:10.0.0.1", 1, "::ffff:10.0.0.1", nullptr},
        {"[::1]", 1, "::1", nullptr},
        {"[::1]:5051", 1, "::1", "5051"},
        {"[2001:db8::9]:", 1, "2001:db8::9", ""},
        {"[::1", 0, "", ""},
        {"[::1]5051", 0, "::1", "5051"},
        {"fe80::1%eth0", 1, "fe80", ":1%eth0"}, // no address that inet_pton reads
    };
    for (const auto& c : cases) {
        char host[64] = "";
        const char* port = "unset";
        EXPECT_EQ(Mon_SplitServerName(c.name, host, sizeof host, &port), c.wellFormed) << c.name;
        EXPECT_EQ(host, c.host) << c.name;
        if (c.port == nullptr) {
            EXPECT_EQ(port, nullptr) << c.name;
        } else {
            EXPECT_STREQ(port, c.port) << c.name;
        }
    }
}

TEST(ServerName, AHostLongerThanItsBufferIsCutInsideIt)
{
    const std::string longName = "[" + std::string(300, 'a') + "]:1";
    char host[16 + 8];
    memset(host, '#', sizeof host);
    const char* port = nullptr;
    EXPECT_EQ(Mon_SplitServerName(longName.c_str(), host, 16, &port), 1);
    EXPECT_EQ(std::string(host), std::string(15, 'a'));
    EXPECT_EQ(std::string(host + 16, 8), std::string(8, '#'));
    EXPECT_STREQ(port, "1");
}
