#include "tools/proxy/Options.h"

#include "tools/common/CommandLine.h"

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
           "                             replaces the one longest inactive among those that\n"
           "                             have not yet shown they read (default 8)\n"
           "  --monitor-rate N           new monitor connections accepted per second from\n"
           "                             one address, in bursts of up to N (default 200)\n"
           "  --max-records N            connections listed at most; beyond, ended ones are\n"
           "                             dropped oldest first and counted as deleted\n"
           "                             (default 100000)\n"
           "  --ready-file FILE          once listening, write \"socks ADDR:PORT\" and\n"
           "                             \"monitor ADDR:PORT\" lines to FILE\n"
           "  --help                     show this text and exit\n"
           "  --version                  show the version and exit\n"
           "A port of 0 picks a free port. Both ports listen on loopback unless told otherwise.\n";
}

// Longer than any timeout a proxy needs, short of overflowing the clocks.
const long kSecondsMax = 100000000;
// Records and monitors: far more than memory or descriptors allow anyway.
const long kCountMax = 100000000;

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
        static const char *const valued[] = {"--socks",
                                             "--monitor",
                                             "--users",
                                             "--retention",
                                             "--handshake-timeout",
                                             "--monitor-timeout",
                                             "--monitor-pass-limit",
                                             "--monitors-per-address",
                                             "--monitor-rate",
                                             "--max-records",
                                             "--ready-file"};
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
        const char *expected = "a whole number of seconds";
        if (opt == "--socks" || opt == "--monitor")
            expected = "a numeric IPv4 address with an optional port, such as 127.0.0.1:1080";
        if (opt == "--monitors-per-address" || opt == "--monitor-rate" || opt == "--max-records")
            expected = "a whole number from 1 to 100000000";
        if (opt == "--socks")
            ok = parseHostPort(value, &out->socksAddr);
        else if (opt == "--monitor")
            ok = parseHostPort(value, &out->monitorAddr);
        else if (opt == "--users")
            out->usersFile = value;
        else if (opt == "--retention")
            ok = parseWholeNumber(value, 0, kSecondsMax, &out->retentionSeconds);
        else if (opt == "--handshake-timeout")
            ok = parseWholeNumber(value, 1, kSecondsMax, &out->handshakeTimeout);
        else if (opt == "--monitor-timeout")
            ok = parseWholeNumber(value, 1, kSecondsMax, &out->monitorTimeout);
        else if (opt == "--monitor-pass-limit")
            ok = parseWholeNumber(value, 1, kSecondsMax, &out->monitorPassLimit);
        else if (opt == "--monitors-per-address")
            ok = parseWholeNumber(value, 1, kCountMax, &out->monitorsPerAddress);
        else if (opt == "--monitor-rate")
            ok = parseWholeNumber(value, 1, kCountMax, &out->monitorRate);
        else if (opt == "--max-records")
            ok = parseWholeNumber(value, 1, kCountMax, &out->maxRecords);
        else
            out->readyFile = value;
        if (!ok) {
            *error = "bad value \"" + value + "\" for " + opt + ": expected " + expected;
            return false;
        }
    }
    return true;
}
