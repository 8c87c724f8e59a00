// fuzz-libs: vantor_proxy
// Feeds arbitrary bytes to the proxy as its configuration file: it never crashes, a refused
// file names each mistake by its line and leaves the options as they were, and an accepted
// one gives rules that read back the same from their own text and that answer every request.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "tools/proxy/Options.h"
#include "tools/proxy/RuleSyntax.h"

namespace {

void checkRules(const AccessRules& rules)
{
    for (const ClientRule& rule : rules.clientRules()) {
        ClientRule again;
        std::string error;
        if (!parseClientRule(splitWords(rule.text), &again, &error) || again.text != rule.text
            || again.pass != rule.pass)
            __builtin_trap();
    }
    for (const RequestRule& rule : rules.requestRules()) {
        RequestRule again;
        std::string error;
        if (!parseRequestRule(splitWords(rule.text), &again, &error) || again.text != rule.text
            || again.portLow != rule.portLow || again.portHigh != rule.portHigh
            || again.to != rule.to || again.toName != rule.toName)
            __builtin_trap();
    }
    AccessRequest byName;
    parseIpAddress("10.1.2.3", &byName.source);
    byName.host = "Www.Example.ORG.";
    byName.port = 443;
    byName.command = 1;
    AccessRequest byAddress = byName;
    byAddress.host.clear();
    parseIpAddress("::ffff:192.0.2.7", &byAddress.destination);
    int count = int(rules.requestRules().size());
    for (const AccessRequest& request : {byName, byAddress}) {
        Decision d = rules.decideRequest(request);
        if (d.rule < 0 || d.rule > count || (d.rule == 0 && d.verdict == Verdict::NeedsAddress)
            || (d.verdict == Verdict::NeedsAddress && !request.host.size()))
            __builtin_trap();
    }
    Decision client = rules.decideClient(byName.source);
    if (client.rule < 0 || client.rule > int(rules.clientRules().size()))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    ProxyOptions options;
    options.retentionSeconds = -7; // a mark: a refused file must leave it
    ConfigErrors errors = loadProxyOptionsFromText(text, "fuzz.conf", ProxyCommandLine(), &options);
    if (!errors.empty()) {
        if (options.retentionSeconds != -7 || errors.listed().empty()
            || errors.listed().size() > ConfigErrors::MAX_LISTED)
            __builtin_trap();
        for (const ConfigError& e : errors.listed())
            if (e.message.empty()
                || (!e.place.empty() && e.place.compare(0, 10, "fuzz.conf:") != 0))
                __builtin_trap();
        return 0;
    }
    if (options.retentionSeconds < 0 || options.socksAddrs.empty())
        __builtin_trap();
    checkRules(options.rules);
    return 0;
}
