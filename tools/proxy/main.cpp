// vantor-proxy: a SOCKS5 proxy that serves the Vantor monitoring protocol.
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/CommandLine.h"
#include "tools/proxy/Options.h"
#include "tools/proxy/ProxyServer.h"
#include "tools/proxy/RunAs.h"
#include "tools/proxy/UserFile.h"

static volatile std::sig_atomic_t stopRequested = 0;

static void onStopSignal(int)
{
    stopRequested = 1;
}

// Every relayed connection holds two descriptors; take all that the system allows.
static void raiseDescriptorLimit()
{
    rlimit lim;
    if (getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur < lim.rlim_max) {
        lim.rlim_cur = lim.rlim_max;
        setrlimit(RLIMIT_NOFILE, &lim);
    }
}

// A mistake in a file is named by its place alone ("FILE:LINE: message"), as compilers do.
static void printErrors(const ConfigErrors &errors)
{
    for (const ConfigError &e : errors.listed()) {
        if (e.place.empty())
            std::fprintf(stderr, "vantor-proxy: %s\n", e.message.c_str());
        else
            std::fprintf(stderr, "%s: %s\n", e.place.c_str(), e.message.c_str());
    }
    if (errors.count() > errors.listed().size())
        std::fprintf(stderr, "vantor-proxy: %zu more mistakes not listed\n",
                     errors.count() - errors.listed().size());
}

// --check-config: also what the start would find only later, the users file and the account.
static int checkConfig(const ProxyOptions &options, ConfigErrors errors)
{
    std::string error;
    UserFile users;
    if (errors.empty()) { // the options hold the file names only then
        if (!options.usersFile.empty() && !users.load(options.usersFile, &error))
            errors.add("", error);
        if (!options.runAsUser.empty() && !accountExists(options.runAsUser, &error))
            errors.add("", error);
    }
    if (!errors.empty()) {
        printErrors(errors);
        return 2;
    }
    std::printf("configuration is valid: %zu client rules, %zu request rules, %zu monitor-allow "
                "blocks\n",
                options.rules.clientRules().size(), options.rules.requestRules().size(),
                options.rules.monitorAllow().size());
    return 0;
}

int main(int argc, char **argv)
{
    ProxyCommandLine commandLine;
    std::string error;
    bool parsed = parseProxyCommandLine(std::vector<std::string>(argv + 1, argv + argc),
                                        &commandLine, &error);
    int answered = answerStandardOptions({"vantor-proxy", proxyUsage(), VANTOR_VERSION}, parsed,
                                         error, commandLine.help, commandLine.version);
    if (answered >= 0)
        return answered;
    ProxyOptions options;
    ConfigErrors errors = loadProxyOptions(commandLine, &options);
    if (commandLine.checkConfig)
        return checkConfig(options, errors);
    if (!errors.empty()) {
        printErrors(errors);
        std::fputs("Try 'vantor-proxy --help' for the options.\n", stderr);
        return 2;
    }
    if (!options.rules.clientRules().empty() || !options.rules.requestRules().empty()
        || !options.rules.monitorAllow().empty())
        std::fputs("vantor-proxy: warning: this version reads rules and monitor-allow but does "
                   "not apply them yet\n",
                   stderr);
    raiseDescriptorLimit();
    std::signal(SIGPIPE, SIG_IGN);
    struct sigaction stop = {};
    stop.sa_handler = onStopSignal;
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);

    ProxyServer server(options);
    if (!server.start(&error)) {
        std::fprintf(stderr, "vantor-proxy: %s\n", error.c_str());
        return 1;
    }
    if (!options.runAsUser.empty() && !switchToAccount(options.runAsUser, &error)) {
        std::fprintf(stderr, "vantor-proxy: %s\n", error.c_str());
        return 1;
    }
    server.run(&stopRequested);
    return 0;
}
