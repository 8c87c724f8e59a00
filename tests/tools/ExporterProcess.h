// Starts vantor-exporter on a free loopback port for one test, reads its pages, and stops it.
#ifndef VANTOR_TEST_EXPORTERPROCESS_H
#define VANTOR_TEST_EXPORTERPROCESS_H

#include <functional>
#include <string>
#include <vector>
#include <sys/types.h>

class ExporterProcess {
public:
    // args (servers and options) follow "--listen 127.0.0.1:<free port>".
    explicit ExporterProcess(const std::vector<std::string>& args);
    ~ExporterProcess();
    ExporterProcess(const ExporterProcess&) = delete;
    ExporterProcess& operator=(const ExporterProcess&) = delete;

    bool started() const { return pid_ > 0; }
    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    std::string url(const std::string& path) const;
    // The body of /metrics as curl fetches it ("" when the scrape failed).
    std::string metrics() const;
    // Scrapes until ready(metrics) holds, for at most seconds; the last scrape.
    std::string waitForMetrics(const std::function<bool(const std::string&)>& ready,
                               int seconds = 10) const;

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// The value of the sample written exactly "name{labels}" in an exposition, or -1.
double sampleValue(const std::string& metrics, const std::string& sample);

#endif
