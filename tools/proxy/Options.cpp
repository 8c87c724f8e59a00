#include "tools/proxy/Options.h"

#include <arpa/inet.h>

#include <cerrno>
#include <cstdlib>

#include "tools/proxy/NetUtil.h"

const char *proxyUsage()
{
    return "Usage: vantor-proxy [OPTION]...\n"
           "A SOCKS5 proxy (CONNECT, no authentication or username/password) that serves the\n"
           "Vantor monitoring protocol on a second port.\n"
           "\n"
           "  --socks ADDR[:PORT]        SOCKS address (default 127.0.0.1:1080)\n"
           "  --monitor ADDR[:PORT]      monitoring address (default 127.0.0.1:5051)\n"
           "  --users FILE               require username/password from FILE\n"
           "                             (one \"NAME PASSWORD\" per line, # comments)\n"
           "  --retention SECONDS        keep ended connections listed (default 300)\n"
           "  --handshake-timeout SECONDS  drop clients that do not finish the SOCKS\n"
           "                             handshake and connect in time (default 30)\n"
           "  --monitor-timeout SECONDS  drop monitors that stall with work pending (default 30)\n"
           "  --monitor-pass-limit SECONDS  drop monitors whose list takes longer, however\n"
           "                             steadily they read it (default 300)\n"
           "  --monitors-per-address N   monitors kept from one client address; a newcomer\n"
           "                             replaces the idlest or oldest (default 8)\n"
           "  --max-records N            connections listed at most; beyond, ended ones are\n"
           "                             dropped oldest first and counted as deleted\n"
           "                             (default 100000)\n"
           "  --ready-file FILE          once listening, write \"socks ADDR:PORT\" and\n"
           "                             \"monitor ADDR:PORT\" lines to FILE\n"
           "  --help                     show this text and exit\n"
           "  --version                  show the version and exit\n"
           "A port of 0 picks a free port. Both ports listen on loopback unless told otherwise.\n";
}

// A whole number from 0 to 100,000,000 (seconds or a count).
static bool parseSeconds(const std::string &text, int *out)
{
    char *end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || value < 0 || value > 100000000)
        return false;
    *out = int(value);
    return true;
}

bool parseProxyOptions(const std::vector<std::string> &args, ProxyOptions *out, std::string *error)
{
    parseHostPort("127.0.0.1:1080", &out->socksAddr);
    parseHostPort("127.0.0.1:5051", &out->monitorAddr);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &opt = args[i];
        if (opt == "--help" || opt == "-h") {
            out->help = true;
            continue;
        }
        if (opt == "--version") {
            out->version = true;
            continue;
        }
        static const char *const valued[] = {"--socks", "--monitor", "--users", "--retention",
                                             "--handshake-timeout", "--monitor-timeout",
                                             "--monitor-pass-limit", "--monitors-per-address",
                                             "--max-records", "--ready-file"};
        bool known = false;
        for (const char *name : valued)
            known = known || opt == name;
        if (!known) {
            *error = "unknown option or argument " + opt;
            return false;
        }
        if (i + 1 >= args.size()) {
            *error = "option " + opt + " needs a value";
            return false;
        }
        const std::string &value = args[++i];
        bool ok = true;
        if (opt == "--socks")
            ok = parseHostPort(value, &out->socksAddr);
        else if (opt == "--monitor")
            ok = parseHostPort(value, &out->monitorAddr);
        else if (opt == "--users")
            out->usersFile = value;
        else if (opt == "--retention")
            ok = parseSeconds(value, &out->retentionSeconds);
        else if (opt == "--handshake-timeout")
            ok = parseSeconds(value, &out->handshakeTimeout) && out->handshakeTimeout > 0;
        else if (opt == "--monitor-timeout")
            ok = parseSeconds(value, &out->monitorTimeout) && out->monitorTimeout > 0;
        else if (opt == "--monitor-pass-limit")
            ok = parseSeconds(value, &out->monitorPassLimit) && out->monitorPassLimit > 0;
        else if (opt == "--monitors-per-address")
            ok = parseSeconds(value, &out->monitorsPerAddress) && out->monitorsPerAddress > 0;
        else if (opt == "--max-records")
            ok = parseSeconds(value, &out->maxRecords) && out->maxRecords > 0;
        else
            out->readyFile = value;
        if (!ok) {
            *error = "bad value \"" + value + "\" for " + opt;
            return false;
        }
    }
    return true;
}
