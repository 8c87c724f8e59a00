// vantor-exporter scraped by a real Prometheus: its HTTP answer and exposition are taken and
// stored as series.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "tests/support/MonsimProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ExporterProcess.h"
#include "tests/tools/ProxyProcess.h"

namespace {

const char kPrometheus[] = "/usr/bin/prometheus";

// Prometheus on loopback, scraping one target every second, storing into dir.
class PrometheusProcess {
public:
    PrometheusProcess(const std::string& dir, int targetPort) : port_(unusedPort())
    {
        std::string config = dir + "/prometheus.yml";
        std::ofstream(config) << "global:\n  scrape_interval: 1s\n  evaluation_interval: 1s\n"
                                 "scrape_configs:\n  - job_name: vantor\n    static_configs:\n"
                                 "      - targets: ['127.0.0.1:"
                              << targetPort << "']\n";
        std::vector<std::string> args = {
            kPrometheus, "--config.file=" + config, "--storage.tsdb.path=" + dir + "/data",
            "--web.listen-address=127.0.0.1:" + std::to_string(port_), "--log.level=warn"};
        pid_ = StartProcess(args);
    }
    ~PrometheusProcess() { StopProcess(pid_); }

    // The value of an instant query with one result, or -1 while there is none.
    double query(const std::string& promql) const
    {
        ProcessResult r = RunProcess(
            {"curl", "-q", "-s", "--max-time", "5", "-G", "--data-urlencode", "query=" + promql,
             "http://127.0.0.1:" + std::to_string(port_) + "/api/v1/query"});
        // {"status":"success","data":{"resultType":"vector","result":[{"metric":{...},
        // "value":[1700000000.123,"42"]}]}}
        size_t at = r.out.find("\"value\":[");
        if (at == std::string::npos)
            return -1;
        size_t quote = r.out.find('"', r.out.find(',', at));
        return quote == std::string::npos ? -1 : std::strtod(r.out.c_str() + quote + 1, nullptr);
    }

    // Queries until the value satisfies ok, for at most seconds; the last value.
    double waitFor(const std::string& promql, const std::function<bool(double)>& ok,
                   int seconds) const
    {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        double v;
        while (!ok(v = query(promql)) && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        return v;
    }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// What Prometheus makes of the numbers (the traffic counted once, a stopped server down) is
// checked on the same exposition in ExporterEndToEnd; here, that a real scraper takes it.
TEST(ExporterPrometheus, ScrapesTheExporterAndStoresItsSeries)
{
    if (access(kPrometheus, X_OK) != 0)
        GTEST_SKIP() << kPrometheus
                     << " is missing: install the Debian package prometheus "
                        "(scripts/install-deps) to run this test";
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    ExporterProcess exporter({"--interval", "1", "edge=" + proxy.monitorAddress()});
    ASSERT_TRUE(exporter.started());
    TempDir dir;
    PrometheusProcess prometheus(dir.path(), exporter.port());

    ASSERT_EQ(prometheus.waitFor(
                  "vantor_up{server=\"edge\"}", [](double v) { return v == 1; }, 10),
              1)
        << "Prometheus never scraped the exporter";
    EXPECT_EQ(prometheus.query("vantor_in_bytes_total{server=\"edge\",service=\"Others\"}"), 0);
}

} // namespace
