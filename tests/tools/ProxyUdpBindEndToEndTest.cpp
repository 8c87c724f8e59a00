// BIND and UDP ASSOCIATE as clients meet them: PySocks and a client of our own exchange
// datagrams with an echo server through the proxy, a BIND takes one connection from the
// peer it names and relays it, each is bounded in time, the rules decide both, and the
// monitors list them with their command and bytes.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/RunProcess.h"
#include "tests/tools/MonitorPasses.h"
#include "tests/tools/ProxyProcess.h"
#include "tests/tools/SocksClient.h"
#include "tests/tools/ToolRuns.h"

namespace {

const uint8_t BIND = 2, UDP_ASSOCIATE = 3;

int portOf(const sockaddr_storage& a)
{
    return ntohs(reinterpret_cast<const sockaddr_in&>(a).sin_port);
}

std::string addressOf(const sockaddr_storage& a)
{
    char text[INET6_ADDRSTRLEN] = "";
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(a);
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(a);
    inet_ntop(a.ss_family,
              a.ss_family == AF_INET ? static_cast<const void*>(&v4.sin_addr) : &v6.sin6_addr, text,
              sizeof text);
    return text;
}

sockaddr_storage boundAddress(int fd)
{
    sockaddr_storage a{};
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return a;
}

// A UDP socket on 127.0.0.1 that waits at most `ms` for a datagram.
int udpSocket(int ms)
{
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval tv{0, ms * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return fd;
}

// Answers each datagram with "echo:" and the datagram, and keeps what it received.
class UdpEcho {
public:
    UdpEcho() : fd_(udpSocket(100)), thread_([this] { serve(); }) {}
    ~UdpEcho()
    {
        stop_ = true;
        thread_.join();
        close(fd_);
    }
    int port() const { return portOf(boundAddress(fd_)); }
    size_t received() const { return received_; }

private:
    int fd_;
    std::atomic<bool> stop_{false};
    std::atomic<size_t> received_{0};
    std::thread thread_;

    void serve()
    {
        char buf[65536];
        while (!stop_) {
            sockaddr_storage from{};
            socklen_t len = sizeof from;
            ssize_t n = recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n < 0)
                continue;
            ++received_;
            std::string answer = "echo:" + std::string(buf, size_t(n));
            sendto(fd_, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
        }
    }
};

// A datagram for the relay: the header (RSV, FRAG, 127.0.0.1 or a name, port) and payload.
std::string datagram(int port, const std::string& payload, const std::string& name = "",
                     char frag = 0)
{
    std::string d = {0, 0, frag};
    if (name.empty())
        d += std::string("\x01\x7f\x00\x00\x01", 5);
    else
        d += '\x03' + std::string(1, char(name.size())) + name;
    return d + char(port >> 8) + char(port & 0xff) + payload;
}

void sendTo(int fd, const sockaddr_storage& to, const std::string& bytes)
{
    sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
           sizeof(sockaddr_in));
}

std::string receive(int fd)
{
    char buf[65536];
    ssize_t n = recv(fd, buf, sizeof buf, 0);
    return n > 0 ? std::string(buf, size_t(n)) : "";
}

// The record of the one connection listed with this command.
CsvRow recordOf(const ProxyProcess& proxy, uint8_t command)
{
    for (const CsvRow& row : monCsv(proxy))
        if (row.at("cmd") == std::to_string(command))
            return row;
    return {};
}

} // namespace

