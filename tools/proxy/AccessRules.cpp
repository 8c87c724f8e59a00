// How the access rules decide (see AccessRules.h): the first rule that matches wins.
#include "tools/proxy/AccessRules.h"

#include "tools/proxy/HostName.h"

namespace {

// The rules are tried one by one for every connection, so their number is bounded to keep a
// decision cheap and a mistaken generated file from eating memory.
const std::string kTooMany = " at most " + std::to_string(AccessRules::MAX_RULES) + " are read";

// A rule without "from" matches every source.
bool fromMatches(const std::optional<Cidr>& from, const IpAddress& source)
{
    return !from || cidrContains(*from, source);
}

// The rule's number goes with the verdict, so the log can say which rule decided.
Decision decided(bool pass, int rule)
{
    return Decision{pass ? Verdict::Pass : Verdict::Block, rule};
}

// The default when no rule matched: an empty list passes everything.
Decision byDefault(bool listEmpty)
{
    return decided(listEmpty, 0);
}

} // namespace

bool AccessRules::addClientRule(ClientRule rule, std::string* error)
{
    if (clientRules_.size() >= MAX_RULES) {
        *error = "too many client rules:" + kTooMany;
        return false;
    }
    // Numbered from 1 in the order given, as a person counts them.
    rule.number = int(clientRules_.size()) + 1;
    clientRules_.push_back(std::move(rule));
    return true;
}

bool AccessRules::addRequestRule(RequestRule rule, std::string* error)
{
    if (requestRules_.size() >= MAX_RULES) {
        *error = "too many request rules:" + kTooMany;
        return false;
    }
    rule.number = int(requestRules_.size()) + 1;
    requestRules_.push_back(std::move(rule));
    return true;
}

bool AccessRules::addMonitorAllow(const Cidr& block, std::string* error)
{
    if (monitorAllow_.size() >= MAX_RULES) {
        *error = "too many monitor-allow blocks:" + kTooMany;
        return false;
    }
    monitorAllow_.push_back(block);
    return true;
}

Decision AccessRules::decideClient(const IpAddress& source) const
{
    for (const ClientRule& rule : clientRules_)
        if (fromMatches(rule.from, source))
            return decided(rule.pass, rule.number);
    return byDefault(clientRules_.empty());
}

namespace {
// Whether the rule is about this client, command and user, whatever the destination.
bool matchesAsker(const RequestRule& rule, const AccessRequest& request)
{
    return fromMatches(rule.from, request.source)
        && (!rule.command || rule.command == request.command)
        && (rule.user.empty() || rule.user == request.user);
}
} // namespace

// For a request whose destination is not known yet (a UDP association, which names each
// destination per datagram): may the client open it at all? Each datagram is then decided
// by decideRequest.
Decision AccessRules::decideAnyDestination(const AccessRequest& request) const
{
    for (const RequestRule& rule : requestRules_) {
        if (!matchesAsker(rule, request))
            continue;
        bool everyDestination =
            rule.to == RequestRule::To::Any && rule.portLow == 0 && rule.portHigh == 65535;
        // A pass for some destinations lets the request open; a block for some goes on to
        // the rules after it for the others.
        if (everyDestination || rule.pass)
            return decided(rule.pass, rule.number);
    }
    return byDefault(requestRules_.empty());
}

// The first rule that matches source, command, user, port and destination decides. A rule
// naming an address block cannot judge a destination given by name until it is looked up:
// the answer NeedsAddress asks the session to resolve and ask again, so that no name is
// looked up that an earlier rule would have refused.
Decision AccessRules::decideRequest(const AccessRequest& request) const
{
    // Names compare in canonical form (lower case, no trailing dot), so case cannot slip past a
    // rule.
    const std::string host = canonicalHostName(request.host);
    for (const RequestRule& rule : requestRules_) {
        if (!matchesAsker(rule, request) || request.port < rule.portLow
            || request.port > rule.portHigh)
            continue;
        switch (rule.to) {
        case RequestRule::To::Any:
            break;
        case RequestRule::To::Host:
            if (host.empty() || host != rule.toName)
                continue;
            break;
        case RequestRule::To::Domain:
            if (host.empty() || !inDomain(host, rule.toName))
                continue;
            break;
        case RequestRule::To::Address:
            if (request.destination.family == 0) {
                if (host.empty())
                    continue; // no destination at all: no address block holds it
                return Decision{Verdict::NeedsAddress, rule.number};
            }
            if (!cidrContains(rule.toAddress, request.destination))
                continue;
            break;
        }
        return decided(rule.pass, rule.number);
    }
    return byDefault(requestRules_.empty());
}

// Without monitor-allow every address may monitor (the port listens on loopback unless
// told otherwise); with it, only the blocks it names.
bool AccessRules::monitorAllowed(const IpAddress& source) const
{
    if (monitorAllow_.empty())
        return true;
    for (const Cidr& block : monitorAllow_)
        if (cidrContains(block, source))
            return true;
    return false;
}

// One line for the log at start and at each reload, so the operator sees what was read.
std::string rulesSummary(const AccessRules& rules)
{
    return std::to_string(rules.clientRules().size()) + " client rules, "
        + std::to_string(rules.requestRules().size()) + " request rules, "
        + std::to_string(rules.monitorAllow().size()) + " monitor-allow blocks";
}

// Refuses a configuration that would serve anyone on the network, with the message saying how to
// mend it. Loopback addresses are safe without rules.
std::string openListenerRefusal(const std::vector<Endpoint>& socks, const Endpoint& monitor,
                                const AccessRules& rules)
{
    bool socksRules = !rules.clientRules().empty() || !rules.requestRules().empty();
    for (const Endpoint& e : socks)
        if (!isLoopback(e.ip) && !socksRules)
            return "the SOCKS address " + endpointText(e)
                + " is reachable from other hosts and no client or request rule says who may "
                  "use it: that would be an open proxy for anyone; add rules (such as "
                  "\"client pass from 192.0.2.0/24\") or listen on loopback";
    if (!isLoopback(monitor.ip) && rules.monitorAllow().empty())
        return "the monitoring address " + endpointText(monitor)
            + " is reachable from other hosts and no monitor-allow says who may read it; "
              "add monitor-allow with the monitors' addresses or listen on loopback";
    return "";
}
