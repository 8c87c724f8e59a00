// vantor-exporter's parts without a network: the counting of a server's traffic, the
// exposition text, the command line and the service table.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <string.h>

#include "core/SettingsFile.h"
#include "tests/support/MonsimProcess.h"
#include "tools/exporter/ExporterOptions.h"
#include "tools/exporter/Metrics.h"
#include "tools/exporter/ServerAccount.h"
#include "tools/exporter/ServiceTable.h"

namespace {

enum { FAILED = 4, ENDED = 8 };

S5MonData Record(int id, uint32_t state, S5Time start, S5Time now, S5Count in, S5Count out,
                 int port = 80, const char* user = "alice")
{
    S5MonData d;
    memset(&d, 0, sizeof d);
    snprintf(d.key.key, sizeof d.key.key, "k%d", id);
    d.state = state;
    d.startTime = start;
    d.curTime = now;
    d.inTotBytes = in;
    d.outTotBytes = out;
    d.dstSockAddr.sin.sin_family = AF_INET;
    d.dstSockAddr.sin.sin_port = htons(static_cast<uint16_t>(port));
    snprintf(d.userName, sizeof d.userName, "%s", user);
    return d;
}

void Pass(ServerAccount* account, const std::vector<S5MonData>& records)
{
    account->BeginPass();
    for (const S5MonData& r : records)
        account->Add(r);
    account->EndPass();
}

struct DefaultServices {
    Setting s;
    DefaultServices() { FillDefaultSetting(&s); }
    ~DefaultServices() { ReleaseSetting(&s); }
};

TEST(ExporterAccount, CountsEachConnectionOnceThroughEndsWrapsAndRestarts)
{
    DefaultServices services; // Web is port 80, Telnet 23
    ServerAccount account(services.s, 100);
    auto web = [&] { return account.ByService().at("Web"); };

    // The first pass sets the baseline: what was moved before it is not counted.
    Pass(&account, {Record(1, 0, 100, 200, 1000, 10)});
    EXPECT_EQ(web().inBytes, 0u);
    EXPECT_EQ(web().open, 1u);

    // Growth of a known connection; a new one that started after the last pass counts
    // whole; an older one seen only now counts from here.
    Pass(&account,
         {Record(1, 0, 100, 260, 1500, 30), Record(2, 0, 230, 260, 300, 3),
          Record(3, 0, 150, 260, 999, 9)});
    EXPECT_EQ(web().inBytes, 500u + 300u);
    EXPECT_EQ(web().outBytes, 20u + 3u);
    EXPECT_EQ(web().open, 3u);

    // A connection that ended counts its last bytes once, however long it stays listed.
    for (int i = 0; i < 3; ++i)
        Pass(&account,
             {Record(1, ENDED, 100, 300, 1600, 30), Record(2, 0, 230, 300, 300, 3),
              Record(3, 0, 150, 300, 999, 9)});
    EXPECT_EQ(web().inBytes, 900u);
    EXPECT_EQ(web().open, 2u);

    // A 32-bit counter that wraps still grows.
    Pass(&account, {Record(3, 0, 150, 320, 0xFFFFFF00u, 9)});
    uint64_t beforeWrap = web().inBytes;
    Pass(&account, {Record(3, 0, 150, 330, 0x100u, 9)});
    EXPECT_EQ(web().inBytes - beforeWrap, 0x200u);

    // The server restarts: its connections come back with small totals under the same keys.
    // Nothing goes backwards; after the new baseline the growth counts again.
    uint64_t beforeRestart = web().inBytes;
    account.Reset();
    Pass(&account, {Record(3, 0, 400, 410, 50, 1)});
    EXPECT_EQ(web().inBytes, beforeRestart);
    Pass(&account, {Record(3, 0, 400, 420, 80, 1)});
    EXPECT_EQ(web().inBytes, beforeRestart + 30);

    // A failure counts once, from the pass after the baseline on; the gauge follows the list.
    Pass(&account, {Record(4, FAILED, 425, 430, 0, 0, 23), Record(3, 0, 400, 430, 80, 1)});
    Pass(&account, {Record(4, FAILED, 425, 440, 0, 0, 23)});
    EXPECT_EQ(account.ByService().at("Telnet").failedTotal, 1u);
    EXPECT_EQ(account.ByService().at("Telnet").failed, 1u);
    Pass(&account, {});
    EXPECT_EQ(account.ByService().at("Telnet").failed, 0u);
    EXPECT_EQ(account.ByService().at("Telnet").failedTotal, 1u);
    EXPECT_EQ(web().open, 0u);
    EXPECT_EQ(account.ByService().count("Others"), 1u); // every service has its series
}

TEST(ExporterAccount, UsersPastTheCapAreSummedAsOther)
{
    DefaultServices services;
    ServerAccount account(services.s, 2);
    Pass(&account, {});
    Pass(&account,
         {Record(1, 0, 10, 20, 100, 0, 80, "ann"), Record(2, 0, 10, 20, 200, 0, 80, ""),
          Record(3, 0, 10, 20, 400, 0, 80, "cy"), Record(4, 0, 10, 20, 800, 0, 80, "di"),
          Record(5, 0, 10, 20, 1, 0, 80, "ann")});
    const Tallies& users = account.ByUser();
    ASSERT_EQ(users.size(), 3u);
    EXPECT_EQ(users.at("ann").inBytes, 101u);
    EXPECT_EQ(users.at(kNoUser).inBytes, 200u);
    EXPECT_EQ(users.at(kOtherUsers).inBytes, 1200u);
    EXPECT_EQ(users.at(kOtherUsers).open, 2u);
    // A user once labelled keeps the label; one past the cap stays under "other".
    Pass(&account, {Record(1, 0, 10, 30, 150, 0, 80, "ann"), Record(6, 0, 25, 30, 7, 0, 80, "ed")});
    EXPECT_EQ(account.ByUser().at("ann").inBytes, 151u);
    EXPECT_EQ(account.ByUser().at(kOtherUsers).inBytes, 1207u);
    EXPECT_EQ(account.ByUser().at(kOtherUsers).open, 1u);
}

TEST(ExporterMetrics, EscapedLabelsAndTotalsOnlyWhileUp)
{
    EXPECT_EQ(EscapeLabelValue("a\\b\"c\nd"), "a\\\\b\\\"c\\nd");
    auto up = std::make_shared<ServerSnapshot>();
    up->name = "east \"1\"";
    up->polled = up->up = true;
    up->lastPollSeconds = 1700000000.5;
    up->totals.curConns = 7;
    up->byService["Web"].inBytes = 12345678901ull;
    up->byUser["bob\\x"].open = 2;
    auto down = std::make_shared<ServerSnapshot>();
    down->name = "west";
    down->polled = true;
    down->byService["Web"].inBytes = 5; // counted before it went down: kept
    // One TYPE and HELP per family is what promtool checks of the running exporter.
    std::string text = RenderMetrics({up, down});
    EXPECT_NE(text.find("# TYPE vantor_in_bytes_total counter\n"), std::string::npos);
    EXPECT_NE(text.find("vantor_up{server=\"east \\\"1\\\"\"} 1\n"), std::string::npos);
    EXPECT_NE(text.find("vantor_up{server=\"west\"} 0\n"), std::string::npos);
    EXPECT_NE(text.find("vantor_in_bytes_total{server=\"east \\\"1\\\"\",service=\"Web\"} "
                        "12345678901\n"),
              std::string::npos);
    EXPECT_NE(text.find("vantor_in_bytes_total{server=\"west\",service=\"Web\"} 5\n"),
              std::string::npos);
    EXPECT_NE(text.find("vantor_user_connections{server=\"east \\\"1\\\"\",user=\"bob\\\\x\"} 2\n"),
              std::string::npos);
    EXPECT_NE(text.find("vantor_server_connections{server=\"east \\\"1\\\"\",state=\"current\"} 7"),
              std::string::npos);
    EXPECT_EQ(text.find("vantor_server_connections{server=\"west\""), std::string::npos);
    EXPECT_EQ(text.find("vantor_last_poll_timestamp_seconds{server=\"west\""), std::string::npos);

    EXPECT_NE(RenderIndexPage({up, down}).find("east &quot;1&quot;"), std::string::npos);
}

TEST(ExporterOptions, ServersFromArgumentsAndFileAndWhatIsRefused)
{
    std::string file = MonsimProcess::writeTempFile(
        "servers", "# the fleet\n\nparis 127.0.0.1:5051\nberlin [::1]:6000\n");
    ExporterOptions o;
    std::string error;
    ASSERT_TRUE(parseExporterOptions({"--interval", "5", "--max-users", "3", "--servers", file,
                                      "--listen", "[::1]:9999", "lab=127.0.0.1:7000", "::1"},
                                     &o, &error))
        << error;
    ASSERT_EQ(o.servers.size(), 4u);
    EXPECT_EQ(o.servers[0].name, "lab");
    EXPECT_EQ(o.servers[0].address, "127.0.0.1:7000");
    EXPECT_EQ(o.servers[1].name, "::1");
    EXPECT_EQ(o.servers[3].name, "berlin");
    EXPECT_EQ(o.servers[3].address, "[::1]:6000");
    EXPECT_EQ(o.intervalSeconds, 5);
    EXPECT_EQ(o.maxUsers, 3);
    ListenAddress listen;
    ASSERT_TRUE(parseListenAddress(o.listen, &listen, &error));
    EXPECT_EQ(listen.address.ss_family, AF_INET6);

    std::string badFile = MonsimProcess::writeTempFile("servers", "paris 127.0.0.1:5051 extra\n");
    const std::vector<std::vector<std::string>> refused = {
        {},                                        // no server
        {"127.0.0.1:70000"},                       // port out of range
        {"[::1]x"},                                // no port after the bracket
        {"a=127.0.0.1:1", "a=127.0.0.1:2"},        // one name twice
        {"=127.0.0.1:1"},                          // empty name
        {"--listen", "localhost:80", "127.0.0.1"}, // not numeric
        {"--interval", "0", "127.0.0.1"},          // no interval
        {"--servers", badFile},                    // a line with more than two words
        {"--servers", "/nonexistent/servers"},
        {"--bogus", "127.0.0.1"}};
    for (const auto& args : refused) {
        ExporterOptions r;
        std::string why;
        EXPECT_FALSE(parseExporterOptions(args, &r, &why)) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(why.empty());
    }
}

TEST(ExporterServiceTable, PortsAreNamedAsTheWindowsSettingsFileNamesThem)
{
    Setting mine;
    FillDefaultSetting(&mine);
    snprintf(mine.serviceName[1], SETTING_TEXT_SIZE, "Squid");
    snprintf(mine.servicePortText[1], SETTING_TEXT_SIZE, "3128");
    mine.servicePort[1] = 3128;
    const Setting* list[] = {&mine};
    std::string path = MonsimProcess::writeTempFile("monitor.ini", "");
    FILE* out = fopen(path.c_str(), "w");
    ASSERT_NE(out, nullptr);
    WriteSettingsTo(out, list, 1);
    fclose(out);
    ReleaseSetting(&mine);

    Setting read;
    std::string error;
    ASSERT_TRUE(LoadServiceTable(path, &read, &error)) << error;
    EXPECT_STREQ(read.serviceName[ServiceIndexOf(read, 3128)], "Squid");
    EXPECT_STREQ(read.serviceName[ServiceIndexOf(read, 80)], "Web");
    EXPECT_STREQ(read.serviceName[ServiceIndexOf(read, 9)], "Others");
    ReleaseSetting(&read);

    std::string damaged = MonsimProcess::writeTempFile("monitor.ini", "1\n0 1 two\n");
    EXPECT_FALSE(LoadServiceTable(damaged, &read, &error));
    EXPECT_NE(error.find("monitor.ini"), std::string::npos);
    ReleaseSetting(&read);
    EXPECT_FALSE(LoadServiceTable("/nonexistent/monitor.ini", &read, &error));
    ReleaseSetting(&read);
}

} // namespace
