// What the running proxy follows, read as a whole at the start and again on each reload:
// the options and the users file they name. The proxy holds the settings in force as a
// shared snapshot; each session takes the snapshot of its start and keeps it to its end, so
// a reload changes the rules and the users for new connections only, and never pulls the
// settings out from under a session in flight.
#ifndef VANTOR_PROXY_PROXYSETTINGS_H
#define VANTOR_PROXY_PROXYSETTINGS_H

#include <string>
#include <vector>

#include "tools/proxy/ConfigFile.h"
#include "tools/proxy/Options.h"
#include "tools/proxy/UserFile.h"

struct ProxySettings {
    ProxyOptions options;
    UserFile users; // empty when options.usersFile is
    // The users to authenticate, or null when no authentication is required.
    const UserFile* authentication() const { return options.usersFile.empty() ? nullptr : &users; }
};

// Reads the configuration as the command line says and then the users file it names;
// every mistake found is returned, and *out is replaced only when there is none.
ConfigErrors loadProxySettings(const ProxyCommandLine& commandLine, ProxySettings* out);

// The rules and the users in a few words, for the log: "N client rules, N request rules,
// N monitor-allow blocks, N users from FILE" (or ", no authentication").
std::string settingsSummary(const ProxySettings& settings);

// Reads the settings again for a reload. The ports stay open where the proxy listens,
// so the new rules must not leave those addresses open to everyone: that is a mistake here
// too. What a reload cannot change (listening addresses, the account, the record limit, the
// ready file, the log) keeps its value from the start; each of those that the files change
// gets a line in *unchanged, for the log.
ConfigErrors reloadProxySettings(const ProxyCommandLine& commandLine, const ProxySettings& current,
                                 ProxySettings* out, std::vector<std::string>* unchanged);

#endif
