// bench-libs: vantor_exporter_testsupport
// vantor-exporter watching a fleet: 49 simulated servers of 1,000 connections each (one
// vantor-monsim process each) and one server that accepts and never answers, all polled
// every second. Measured: the time of a whole scrape of /metrics while the polls go on
// (mean, and the slowest as a counter), whether the 49 answering servers were all polled
// on schedule, and the exporter's CPU time per poll.
#include <benchmark/benchmark.h>

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/MonsimProcess.h"
#include "tests/tools/ExporterProcess.h"
#include "tests/tools/SocksClient.h"

namespace {

enum { SIMULATED = 49, CONNECTIONS = 1000, INTERVAL_SECONDS = 1 };

struct Fleet {
    std::vector<std::unique_ptr<MonsimProcess>> servers;
    int stalledFd = -1;
    std::unique_ptr<ExporterProcess> exporter;

    Fleet()
    {
        std::vector<std::string> args = {"--interval", std::to_string(INTERVAL_SECONDS)};
        for (int i = 0; i < SIMULATED; ++i) {
            servers.push_back(std::make_unique<MonsimProcess>(std::vector<std::string>{
                "--connections", std::to_string(CONNECTIONS), "--seed", std::to_string(i + 1)}));
            args.push_back("s" + std::to_string(i) + "=" + servers.back()->address());
        }
        int stalledPort = 0;
        stalledFd = listenLoopback(8, &stalledPort);
        args.push_back("stalled=127.0.0.1:" + std::to_string(stalledPort));
        exporter = std::make_unique<ExporterProcess>(args);
        // Every answering server polled once at least.
        exporter->waitForMetrics(
            [](const std::string& m) {
                for (int i = 0; i < SIMULATED; ++i)
                    if (sampleValue(m, "vantor_up{server=\"s" + std::to_string(i) + "\"}") != 1)
                        return false;
                return true;
            },
            30);
    }
    ~Fleet() { close(stalledFd); }
};

Fleet& fleet()
{
    static Fleet f;
    return f;
}

// One whole scrape over a fresh connection, as Prometheus makes it; the body's size.
size_t scrape(int port)
{
    int fd = connectLoopback(port);
    if (fd < 0)
        return 0;
    sendAll(fd, "GET /metrics HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    size_t size = readToEnd(fd).size();
    close(fd);
    return size;
}

double now()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// User and system time of a process, in seconds.
double cpuSeconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 1; i <= 15 && in >> field; ++i) {
        if (i == 14)
            utime = std::stoull(field);
        if (i == 15)
            stime = std::stoull(field);
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

void BM_ScrapeOfFiftyServers(benchmark::State& state)
{
    Fleet& f = fleet();
    double slowest = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        bytes = scrape(f.exporter->port());
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        slowest = std::max(slowest, took.count());
        if (bytes == 0)
            state.SkipWithError("the scrape failed");
        // Scrapes spread over the polls as Prometheus' would, not back to back.
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        state.ResumeTiming();
    }
    state.counters["slowest_ms"] = slowest * 1000;
    state.counters["body_bytes"] = double(bytes);

    // On schedule: every answering server's last poll ended within two intervals.
    std::string m = f.exporter->metrics();
    int late = 0;
    for (int i = 0; i < SIMULATED; ++i) {
        double last = sampleValue(
            m, "vantor_last_poll_timestamp_seconds{server=\"s" + std::to_string(i) + "\"}");
        late += last < now() - 2 * INTERVAL_SECONDS;
    }
    state.counters["late_servers"] = late;
    state.counters["stalled_up"] = sampleValue(m, "vantor_up{server=\"stalled\"}");
}
BENCHMARK(BM_ScrapeOfFiftyServers)->Unit(benchmark::kMillisecond)->MinTime(5.0);

// The exporter's CPU time over a few seconds of polling without scrapes, per poll of an
// answering server (the stalled one costs nothing while it waits).
void BM_CpuPerPoll(benchmark::State& state)
{
    Fleet& f = fleet();
    const int seconds = 5;
    double cpu = 0;
    for (auto _ : state) {
        double before = cpuSeconds(f.exporter->pid());
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        cpu = cpuSeconds(f.exporter->pid()) - before;
        state.SetIterationTime(cpu);
    }
    double polls = double(SIMULATED) * seconds / INTERVAL_SECONDS;
    state.counters["cpu_ms_per_poll"] = cpu * 1000 / polls;
    state.counters["cpu_share_of_a_core"] = cpu / seconds;
}
BENCHMARK(BM_CpuPerPoll)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
