// Parsing of vantor-exporter's command line and of its servers file.
#include "tools/exporter/ExporterOptions.h"

#include <arpa/inet.h>
#include <string.h>

#include <fstream>
#include <set>
#include <sstream>

#include "core/SettingsFile.h"
#include "lib/monServerName.h"
#include "tools/common/CommandLine.h"

namespace {

// A server as given: [NAME=]HOST[:PORT]; the name defaults to what follows it.
bool addServer(const std::string& name, const std::string& address, ExporterOptions* out,
               std::string* error)
{
    std::string badPort;
    char host[256];
    const char* port = nullptr;
    // The address is checked as the library will read it, so a mistake is reported at start-up, not
    // as a server that is down for ever.
    if (address.empty() || !Mon_SplitServerName(address.c_str(), host, sizeof host, &port)) {
        *error = "\"" + address + "\" is no server: write HOST[:PORT], or [ADDRESS]:PORT for IPv6";
        return false;
    }
    if (!ServerPortValid(address.c_str(), &badPort)) {
        *error = "the port of \"" + address + "\" must be a number from 1 to 65535";
        return false;
    }
    for (const ServerConfig& s : out->servers) {
        // Names are the server label of every sample; two alike would merge two servers' series.
        if (s.name == name) {
            *error = "two servers are named \"" + name + "\"";
            return false;
        }
    }
    out->servers.push_back({name, address});
    return true;
}

// Without "=", the server is labelled as it was given.
bool addServerArgument(const std::string& arg, ExporterOptions* out, std::string* error)
{
    size_t eq = arg.find('=');
    if (eq == std::string::npos)
        return addServer(arg, arg, out, error);
    if (eq == 0) {
        *error = "the server name before \"=\" is empty in \"" + arg + "\"";
        return false;
    }
    return addServer(arg.substr(0, eq), arg.substr(eq + 1), out, error);
}

// Lines "NAME HOST:PORT"; blank lines and lines starting with '#' are skipped.
bool readServersFile(const std::string& path, ExporterOptions* out, std::string* error)
{
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read the servers file " + path + ": " + strerror(errno);
        return false;
    }
    std::string line;
    // Errors name the file and line, as compilers do, so an editor can jump to them.
    for (int number = 1; std::getline(in, line); number++) {
        std::istringstream words(line);
        std::string name, address, rest;
        if (!(words >> name) || name[0] == '#')
            continue;
        if (!(words >> address) || (words >> rest)) {
            *error = path + ":" + std::to_string(number) + ": expected NAME HOST:PORT";
            return false;
        }
        if (!addServer(name, address, out, error)) {
            *error = path + ":" + std::to_string(number) + ": " + *error;
            return false;
        }
    }
    return true;
}

} // namespace

const char* exporterUsage()
{
    return "Usage: vantor-exporter [OPTION]... [NAME=]HOST[:PORT]...\n"
           "Polls the monitoring services of SOCKS5 servers (port 5051 unless given) and\n"
           "serves what they report to Prometheus at http://ADDR:PORT/metrics. An IPv6\n"
           "address is given as [ADDRESS]:PORT, or alone. A server is labelled NAME, or as\n"
           "it is given.\n"
           "\n"
           "  --servers FILE     more servers, one \"NAME HOST:PORT\" per line ('#' comments)\n"
           "  --listen ADDR:PORT where to serve HTTP (default 127.0.0.1:9751)\n"
           "  --interval SECONDS poll each server every SECONDS seconds (default 15)\n"
           "  --services FILE    name destination ports by the services of the first server\n"
           "                     in FILE, a settings file of the window (monitor.ini)\n"
           "  --max-users N      label at most N users per server, the rest \"other\"\n"
           "                     (default 100)\n"
           "  --help             show this text and exit\n"
           "  --version          show the version and exit\n"
           "Exit status: 0 stopped by a signal, 1 cannot listen, 2 bad usage.\n";
}

// Only a numeric address is taken: the exporter should never resolve a name to decide where it
// listens. Port 0 is allowed and lets the kernel pick one (the tests use it).
bool parseListenAddress(const std::string& text, ListenAddress* out, std::string* error)
{
    char host[256];
    const char* portText = nullptr;
    int port = 0;
    *error = "--listen needs a numeric ADDR:PORT or [ADDRESS]:PORT, not \"" + text + "\"";
    if (!Mon_SplitServerName(text.c_str(), host, sizeof host, &portText) || portText == nullptr
        || !parseWholeNumber(portText, 0, 65535, &port))
        return false;
    memset(&out->address, 0, sizeof out->address);
    auto* v4 = reinterpret_cast<sockaddr_in*>(&out->address);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&out->address);
    if (inet_pton(AF_INET, host, &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<uint16_t>(port));
        out->length = sizeof *v4;
    } else if (inet_pton(AF_INET6, host, &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<uint16_t>(port));
        out->length = sizeof *v6;
    } else {
        return false;
    }
    error->clear();
    return true;
}

// Servers on the command line come first, then those of the files, in the order given; the files
// are read only after all options are known, so --help never fails on a missing file.
bool parseExporterOptions(const std::vector<std::string>& args, ExporterOptions* out,
                          std::string* error)
{
    std::vector<std::string> serverFiles;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            out->help = true;
        } else if (arg == "--version") {
            out->version = true;
        } else if (arg == "--interval" || arg == "--max-users") {
            int* target = arg == "--interval" ? &out->intervalSeconds : &out->maxUsers;
            // A day is the longest interval, and the most users per server, that make any sense.
            if (!hasValue || !parseWholeNumber(args[i + 1], 1, 86400, target)) {
                *error = arg + " needs a whole number from 1 to 86400";
                return false;
            }
            ++i;
        } else if (arg == "--servers" || arg == "--listen" || arg == "--services") {
            if (!hasValue) {
                *error = arg + " needs a value";
                return false;
            }
            const std::string& value = args[++i];
            if (arg == "--servers")
                serverFiles.push_back(value);
            else if (arg == "--listen")
                out->listen = value;
            else
                out->servicesFile = value;
        } else if (arg.size() > 1 && arg[0] == '-') {
            *error = "unknown option " + arg;
            return false;
        } else if (!addServerArgument(arg, out, error)) {
            return false;
        }
    }
    if (out->help || out->version)
        return true;
    for (const std::string& path : serverFiles) {
        if (!readServersFile(path, out, error))
            return false;
    }
    // Checked here so bad usage exits 2 before anything is polled.
    ListenAddress unused;
    if (!parseListenAddress(out->listen, &unused, error))
        return false;
    if (out->servers.empty()) {
        *error = "no server given";
        return false;
    }
    return true;
}
