#include "tests/tools/ExporterProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/support/MonsimProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/tools/ProxyProcess.h"
#include "tests/tools/SocksClient.h"

ExporterProcess::ExporterProcess(const std::vector<std::string>& args) : port_(unusedPort())
{
    std::vector<std::string> argv = {VANTOR_BINARY_DIR "/tools/exporter/vantor-exporter",
                                     "--listen", "127.0.0.1:" + std::to_string(port_)};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_ = StartProcess(argv);
    // Ready once it takes connections.
    for (int i = 0; i < 200 && pid_ > 0; ++i) {
        int fd = connectLoopback(port_);
        if (fd >= 0) {
            close(fd);
            return;
        }
        if (waitpid(pid_, nullptr, WNOHANG) == pid_)
            pid_ = -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

ExporterProcess::~ExporterProcess()
{
    StopProcess(pid_);
}

std::string ExporterProcess::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string ExporterProcess::metrics() const
{
    ProcessResult r = RunProcess({"curl", "-q", "-s", "-f", "--max-time", "5", url("/metrics")});
    return r.exitStatus == 0 ? r.out : "";
}

std::string ExporterProcess::waitForMetrics(const std::function<bool(const std::string&)>& ready,
                                            int seconds) const
{
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::string text;
    while (!ready(text = metrics()) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return text;
}

double sampleValue(const std::string& metrics, const std::string& sample)
{
    std::string line = "\n" + sample + " ";
    size_t at = ("\n" + metrics).find(line);
    if (at == std::string::npos)
        return -1;
    return std::strtod(metrics.c_str() + at + line.size() - 1, nullptr);
}
