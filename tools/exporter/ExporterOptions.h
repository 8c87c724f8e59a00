// Command line of vantor-exporter and its servers file.
#ifndef VANTOR_EXPORTER_EXPORTEROPTIONS_H
#define VANTOR_EXPORTER_EXPORTEROPTIONS_H

#include <sys/socket.h>

#include <string>
#include <vector>

// One server to poll.
struct ServerConfig {
    std::string name;    // the server label
    std::string address; // HOST, HOST:PORT, [IPV6]:PORT or IPV6
};

struct ExporterOptions {
    std::vector<ServerConfig> servers;
    // Loopback by default: the metrics name users and hosts, and should be offered wider only when
    // the operator says so.
    std::string listen = "127.0.0.1:9751";
    // A common scrape interval; polling faster than Prometheus scrapes would only load the servers.
    int intervalSeconds = 15;
    std::string servicesFile; // "": the window's default services
    // Users labelled one by one per server; the rest are summed as "other".
    int maxUsers = 100;
    bool help = false;
    bool version = false;
};

// A numeric listening address: ADDR:PORT or [IPV6]:PORT.
struct ListenAddress {
    sockaddr_storage address;
    socklen_t length = 0;
};

// Fills out from ADDR:PORT; false with a message in error otherwise.
bool parseListenAddress(const std::string& text, ListenAddress* out, std::string* error);

// Parses the arguments and reads the servers file they name.
bool parseExporterOptions(const std::vector<std::string>& args, ExporterOptions* out,
                          std::string* error);
// The --help text.
const char* exporterUsage();

#endif
