// Starts vantor-proxy on free loopback ports for one test and stops it afterwards.
#ifndef VANTOR_TEST_PROXYPROCESS_H
#define VANTOR_TEST_PROXYPROCESS_H

#include <string>
#include <vector>
#include <sys/types.h>

class ProxyProcess {
public:
    // extraArgs follow "--socks 127.0.0.1:0 --monitor 127.0.0.1:0 --ready-file F".
    explicit ProxyProcess(const std::vector<std::string> &extraArgs = {});
    ~ProxyProcess();
    ProxyProcess(const ProxyProcess &) = delete;
    ProxyProcess &operator=(const ProxyProcess &) = delete;

    bool started() const { return socksPort_ > 0 && monitorPort_ > 0; }
    int socksPort() const { return socksPort_; }
    int monitorPort() const { return monitorPort_; }
    // "127.0.0.1:<port>" of the monitoring service.
    std::string monitorAddress() const;
    // Stops the proxy with SIGTERM; true when it exited with status 0.
    bool stop();

private:
    pid_t pid_ = -1;
    int socksPort_ = 0, monitorPort_ = 0;
    std::string dir_;
};

// Runs a shell command; returns its exit status and puts its standard output in *out.
int runCommand(const std::string &command, std::string *out);
// A port on 127.0.0.1 that nothing listens on (bound once, then released).
int unusedPort();
// Writes text to a fresh file in a private temporary directory and returns its path.
std::string writeTempFile(const std::string &name, const std::string &text);

#endif
