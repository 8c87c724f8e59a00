// The directives of the configuration file and their command-line twins: what each one is
// called, how many times it may stand, and how its value changes the options.
#ifndef VANTOR_PROXY_DIRECTIVES_H
#define VANTOR_PROXY_DIRECTIVES_H

#include <string>
#include <vector>

#include "tools/proxy/ConfigFile.h"
#include "tools/proxy/IpAddress.h"

struct ProxyOptions;

// Where the ports listen unless told otherwise: on loopback only.
Endpoint defaultSocksEndpoint();
Endpoint defaultMonitorEndpoint();

// One directive as the file or the command line gives it.
struct Directive {
    std::string name;               // the option's name without "--": "socks", "client-rule"
    std::vector<std::string> words; // its value: one word, or a rule's words
    std::string place;              // "FILE:LINE"; empty for the command line
    std::string problem;            // for a file's line that is no directive: why
};

enum class Repeat {
    Once,   // a value; the command line's replaces the file's
    Listed, // each adds to a list; given on the command line, the list replaces the file's
    Rule    // each adds a rule; the command line's follow the file's
};

// Whether name is a directive of the command line ("socks", "rule", …) and how it repeats.
bool findDirective(const std::string& name, Repeat* repeat);
// The directives of a file's lines, in their order. A rule line ("client pass …", "pass …",
// "block …") gives the directive client-rule or rule. A line that cannot be read, with an
// unknown name, or with a directive that may stand once given again, gives its problem.
std::vector<Directive> fileDirectives(const std::vector<ConfigLine>& lines,
                                      const std::string& path);
// Applies d to *out; false with *error (which does not name the place) when it is bad.
bool applyDirective(const Directive& d, ProxyOptions* out, std::string* error);

#endif
