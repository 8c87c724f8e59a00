// The directive table of the configuration file and command line (see Directives.h).
#include "tools/proxy/Directives.h"

#include <map>

#include "tools/common/CommandLine.h"
#include "tools/proxy/Options.h"
#include "tools/proxy/RuleSyntax.h"
#include "tools/proxy/TextFile.h"

namespace {

struct DirectiveKind {
    const char* name;
    Repeat repeat;
};

// Every directive and how often it may appear: Once (a second one is a mistake), Listed (each adds
// to a list) or Rule (a rule, in the order given). Keep it in step with the usage text.
const DirectiveKind kDirectives[] = {{"socks", Repeat::Listed},
                                     {"monitor", Repeat::Once},
                                     {"monitor-allow", Repeat::Listed},
                                     {"users", Repeat::Once},
                                     {"user", Repeat::Once},
                                     {"retention", Repeat::Once},
                                     {"handshake-timeout", Repeat::Once},
                                     {"bind-timeout", Repeat::Once},
                                     {"udp-timeout", Repeat::Once},
                                     {"monitor-timeout", Repeat::Once},
                                     {"monitor-pass-limit", Repeat::Once},
                                     {"monitors-per-address", Repeat::Once},
                                     {"monitor-rate", Repeat::Once},
                                     {"max-records", Repeat::Once},
                                     {"ready-file", Repeat::Once},
                                     {"log", Repeat::Once},
                                     {"client-rule", Repeat::Rule},
                                     {"rule", Repeat::Rule}};

// Longer than any timeout a proxy needs, short of overflowing the clocks.
const long kSecondsMax = 100000000;
// Records and monitors: far more than memory or descriptors allow anyway.
const long kCountMax = 100000000;

const char* const kEndpointExpected =
    "a numeric IPv4 or IPv6 address with an optional port, such as 127.0.0.1:1080 or "
    "[::1]:1080";

// A rule of the file is named by its file and line, one of the command line by its option, so a
// refusal in the log points at where to mend it.
bool applyRule(const Directive& d, const std::string& label, ProxyOptions* out, std::string* error)
{
    std::string reason;
    std::string place = d.place.empty() ? label : d.place;
    if (d.name == "client-rule") {
        ClientRule rule;
        if (parseClientRule(d.words, &rule, &reason)) {
            rule.place = place;
            return out->rules.addClientRule(rule, error);
        }
    } else {
        RequestRule rule;
        if (parseRequestRule(d.words, &rule, &reason)) {
            rule.place = place;
            return out->rules.addRequestRule(rule, error);
        }
    }
    *error = "bad rule \"" + joinWords(d.words) + "\"" + (d.place.empty() ? " for " + label : "")
        + ": " + reason;
    return false;
}

// Sets one value; false with *reason, or with *expected naming the form when reason is
// left empty.
bool applyValue(const std::string& name, const std::string& value, ProxyOptions* out,
                std::string* expected, std::string* reason)
{
    *expected = "a whole number of seconds";
    if (name == "monitors-per-address" || name == "monitor-rate" || name == "max-records")
        *expected = "a whole number from 1 to 100000000";
    // Each --socks adds a listening address; an address without a port takes 1080.
    if (name == "socks") {
        *expected = kEndpointExpected;
        Endpoint e = defaultSocksEndpoint();
        if (!parseEndpoint(value, &e))
            return false;
        out->socksAddrs.push_back(e);
        return true;
    }
    if (name == "monitor") {
        *expected = kEndpointExpected;
        return parseEndpoint(value, &out->monitorAddr);
    }
    if (name == "monitor-allow") {
        Cidr block;
        return parseCidr(value, &block, reason) && out->rules.addMonitorAllow(block, reason);
    }
    if (name == "log") {
        *expected = "stderr or syslog";
        out->logToSyslog = value == "syslog";
        return value == "stderr" || value == "syslog";
    }
    if (name == "users")
        out->usersFile = value;
    else if (name == "user")
        out->runAsUser = value;
    else if (name == "ready-file")
        out->readyFile = value;
    // Retention may be 0 (ended connections leave the list at once); every timeout must be at least
    // a second, since 0 would drop every client at once.
    else if (name == "retention")
        return parseWholeNumber(value, 0, kSecondsMax, &out->retentionSeconds);
    else if (name == "handshake-timeout")
        return parseWholeNumber(value, 1, kSecondsMax, &out->handshakeTimeout);
    else if (name == "bind-timeout")
        return parseWholeNumber(value, 1, kSecondsMax, &out->bindTimeout);
    else if (name == "udp-timeout")
        return parseWholeNumber(value, 1, kSecondsMax, &out->udpTimeout);
    else if (name == "monitor-timeout")
        return parseWholeNumber(value, 1, kSecondsMax, &out->monitorTimeout);
    else if (name == "monitor-pass-limit")
        return parseWholeNumber(value, 1, kSecondsMax, &out->monitorPassLimit);
    else if (name == "monitors-per-address")
        return parseWholeNumber(value, 1, kCountMax, &out->monitorsPerAddress);
    else if (name == "monitor-rate")
        return parseWholeNumber(value, 1, kCountMax, &out->monitorRate);
    else if (name == "max-records")
        return parseWholeNumber(value, 1, kCountMax, &out->maxRecords);
    // The names need only be non-empty here; whether the file or account exists is found when used.
    *expected = name == "user" ? "an account name" : "a file name";
    return !value.empty();
}

} // namespace

