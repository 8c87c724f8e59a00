#include "tests/tools/ProxyProcess.h"

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "tests/support/MonsimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/tools/SocksClient.h"

namespace {
int portOf(const std::string& line)
{
    size_t colon = line.rfind(':');
    return colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
}

int occurrences(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}
} // namespace

ProxyProcess::ProxyProcess(const std::vector<std::string>& extraArgs)
    : readyFile_(MonsimProcess::writeTempFile("proxy-ready", "")),
      logFile_(MonsimProcess::writeTempFile("proxy-log", ""))
{
    std::vector<std::string> args = {VANTOR_BINARY_DIR "/tools/proxy/vantor-proxy",
                                     "--socks",
                                     "127.0.0.1:0",
                                     "--monitor",
                                     "127.0.0.1:0",
                                     "--ready-file",
                                     readyFile_};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    pid_ = StartProcess(args, logFile_);
    // The proxy renames the complete file into place once both ports listen.
    for (int i = 0; i < 200 && pid_ > 0; ++i) {
        std::ifstream in(readyFile_);
        // A "socks" line per SOCKS address, then the "monitor" line.
        std::string line;
        std::vector<int> socksPorts;
        while (std::getline(in, line)) {
            if (line.compare(0, 6, "socks ") == 0)
                socksPorts.push_back(portOf(line));
            else if (line.compare(0, 8, "monitor ") == 0) {
                monitorAddress_ = line.substr(8);
                monitorPort_ = portOf(line);
            }
        }
        if (monitorPort_ > 0) {
            socksPorts_ = socksPorts;
            return;
        }
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

ProxyProcess::~ProxyProcess()
{
    stop();
    unlink(readyFile_.c_str());
    unlink(logFile_.c_str());
}

std::string ProxyProcess::monitorAddress() const
{
    return monitorAddress_;
}

std::map<int, std::string> ProxyProcess::descriptors() const
{
    std::map<int, std::string> open;
    const std::string dir = "/proc/" + std::to_string(pid_) + "/fd";
    DIR* d = opendir(dir.c_str());
    if (!d)
        return open;
    while (dirent* e = readdir(d)) {
        char target[256];
        ssize_t n = readlink((dir + "/" + e->d_name).c_str(), target, sizeof target - 1);
        if (e->d_name[0] != '.' && n > 0)
            open[std::atoi(e->d_name)] = std::string(target, size_t(n));
    }
    closedir(d);
    return open;
}

bool ProxyProcess::stop()
{
    bool exitedWell = StopProcess(pid_);
    pid_ = -1;
    return exitedWell;
}

std::string ProxyProcess::log() const
{
    return FileText(logFile_);
}

bool ProxyProcess::waitForLog(const std::string& text, int count) const
{
    for (int i = 0; i < 200; ++i) {
        if (occurrences(log(), text) >= count)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool ProxyProcess::reload()
{
    if (pid_ <= 0)
        return false;
    // Each reload is answered by one of these lines, whether it took or not.
    auto answers = [this] {
        std::string text = log();
        return occurrences(text, "reloaded: ") + occurrences(text, "reload refused");
    };
    int before = answers();
    kill(pid_, SIGHUP);
    for (int i = 0; i < 200; ++i) {
        if (answers() > before)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

int unusedPort()
{
    int port = 0;
    int fd = listenLoopback(1, &port);
    if (fd >= 0)
        close(fd);
    return port;
}
