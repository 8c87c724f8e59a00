// Starts vantor-proxy on free loopback ports for one test and stops it afterwards; what it
// logs on its standard error is kept in a file for the test to read.
#ifndef VANTOR_TEST_PROXYPROCESS_H
#define VANTOR_TEST_PROXYPROCESS_H

#include <map>
#include <string>
#include <vector>
#include <sys/types.h>

class ProxyProcess {
public:
    // extraArgs follow "--socks 127.0.0.1:0 --monitor 127.0.0.1:0 --ready-file F".
    explicit ProxyProcess(const std::vector<std::string>& extraArgs = {});
    ~ProxyProcess();
    ProxyProcess(const ProxyProcess&) = delete;
    ProxyProcess& operator=(const ProxyProcess&) = delete;

    bool started() const { return !socksPorts_.empty() && monitorPort_ > 0; }
    // The port of the first SOCKS address (127.0.0.1).
    int socksPort() const { return socksPorts_.empty() ? 0 : socksPorts_[0]; }
    // The ports of every SOCKS address, in the order given (extra --socks options follow
    // 127.0.0.1).
    const std::vector<int>& socksPorts() const { return socksPorts_; }
    int monitorPort() const { return monitorPort_; }
    pid_t pid() const { return pid_; }
    // "127.0.0.1:<port>" of the first SOCKS address, as curl's proxy options take it.
    std::string socksAddress() const { return "127.0.0.1:" + std::to_string(socksPort()); }
    // "127.0.0.1:<port>" or "[::1]:<port>" of the monitoring service.
    std::string monitorAddress() const;
    // The proxy's open descriptors: number to what it refers to ("socket:[..]", "pipe:[..]").
    std::map<int, std::string> descriptors() const;
    // Stops the proxy with SIGTERM; true when it exited with status 0.
    bool stop();
    // What the proxy has logged so far.
    std::string log() const;
    // Waits until the log holds text `count` times or more, for at most 10 seconds; false
    // if it never does.
    bool waitForLog(const std::string& text, int count = 1) const;
    // Sends SIGHUP and waits until the proxy has logged its answer ("reloaded" or "reload
    // refused"); false if it does not within 10 seconds.
    bool reload();

private:
    pid_t pid_ = -1;
    std::vector<int> socksPorts_;
    int monitorPort_ = 0;
    std::string monitorAddress_;
    std::string readyFile_;
    std::string logFile_;
};

// A port on 127.0.0.1 that nothing listens on (bound once, then released).
int unusedPort();

#endif