// Loopback by default: a proxy open to the network should be a choice, not an accident.
Endpoint defaultSocksEndpoint()
{
    Endpoint e;
    parseEndpoint("127.0.0.1:1080", &e);
    return e;
}

Endpoint defaultMonitorEndpoint()
{
    Endpoint e;
    parseEndpoint("127.0.0.1:5051", &e);
    return e;
}

bool findDirective(const std::string& name, Repeat* repeat)
{
    for (const DirectiveKind& kind : kDirectives)
        if (name == kind.name) {
            *repeat = kind.repeat;
            return true;
        }
    return false;
}

std::vector<Directive> fileDirectives(const std::vector<ConfigLine>& lines, const std::string& path)
{
    std::vector<Directive> out;
    // Where each Once directive was first given, to name that line when it comes again.
    std::map<std::string, int> givenOnLine;
    for (const ConfigLine& line : lines) {
        std::string place = path + ":" + std::to_string(line.number);
        // A line the reader refused (too long, or holding a control byte) is passed on, to be
        // reported in order with the rest.
        if (!line.problem.empty()) {
            out.push_back(Directive{"", {}, place, line.problem});
            continue;
        }
        const std::string& first = line.words[0];
        Directive d{first, {line.words.begin() + 1, line.words.end()}, place, ""};
        Repeat repeat = Repeat::Rule;
        // In the file, rules are written as they read: "client pass from ..." and "pass to ...".
        if (first == "client") {
            d.name = "client-rule";
        } else if (first == "pass" || first == "block") {
            d.name = "rule";
            d.words = line.words;
        } else if (!findDirective(first, &repeat) || repeat == Repeat::Rule) {
            d.problem = "unknown directive \"" + first + "\"";
        } else if (repeat == Repeat::Once) {
            auto given = givenOnLine.emplace(d.name, line.number);
            if (!given.second)
                d.problem =
                    d.name + " is given already on line " + std::to_string(given.first->second);
        }
        out.push_back(std::move(d));
    }
    return out;
}

bool applyDirective(const Directive& d, ProxyOptions* out, std::string* error)
{
    std::string label = d.place.empty() ? "--" + d.name : d.name;
    // Control bytes could forge lines in the log and are never part of a sensible value.
    for (const std::string& word : d.words)
        if (hasControlByte(word)) {
            *error = label + ": the value holds a control byte";
            return false;
        }
    Repeat repeat = Repeat::Once;
    findDirective(d.name, &repeat);
    if (repeat == Repeat::Rule)
        return applyRule(d, label, out, error);
    if (d.words.size() != 1) {
        *error = label + " takes one value, not " + std::to_string(d.words.size());
        return false;
    }
    std::string expected, reason;
    if (applyValue(d.name, d.words[0], out, &expected, &reason))
        return true;
    *error = "bad value \"" + d.words[0] + "\" for " + label + ": "
        + (reason.empty() ? "expected " + expected : reason);
    return false;
}
