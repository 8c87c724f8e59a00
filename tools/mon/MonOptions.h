// Command line of vantor-mon.
#ifndef VANTOR_MON_MONOPTIONS_H
#define VANTOR_MON_MONOPTIONS_H

#include <string>
#include <vector>

struct MonOptions {
    // What to ask the service for: its connections, its users or its totals.
    enum class What { Conns, Users, Totals };
    std::string server; // HOST, HOST:PORT, [IPV6]:PORT or IPV6
    What what = What::Conns;
    // Comma-separated values for scripts instead of an aligned table.
    bool csv = false;
    int watchSeconds = 0;    // 0: one pass
    int count = 0;           // passes with --watch; 0: until interrupted
    int timeoutSeconds = 30; // longest wait for connecting, a request or one record
    bool help = false;
    bool version = false;
};

// Fills out from the arguments after the program name; false with a message in error on bad usage.
bool parseMonOptions(const std::vector<std::string>& args, MonOptions* out, std::string* error);
// The --help text.
const char* monUsage();

#endif
