// Parsing of vantor-mon's command line into MonOptions; bad usage ends with a message
// that names the option at fault.
#include "tools/mon/MonOptions.h"

#include "lib/monServerName.h"
#include "tools/common/CommandLine.h"

const char* monUsage()
{
    return "Usage: vantor-mon [OPTION]... HOST[:PORT]\n"
           "Prints the connections that a SOCKS5 server's monitoring service reports\n"
           "(port 5051 unless given). An IPv6 address is given as [ADDRESS]:PORT, or alone.\n"
           "\n"
           "  --csv              comma-separated values with a header line instead of a table\n"
           "  --users            the server's users instead of its connections\n"
           "  --totals           the server's totals instead of its connections\n"
           "  --watch SECONDS    repeat every SECONDS seconds, each pass after a time stamp\n"
           "  --count N          with --watch, stop after N passes\n"
           "  --timeout SECONDS  give up when connecting, a request or one record takes longer\n"
           "                     (default 30)\n"
           "  --help             show this text and exit\n"
           "  --version          show the version and exit\n"
           "Exit status: 0 success, 1 the server could not be read, 2 bad usage.\n";
}

// Options and the server may come in any order; the checks that involve several options wait until
// all have been read.
bool parseMonOptions(const std::vector<std::string>& args, MonOptions* out, std::string* error)
{
    bool sawUsers = false, sawTotals = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h")
            out->help = true;
        else if (arg == "--version")
            out->version = true;
        else if (arg == "--csv")
            out->csv = true;
        else if (arg == "--users") {
            out->what = MonOptions::What::Users;
            sawUsers = true;
        } else if (arg == "--totals") {
            out->what = MonOptions::What::Totals;
            sawTotals = true;
        } else if (arg == "--watch" || arg == "--count" || arg == "--timeout") {
            int* target = arg == "--watch" ? &out->watchSeconds
                : arg == "--count"         ? &out->count
                                           : &out->timeoutSeconds;
            long most =
                arg == "--timeout" ? 1000000 : 1000000000; // a timeout is kept in milliseconds
            if (i + 1 >= args.size() || !parseWholeNumber(args[i + 1], 1, most, target)) {
                *error = arg + " needs a positive whole number";
                return false;
            }
            ++i;
            // A lone "-" is not an option: it is taken as the server name like any other word.
        } else if (arg.size() > 1 && arg[0] == '-') {
            *error = "unknown option " + arg;
            return false;
        } else if (out->server.empty()) {
            out->server = arg;
        } else {
            *error = "only one server may be given";
            return false;
        }
    }
    if (out->server.empty() && !out->help && !out->version) {
        *error = "no server given";
        return false;
    }
    // The server name is split as the library splits it, and a port that the library would
    // read as some other number must not reach it.
    char host[256];
    const char* portText = nullptr;
    if (!Mon_SplitServerName(out->server.c_str(), host, sizeof host, &portText)) {
        *error =
            "an IPv6 address with a port is written [ADDRESS]:PORT, not \"" + out->server + "\"";
        return false;
    }
    int port = 0;
    if (portText != nullptr && !parseWholeNumber(portText, 1, 65535, &port)) {
        *error = "the port in HOST:PORT must be a number from 1 to 65535, not \""
            + std::string(portText) + "\"";
        return false;
    }
    if (sawUsers && sawTotals) {
        *error = "--users and --totals cannot be given together";
        return false;
    }
    if (out->count > 0 && out->watchSeconds == 0) {
        *error = "--count needs --watch";
        return false;
    }
    return true;
}