TEST(ProxyUdp, PySocksExchangesDatagramsWithAnEchoServerAndTheMonitorsListTheBytes)
{
    UdpEcho echo;
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    // The second datagram goes by name, looked up by the proxy.
    const std::string script = "import socket, socks, sys\n"
                               "s = socks.socksocket(socket.AF_INET, socket.SOCK_DGRAM)\n"
                               "s.set_proxy(socks.SOCKS5, '127.0.0.1', int(sys.argv[1]))\n"
                               "s.settimeout(5)\n"
                               "for i, host in enumerate(['127.0.0.1', 'localhost', "
                               "'127.0.0.1']):\n"
                               "    s.sendto(b'ping%d' % i, (host, int(sys.argv[2])))\n"
                               "    data, source = s.recvfrom(100)\n"
                               "    print(data.decode(), source[0], source[1] == "
                               "int(sys.argv[2]))\n";
    ProcessResult r = RunProcess({"/usr/bin/python3", "-c", script,
                                  std::to_string(proxy.socksPort()), std::to_string(echo.port())},
                                 {}, 20);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out,
              "echo:ping0 127.0.0.1 True\necho:ping1 127.0.0.1 True\n"
              "echo:ping2 127.0.0.1 True\n");

    // PySocks closes its control connection on exit, which ends the association.
    waitForEnded(proxy.monitorAddress(), 1);
    CsvRow row = recordOf(proxy, UDP_ASSOCIATE);
    EXPECT_EQ(row["status"], "ended");
    EXPECT_EQ(row["out"], "15");
    EXPECT_EQ(row["in"], "30");
    EXPECT_EQ(row["destination"], "127.0.0.1:" + std::to_string(echo.port()));
    EXPECT_TRUE(proxy.waitForLog("udpassociate 127.0.0.1:")) << proxy.log();
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyUdp, OnlyWholeDatagramsFromTheClientToPassedDestinationsGoThroughUntilItFallsIdle)
{
    UdpEcho echo;
    const int blockedPort = unusedPort();
    // The request names the client's own port, which no rule passes: the association opens
    // because some destination may pass.
    ProxyProcess proxy(
        {"--rule",
         "block to 127.0.0.1 port " + std::to_string(blockedPort) + " command udpassociate",
         "--rule",
         "pass to 127.0.0.1 port " + std::to_string(echo.port()) + " command udpassociate",
         "--udp-timeout", "2"});
    ASSERT_TRUE(proxy.started());
    int client = udpSocket(300), stranger = udpSocket(300);
    int reply = -1;
    sockaddr_storage relay{};
    int control =
        socksOpen(proxy.socksPort(), portOf(boundAddress(client)), UDP_ASSOCIATE, &reply, &relay);
    ASSERT_GE(control, 0);
    ASSERT_EQ(reply, 0);
    EXPECT_EQ(addressOf(relay), "127.0.0.1");

    // Dropped: a fragment, another port of the client's host, a blocked destination (twice).
    sendTo(client, relay, datagram(echo.port(), "fragment", "", 1));
    sendTo(stranger, relay, datagram(echo.port(), "stranger"));
    sendTo(client, relay, datagram(blockedPort, "blocked"));
    sendTo(client, relay, datagram(blockedPort, "blocked again"));
    sendTo(client, relay, datagram(echo.port(), "hello"));
    std::string answer = receive(client);
    EXPECT_EQ(answer, datagram(echo.port(), "echo:hello"));
    EXPECT_EQ(receive(client), "");
    EXPECT_EQ(receive(stranger), "");
    EXPECT_EQ(echo.received(), 1u);

    // With nothing relayed for two seconds, the proxy ends the association.
    timeval tv{6, 0};
    setsockopt(control, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    char byte;
    EXPECT_EQ(recv(control, &byte, 1, 0), 0);
    close(control);
    close(client);
    close(stranger);

    waitForEnded(proxy.monitorAddress(), 1);
    CsvRow row = recordOf(proxy, UDP_ASSOCIATE);
    EXPECT_EQ(row["status"], "ended");
    EXPECT_EQ(row["out"], "5");
    EXPECT_EQ(row["in"], "10");
    const std::string blocked =
        "-> 127.0.0.1:" + std::to_string(blockedPort) + ": blocked by rule 1";
    EXPECT_TRUE(proxy.waitForLog(": 2 datagrams dropped by the rules\n")) << proxy.log();
    size_t first = proxy.log().find(blocked);
    EXPECT_NE(first, std::string::npos) << proxy.log();
    EXPECT_EQ(proxy.log().find(blocked, first + 1), std::string::npos) << "logged once";
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyBind, OneConnectionFromTheNamedPeerIsRelayedOthersAndLateOnesFail)
{
    ProxyProcess proxy({"--bind-timeout", "1"});
    ASSERT_TRUE(proxy.started());

    // The peer the request names connects, and the bytes go both ways.
    int reply = -1;
    sockaddr_storage listening{}, peerAddress{};
    int client = socksOpen(proxy.socksPort(), 0, BIND, &reply, &listening);
    ASSERT_GE(client, 0);
    ASSERT_EQ(reply, 0);
    EXPECT_EQ(addressOf(listening), "127.0.0.1");
    int peer = connectLoopback(portOf(listening));
    ASSERT_GE(peer, 0);
    ASSERT_TRUE(socksReadReply(client, &reply, &peerAddress));
    EXPECT_EQ(reply, 0);
    const int peerPort = portOf(boundAddress(peer));
    EXPECT_EQ(portOf(peerAddress), peerPort);
    // Exactly one connection: the port listens no more.
    EXPECT_LT(connectLoopback(portOf(listening)), 0);
    ASSERT_TRUE(sendAll(peer, "from the peer"));
    shutdown(peer, SHUT_WR);
    ASSERT_TRUE(sendAll(client, "to the peer!"));
    shutdown(client, SHUT_WR);
    EXPECT_EQ(readToEnd(client), "from the peer");
    EXPECT_EQ(readToEnd(peer), "to the peer!");
    close(client);
    close(peer);

    // Another address than the one named is refused, and so is the BIND.
    int refused = socksOpen(proxy.socksPort(), 0, BIND, &reply, &listening);
    ASSERT_EQ(reply, 0);
    int stranger = connectLoopback(portOf(listening), 0, "127.0.0.2");
    ASSERT_GE(stranger, 0);
    ASSERT_TRUE(socksReadReply(refused, &reply, &peerAddress));
    EXPECT_EQ(reply, 2);
    EXPECT_EQ(readToEnd(stranger), "");
    close(stranger);
    close(refused);

    // Nobody connects in time.
    int late = socksOpen(proxy.socksPort(), 0, BIND, &reply, &listening);
    ASSERT_EQ(reply, 0);
    ASSERT_TRUE(socksReadReply(late, &reply, &peerAddress));
    EXPECT_EQ(reply, 6);
    close(late);

    std::vector<CsvRow> rows = endedRows(proxy, 3);
    for (const CsvRow& row : rows)
        EXPECT_EQ(row.at("cmd"), "2");
    EXPECT_EQ(rows[0]["status"], "ended");
    EXPECT_EQ(rows[0]["in"], "13");
    EXPECT_EQ(rows[0]["out"], "12");
    EXPECT_EQ(rows[0]["destination"], "127.0.0.1:" + std::to_string(peerPort));
    EXPECT_EQ(rows[1]["status"], "failed");
    EXPECT_EQ(rows[1]["error"], "BIND: connection from 127.0.0.2, not 127.0.0.1");
    EXPECT_EQ(rows[2]["error"], "No connection to BIND within 1 s");
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyRules, RulesForBindAndUdpAssociateRefuseThemWithReplyTwoAndAreListed)
{
    // A block of some destinations leaves the association to the rules after it.
    ProxyProcess proxy({"--rule", "block command bind", "--rule",
                        "block to 127.0.0.0/8 command udpassociate", "--rule",
                        "block command udpassociate", "--rule", "pass"});
    ASSERT_TRUE(proxy.started());
    for (uint8_t command : {BIND, UDP_ASSOCIATE}) {
        int reply = -1;
        int fd = socksOpen(proxy.socksPort(), 0, command, &reply);
        EXPECT_EQ(reply, 2) << int(command);
        close(fd);
    }
    waitForEnded(proxy.monitorAddress(), 2);
    EXPECT_EQ(recordOf(proxy, BIND)["error"], "blocked by rule 1");
    CsvRow row = recordOf(proxy, UDP_ASSOCIATE);
    EXPECT_EQ(row["status"], "failed");
    EXPECT_EQ(row["socks_err"], "2");
    EXPECT_EQ(row["error"], "blocked by rule 3");
    EXPECT_TRUE(proxy.stop());
}
