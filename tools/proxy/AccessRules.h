// Who may use the proxy and for what: client rules decide at accept by the client's address,
// request rules decide each SOCKS request by source, destination, port, command and user,
// and monitor-allow names the addresses the monitoring port serves.
//
// In each list the first rule that matches decides, and its number (from 1, in the order the
// rules were given) tells which. When no rule matches, the request is blocked if the list
// has any rule and passed if it is empty (rule number 0), so that a proxy without rules
// behaves as before and a list of rules is complete by itself.
//
// A destination asked for by name is known by its name until it is resolved. A rule that
// names a host or a domain matches only the names the clients ask for: an address never
// matches it, as the proxy does no reverse look-ups. A rule that names an address block
// needs the address: asked before the name is resolved, decideRequest answers NeedsAddress
// when such a rule is the first that could match, and the session asks again once it has
// the address. So names that rules block are never looked up, and no look-up is made
// that the rules decide without.
#ifndef VANTOR_PROXY_ACCESSRULES_H
#define VANTOR_PROXY_ACCESSRULES_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/proxy/Cidr.h"
#include "tools/proxy/IpAddress.h"

enum class Verdict { Pass, Block, NeedsAddress };

struct Decision {
    Verdict verdict = Verdict::Pass;
    int rule = 0; // the number of the rule that decided (or needs the address); 0: the default
};

struct ClientRule {
    bool pass = true;
    std::optional<Cidr> from; // none: every client
    int number = 0;
    std::string text;  // the rule as given, words separated by one blank, for logs
    std::string place; // "FILE:LINE" or the command-line option it came from
};

struct RequestRule {
    enum class To { Any, Address, Host, Domain };
    bool pass = true;
    std::optional<Cidr> from;
    To to = To::Any;
    Cidr toAddress;     // for To::Address
    std::string toName; // canonical host or domain, for To::Host and To::Domain
    uint16_t portLow = 0, portHigh = 65535;
    uint8_t command = 0; // socks5::Command, 0 for any
    std::string user;    // empty: anyone, with or without authentication
    int number = 0;
    std::string text;
    std::string place;
};

// What a session knows of a request when it asks the rules.
struct AccessRequest {
    IpAddress source;
    std::string host;      // the name the client asked for; empty when it gave an address
    IpAddress destination; // family 0 while a name is not resolved yet
    uint16_t port = 0;
    uint8_t command = 0; // socks5::Command
    std::string user;    // empty without username/password authentication
};

class AccessRules {
public:
    // Rules in one list beyond this many are refused: each request is checked against the
    // list in turn, and 10000 rules still take well under a millisecond; a longer list
    // wants address blocks rather than single addresses.
    static constexpr size_t MAX_RULES = 10000;

    // Append a rule and give it the next number; false with *error beyond MAX_RULES.
    bool addClientRule(ClientRule rule, std::string* error);
    bool addRequestRule(RequestRule rule, std::string* error);
    bool addMonitorAllow(const Cidr& block, std::string* error);

    Decision decideClient(const IpAddress& source) const;
    Decision decideRequest(const AccessRequest& request) const;
    // For a request whose destinations come later (the datagrams of a UDP ASSOCIATE): blocks
    // only when the rules block every destination for this source, command and user, naming
    // the rule that does; passes when some destination may pass, each to be decided then.
    Decision decideAnyDestination(const AccessRequest& request) const;
    // Whether the monitoring port serves this address: any, while monitor-allow names none.
    bool monitorAllowed(const IpAddress& source) const;

    const std::vector<ClientRule>& clientRules() const { return clientRules_; }
    const std::vector<RequestRule>& requestRules() const { return requestRules_; }
    const std::vector<Cidr>& monitorAllow() const { return monitorAllow_; }

private:
    std::vector<ClientRule> clientRules_;
    std::vector<RequestRule> requestRules_;
    std::vector<Cidr> monitorAllow_;
};

// "N client rules, N request rules, N monitor-allow blocks", for messages.
std::string rulesSummary(const AccessRules& rules);

// Why the proxy must not start listening on these addresses with these rules, or "" when it
// may: a SOCKS address that other hosts reach needs client or request rules (else it is an
// open proxy for anyone), a monitoring address that other hosts reach needs monitor-allow.
// On loopback no rules are needed.
std::string openListenerRefusal(const std::vector<Endpoint>& socks, const Endpoint& monitor,
                                const AccessRules& rules);

#endif
