// bench-libs: vantor_tools_testsupport
// Relay throughput: the same 64 MiB HTTP download straight over loopback and through
// vantor-proxy, in one run; the ratio of the two rates is printed at the end. And what an
// idle relayed connection costs the proxy in memory once its buffers have drained.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>
#include <map>
#include <string>

#include "tests/tools/ProxyProcess.h"
#include "tests/tools/SocksClient.h"
#include "tests/tools/TestHttpServer.h"

namespace {

const size_t BODY = 64u << 20;
const std::string REQUEST = "GET /file HTTP/1.0\r\n\r\n";

TestHttpServer &server()
{
    static TestHttpServer http(patternBody(BODY));
    return http;
}

ProxyProcess &proxy()
{
    static ProxyProcess p;
    return p;
}

// Reads the whole answer, counting bytes only: the benchmark measures the transfer.
size_t drain(int fd)
{
    static char buf[1 << 17];
    size_t total = 0;
    ssize_t n;
    while ((n = recv(fd, buf, sizeof buf, 0)) > 0)
        total += size_t(n);
    return total;
}

int connectDirect(int port)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void transfer(benchmark::State &state, bool throughProxy)
{
    int port = server().port();
    if (throughProxy && !proxy().started()) {
        state.SkipWithError("vantor-proxy did not start");
        return;
    }
    for (auto _ : state) {
        int reply = 0;
        int fd =
            throughProxy ? socksOpen(proxy().socksPort(), port, 1, &reply) : connectDirect(port);
        if (fd < 0 || reply != 0 || !sendAll(fd, REQUEST)) {
            state.SkipWithError("connection failed");
            break;
        }
        size_t got = drain(fd);
        close(fd);
        if (got < BODY) {
            state.SkipWithError("short transfer");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(BODY));
}

void BM_DirectLoopback(benchmark::State &state)
{
    transfer(state, false);
}
BENCHMARK(BM_DirectLoopback)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_ThroughProxy(benchmark::State &state)
{
    transfer(state, true);
}
BENCHMARK(BM_ThroughProxy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The proxy's resident memory in KiB, from /proc.
long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, 6, "VmRSS:") == 0)
            return std::stol(line.substr(6));
    return -1;
}

// Connections through the proxy to a local server that sends each 16 KiB and then keeps
// it open; the client reads them, so every relay buffer has been used and drained.
void BM_IdleRelayedConnections(benchmark::State &state)
{
    const int count = int(state.range(0));
    const size_t greeting = 16 * 1024;
    ProxyProcess idleProxy;
    int port = 0;
    int listener = listenLoopback(count, &port);
    if (!idleProxy.started() || listener < 0) {
        state.SkipWithError("no proxy or no listener");
        return;
    }
    std::vector<int> served, clients;
    std::thread acceptor([&] {
        const std::string bytes(greeting, 'x');
        for (int i = 0; i < count; i++) {
            int fd = accept(listener, nullptr, nullptr);
            if (fd < 0)
                break;
            sendAll(fd, bytes);
            served.push_back(fd);
        }
    });
    long before = residentKiB(idleProxy.pid());
    for (auto _ : state) {
        for (int i = 0; i < count; i++) {
            int reply = -1;
            int fd = socksOpen(idleProxy.socksPort(), port, 1, &reply);
            if (fd < 0 || reply != 0) {
                state.SkipWithError("connection failed");
                break;
            }
            static char buf[1 << 14];
            size_t got = 0;
            ssize_t n;
            while (got < greeting && (n = recv(fd, buf, sizeof buf, 0)) > 0)
                got += size_t(n);
            clients.push_back(fd);
        }
    }
    acceptor.join();
    long after = residentKiB(idleProxy.pid());
    state.counters["KiB_per_connection"] = double(after - before) / count;
    for (int fd : clients)
        close(fd);
    for (int fd : served)
        close(fd);
    close(listener);
}
BENCHMARK(BM_IdleRelayedConnections)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Keeps the rate of each benchmark so that the ratio can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> rates;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end())
                rates[run.benchmark_name()] = it->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double direct = reporter.rates["BM_DirectLoopback/min_time:2.000/real_time"];
    double proxied = reporter.rates["BM_ThroughProxy/min_time:2.000/real_time"];
    if (direct > 0 && proxied > 0)
        std::printf("relay throughput ratio (through proxy / direct): %.3f\n", proxied / direct);
    return 0;
}
