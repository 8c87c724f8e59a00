// Loading the settings snapshot (see ProxySettings.h).
#include "tools/proxy/ProxySettings.h"

#include "tools/proxy/AccessRules.h"

namespace {

bool sameEndpoint(const Endpoint& a, const Endpoint& b)
{
    return a.ip == b.ip && a.port == b.port;
}

// In order: the same addresses listed differently count as a change, which only costs a notice.
bool sameEndpoints(const std::vector<Endpoint>& a, const std::vector<Endpoint>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!sameEndpoint(a[i], b[i]))
            return false;
    return true;
}

// Puts back in fresh what only a restart changes, and names what the files changed of it.
void keepStartOnly(const ProxyOptions& current, ProxyOptions* fresh,
                   std::vector<std::string>* unchanged)
{
    if (!sameEndpoints(current.socksAddrs, fresh->socksAddrs))
        unchanged->push_back("the SOCKS addresses");
    if (!sameEndpoint(current.monitorAddr, fresh->monitorAddr))
        unchanged->push_back("the monitoring address");
    if (current.runAsUser != fresh->runAsUser)
        unchanged->push_back("the account (user)");
    if (current.maxRecords != fresh->maxRecords)
        unchanged->push_back("max-records");
    if (current.readyFile != fresh->readyFile)
        unchanged->push_back("ready-file");
    if (current.logToSyslog != fresh->logToSyslog)
        unchanged->push_back("log");
    fresh->socksAddrs = current.socksAddrs;
    fresh->monitorAddr = current.monitorAddr;
    fresh->runAsUser = current.runAsUser;
    fresh->maxRecords = current.maxRecords;
    fresh->readyFile = current.readyFile;
    fresh->logToSyslog = current.logToSyslog;
}

} // namespace

// The one-line account of the settings in force, logged at start and after each reload.
std::string settingsSummary(const ProxySettings& settings)
{
    std::string users = settings.authentication()
        ? std::to_string(settings.users.size()) + " users from " + settings.options.usersFile
        : "no authentication";
    return rulesSummary(settings.options.rules) + ", " + users;
}

// The options and the users file they name, all or nothing.
ConfigErrors loadProxySettings(const ProxyCommandLine& commandLine, ProxySettings* out)
{
    ProxySettings fresh;
    ConfigErrors errors = loadProxyOptions(commandLine, &fresh.options);
    std::string error;
    if (errors.empty() && !fresh.options.usersFile.empty()
        && !fresh.users.load(fresh.options.usersFile, &error))
        errors.add("", error);
    if (errors.empty())
        *out = std::move(fresh);
    return errors;
}

// SIGHUP: the files are read again into a fresh snapshot; the running one is replaced only if all
// is well, and what needs a restart keeps its running value, named in unchanged so the log can say
// so.
ConfigErrors reloadProxySettings(const ProxyCommandLine& commandLine, const ProxySettings& current,
                                 ProxySettings* out, std::vector<std::string>* unchanged)
{
    ProxySettings fresh;
    ConfigErrors errors = loadProxySettings(commandLine, &fresh);
    if (!errors.empty())
        return errors;
    std::vector<std::string> kept;
    keepStartOnly(current.options, &fresh.options, &kept);
    // Checked again with the addresses actually in use: new rules may have dropped the ones that
    // made a reachable port safe.
    std::string refusal = openListenerRefusal(fresh.options.socksAddrs, fresh.options.monitorAddr,
                                              fresh.options.rules);
    if (!refusal.empty()) {
        errors.add("", refusal);
        return errors;
    }
    *out = std::move(fresh);
    *unchanged = std::move(kept);
    return errors;
}
