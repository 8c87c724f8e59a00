// vantor-exporter: polls the monitoring services of any number of SOCKS5 servers and serves
// what they report to Prometheus.
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "lib/monUnixTcp.h"
#include "tools/common/CommandLine.h"
#include "tools/exporter/ExporterOptions.h"
#include "tools/exporter/HttpServer.h"
#include "tools/exporter/Metrics.h"
#include "tools/exporter/Poller.h"
#include "tools/exporter/ServiceTable.h"

namespace {

// The self-pipe: a signal handler may only write, so it wakes the HTTP loop through this.
int stopPipe[2] = {-1, -1};

void OnStopSignal(int)
{
    char byte = 0;
    (void)!write(stopPipe[1], &byte, 1);
}

// A poll's calls may wait this long for a server: the interval, but at least a second (so
// that a busy server is not given up too soon) and at most ten (so that a dead one is
// reported soon).
int CallTimeoutMs(int intervalSeconds)
{
    return std::min(10000, std::max(1000, intervalSeconds * 1000));
}

} // namespace

int main(int argc, char** argv)
{
    ExporterOptions opt;
    std::string error;
    bool parsed =
        parseExporterOptions(std::vector<std::string>(argv + 1, argv + argc), &opt, &error);
    int answered = answerStandardOptions({"vantor-exporter", exporterUsage(), VANTOR_VERSION},
                                         parsed, error, opt.help, opt.version);
    if (answered >= 0)
        return answered;
    static Setting services; // outlives every poller
    if (!LoadServiceTable(opt.servicesFile, &services, &error)) {
        fprintf(stderr, "vantor-exporter: %s\n", error.c_str());
        return 2;
    }
    ListenAddress listen;
    parseListenAddress(opt.listen, &listen, &error); // checked with the options
    HttpServer http;
    if (!http.Listen(listen, &error)) {
        fprintf(stderr, "vantor-exporter: cannot listen on %s: %s\n", opt.listen.c_str(),
                error.c_str());
        return 1;
    }
    if (pipe2(stopPipe, O_CLOEXEC) != 0) {
        perror("vantor-exporter: pipe");
        return 1;
    }
    // A scraper or server that hangs up mid-write must cost one connection, not the process.
    signal(SIGPIPE, SIG_IGN);
    signal(SIGTERM, OnStopSignal);
    signal(SIGINT, OnStopSignal);
    Mon_TcpSetTimeout(CallTimeoutMs(opt.intervalSeconds));

    // The first polls are spread over a tenth of the interval, so that the servers, each on
    // its own schedule, do not all come due at once.
    std::vector<std::unique_ptr<Poller>> pollers;
    int intervalMs = opt.intervalSeconds * 1000;
    int count = static_cast<int>(opt.servers.size());
    for (int i = 0; i < count; i++) {
        int firstDelayMs = static_cast<int>(static_cast<long long>(intervalMs) * i / count / 10);
        pollers.push_back(std::make_unique<Poller>(opt.servers[static_cast<size_t>(i)], services,
                                                   opt.maxUsers, intervalMs, firstDelayMs));
    }
    fprintf(stderr, "vantor-exporter: serving %d servers at http://%s/metrics\n", count,
            opt.listen.c_str());
    // Each scrape takes every server's latest snapshot, without waiting for a poll under way.
    auto snapshots = [&pollers] {
        Snapshots all;
        all.reserve(pollers.size());
        for (const auto& p : pollers)
            all.push_back(p->Snapshot());
        return all;
    };
    http.Run(
        [&snapshots](const std::string& path) -> HttpResponse {
            // Version 0.0.4 is Prometheus's text exposition format.
            if (path == "/metrics")
                return {200, "text/plain; version=0.0.4; charset=utf-8",
                        RenderMetrics(snapshots())};
            if (path == "/")
                return {200, "text/html; charset=utf-8", RenderIndexPage(snapshots())};
            return {404, "", "Not found: try /metrics\n"};
        },
        stopPipe[0]);
    pollers.clear(); // each stops its thread
    ReleaseSetting(&services);
    return 0;
}
