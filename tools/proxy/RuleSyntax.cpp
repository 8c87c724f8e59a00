// Parsing the written form of the access rules (see RuleSyntax.h).
#include "tools/proxy/RuleSyntax.h"

#include <sys/socket.h>

#include <set>

#include "tools/common/CommandLine.h"
#include "tools/proxy/ConfigFile.h"
#include "tools/proxy/HostName.h"
#include "tools/proxy/Socks5Proto.h"

namespace {

bool parseVerdict(const std::vector<std::string>& words, bool* pass, std::string* error)
{
    if (words.empty() || (words[0] != "pass" && words[0] != "block")) {
        *error = "a rule starts with pass or block";
        return false;
    }
    *pass = words[0] == "pass";
    return true;
}

// A word that looks like an address (digits, dots, colons, a slash) is taken as an address
// block, so that a mistyped address is reported as such and not taken for a host name.
bool looksLikeAddress(const std::string& word)
{
    return word.find_first_of(":/") != std::string::npos
        || word.find_first_not_of("0123456789.") == std::string::npos;
}

// "to" takes an address block, a host name (matched exactly) or ".domain" (the domain and every
// name under it). Names are kept in canonical form so that matching ignores case.
bool parseDestination(const std::string& word, RequestRule* out, std::string* error)
{
    if (looksLikeAddress(word)) {
        out->to = RequestRule::To::Address;
        return parseCidr(word, &out->toAddress, error);
    }
    bool domain = word[0] == '.';
    std::string name = domain ? word.substr(1) : word;
    if (!validHostName(name)) {
        *error = "\"" + word
            + "\" is neither an address block, a host name nor a .domain (names hold letters, "
              "digits, '-' and '_' in labels of up to 63 bytes)";
        return false;
    }
    out->to = domain ? RequestRule::To::Domain : RequestRule::To::Host;
    out->toName = canonicalHostName(name);
    return true;
}

bool parsePorts(const std::string& word, RequestRule* out, std::string* error)
{
    size_t dash = word.find('-');
    int low = 0, high = 0;
    // Digits and the dash only: parseWholeNumber alone would take "+80".
    bool ok = word.find_first_not_of("0123456789-") == std::string::npos
        && parseWholeNumber(word.substr(0, dash), 0, 65535, &low);
    high = low;
    if (ok && dash != std::string::npos)
        ok = parseWholeNumber(word.substr(dash + 1), 0, 65535, &high);
    if (!ok || low > high) {
        *error =
            "a port is a number from 0 to 65535 or a range N-M with N <= M, not \"" + word + "\"";
        return false;
    }
    out->portLow = uint16_t(low);
    out->portHigh = uint16_t(high);
    return true;
}

// Commands are written by the names the log uses, so a refusal in the log can be copied into a rule
// as it stands.
bool parseCommand(const std::string& word, RequestRule* out, std::string* error)
{
    for (uint8_t command : {socks5::CMD_CONNECT, socks5::CMD_BIND, socks5::CMD_UDP_ASSOCIATE})
        if (word == socks5::commandName(command)) {
            out->command = command;
            return true;
        }
    *error = "the command is connect, bind or udpassociate, not \"" + word + "\"";
    return false;
}

// Walks "KEYWORD VALUE" pairs after the verdict; each keyword at most once and one of
// allowed. handle parses one value.
template <typename Handle>
bool parseConditions(const std::vector<std::string>& words, const std::string& allowed,
                     Handle handle, std::string* error)
{
    // A keyword twice would leave the reader unsure which one counts, so it is refused.
    std::set<std::string> seen;
    for (size_t i = 1; i < words.size(); i += 2) {
        const std::string& key = words[i];
        if (!seen.insert(key).second) {
            *error = "\"" + key + "\" is given twice";
            return false;
        }
        // A known keyword at the end of the line lacks its value; an unknown one is named by
        // handle.
        if (i + 1 >= words.size() && allowed.find(" " + key + " ") != std::string::npos) {
            *error = "\"" + key + "\" needs a value";
            return false;
        }
        if (!handle(key, i + 1 < words.size() ? words[i + 1] : std::string(), error))
            return false;
    }
    return true;
}

bool parseFrom(const std::string& value, std::optional<Cidr>* from, std::string* error)
{
    Cidr block;
    if (!parseCidr(value, &block, error))
        return false;
    *from = block;
    return true;
}

} // namespace

// A client rule decides at accept, before anything is read, so it can only look at the address.
bool parseClientRule(const std::vector<std::string>& words, ClientRule* out, std::string* error)
{
    ClientRule rule;
    if (!parseVerdict(words, &rule.pass, error))
        return false;
    auto handle = [&](const std::string& key, const std::string& value, std::string* err) {
        if (key == "from")
            return parseFrom(value, &rule.from, err);
        *err = "\"" + key + "\" is not part of a client rule: it has only \"from CIDR\"";
        return false;
    };
    if (!parseConditions(words, " from ", handle, error))
        return false;
    // The rule as written, for the log line of the connection it decides.
    rule.text = joinWords(words);
    *out = rule;
    return true;
}

// A request rule decides after the SOCKS request is read, so it can look at all of it. A condition
// left out matches anything.
bool parseRequestRule(const std::vector<std::string>& words, RequestRule* out, std::string* error)
{
    RequestRule rule;
    if (!parseVerdict(words, &rule.pass, error))
        return false;
    auto handle = [&](const std::string& key, const std::string& value, std::string* err) {
        if (key == "from")
            return parseFrom(value, &rule.from, err);
        if (key == "to")
            return parseDestination(value, &rule, err);
        if (key == "port")
            return parsePorts(value, &rule, err);
        if (key == "command")
            return parseCommand(value, &rule, err);
        if (key == "user") {
            rule.user = value;
            if (value.size() <= 255) // as in the users file
                return true;
            *err = "a user name has at most 255 bytes";
            return false;
        }
        *err = "\"" + key + "\" is not part of a rule: expected from, to, port, command or user";
        return false;
    };
    if (!parseConditions(words, " from to port command user ", handle, error))
        return false;
    rule.text = joinWords(words);
    *out = rule;
    return true;
}
