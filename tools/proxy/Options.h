// Command line of vantor-proxy.
#ifndef VANTOR_PROXY_OPTIONS_H
#define VANTOR_PROXY_OPTIONS_H

#include <string>
#include <vector>
#include <netinet/in.h>

struct ProxyOptions {
    sockaddr_in socksAddr{};   // default 127.0.0.1:1080
    sockaddr_in monitorAddr{}; // default 127.0.0.1:5051
    std::string usersFile;     // empty: no authentication
    int retentionSeconds = 300;
    int handshakeTimeout = 30;  // seconds a client may take to reach the relay phase
    int monitorTimeout = 30;    // seconds a monitor may stall with work pending
    int monitorPassLimit = 300; // seconds a pass may take, however steadily it is read
    int monitorsPerAddress = 8; // monitors kept from one client address
    int monitorRate = 200;      // new monitor connections per second from one address
    int maxRecords = 100000;    // records listed at most; beyond, ended ones go oldest first
    std::string readyFile;      // written with the bound addresses once listening
    bool help = false;
    bool version = false;
};

// Parses argv; on error returns false with a message in *error.
bool parseProxyOptions(const std::vector<std::string> &args, ProxyOptions *out, std::string *error);
const char *proxyUsage();

#endif
