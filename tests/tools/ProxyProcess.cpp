#include "ProxyProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace {
std::string makeTempDir()
{
    std::string pattern = "/tmp/vantor-tools-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    return mkdtemp(buf.data()) ? std::string(buf.data()) : std::string("/tmp");
}

int portOf(const std::string &line)
{
    size_t colon = line.rfind(':');
    return colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
}
} // namespace

ProxyProcess::ProxyProcess(const std::vector<std::string> &extraArgs) : dir_(makeTempDir())
{
    std::string ready = dir_ + "/ready";
    std::vector<std::string> args = {VANTOR_BINARY_DIR "/tools/proxy/vantor-proxy",
                                     "--socks", "127.0.0.1:0", "--monitor", "127.0.0.1:0",
                                     "--ready-file", ready};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    pid_ = fork();
    if (pid_ == 0) {
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    for (int i = 0; i < 200 && pid_ > 0; ++i) {
        std::ifstream in(ready);
        std::string socksLine, monitorLine;
        if (std::getline(in, socksLine) && std::getline(in, monitorLine)) {
            socksPort_ = portOf(socksLine);
            monitorPort_ = portOf(monitorLine);
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
    std::string cmd = "rm -rf '" + dir_ + "'";
    if (dir_.rfind("/tmp/vantor-tools-", 0) == 0 && std::system(cmd.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", dir_.c_str());
}

std::string ProxyProcess::monitorAddress() const
{
    return "127.0.0.1:" + std::to_string(monitorPort_);
}

bool ProxyProcess::stop()
{
    if (pid_ <= 0)
        return false;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int runCommand(const std::string &command, std::string *out)
{
    out->clear();
    FILE *p = popen(command.c_str(), "r");
    if (!p)
        return -1;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out->append(buf, n);
    int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int unusedPort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0
        && getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(fd);
    return port;
}

std::string writeTempFile(const std::string &name, const std::string &text)
{
    static const std::string dir = makeTempDir();
    std::string path = dir + "/" + name;
    std::ofstream(path) << text;
    return path;
}
