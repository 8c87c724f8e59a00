// What vantor-proxy is told: the defaults, then the configuration file (--config), then the
// other command-line options, each of which is a directive of the file under the same name
// and wins over it. The rules of the file come first, then those of the command line.
#ifndef VANTOR_PROXY_OPTIONS_H
#define VANTOR_PROXY_OPTIONS_H

#include <string>
#include <vector>

#include "tools/proxy/AccessRules.h"
#include "tools/proxy/ConfigFile.h"
#include "tools/proxy/Directives.h"
#include "tools/proxy/IpAddress.h"

struct ProxyOptions {
    std::vector<Endpoint> socksAddrs; // default 127.0.0.1:1080
    Endpoint monitorAddr;             // default 127.0.0.1:5051
    std::string usersFile;            // empty: no authentication
    std::string runAsUser;            // empty: keep the account the proxy was started as
    int retentionSeconds = 300;
    int handshakeTimeout = 30;  // seconds a client may take to reach the relay phase
    int bindTimeout = 120;      // seconds a BIND waits for the incoming connection
    int udpTimeout = 300;       // seconds a UDP association may pass no datagram
    int monitorTimeout = 30;    // seconds a monitor may stall with work pending
    int monitorPassLimit = 300; // seconds a pass may take, however steadily it is read
    int monitorsPerAddress = 8; // monitors kept from one client address
    int monitorRate = 200;      // new monitor connections per second from one address
    int maxRecords = 100000;    // records listed at most; beyond, ended ones go oldest first
    std::string readyFile;      // written with the bound addresses once listening
    bool logToSyslog = false;   // the log goes to syslog (facility daemon) instead of stderr
    AccessRules rules;          // client and request rules, monitor-allow
};

// The command line as given, before the configuration file is read; kept so that the
// options can be built again (on a reload) from a file that changed.
struct ProxyCommandLine {
    std::string configFile; // empty: none
    bool checkConfig = false;
    bool help = false;
    bool version = false;
    std::vector<Directive> directives; // the other options, in their order
};

// Parses argv; on an unknown option or a missing value returns false with *error.
bool parseProxyCommandLine(const std::vector<std::string>& args, ProxyCommandLine* out,
                           std::string* error);
// Builds complete options from the defaults, the configuration file and the command line,
// and refuses listeners that other hosts reach without rules. Returns every mistake found;
// *out is replaced only when there is none.
ConfigErrors loadProxyOptions(const ProxyCommandLine& commandLine, ProxyOptions* out);
// The same with the text of a configuration file already read; name stands for the file in
// the messages, and commandLine.configFile is not read.
ConfigErrors loadProxyOptionsFromText(const std::string& text, const std::string& name,
                                      const ProxyCommandLine& commandLine, ProxyOptions* out);
const char* proxyUsage();

#endif
