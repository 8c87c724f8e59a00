// bench-libs: vantor_tools_testsupport
// Relay throughput: the same 64 MiB HTTP download straight over loopback and through
// vantor-proxy, in one run; the ratio of the two rates is printed at the end.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
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
