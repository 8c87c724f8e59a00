// vantor-proxy: a SOCKS5 proxy that serves the Vantor monitoring protocol.
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/CommandLine.h"
#include "tools/proxy/Options.h"
#include "tools/proxy/ProxyServer.h"
#include "tools/proxy/ProxySettings.h"
#include "tools/proxy/RunAs.h"
#include "tools/proxy/UserFile.h"

// The handlers only set these flags; the loop sees them after its wait and acts outside the
// handler, where anything may be called.
static volatile std::sig_atomic_t stopRequested = 0;
static volatile std::sig_atomic_t reloadRequested = 0;

static void onStopSignal(int)
{
    stopRequested = 1;
}

static void onReloadSignal(int)
{
    reloadRequested = 1;
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
static void printErrors(const ConfigErrors& errors)
{
    for (const ConfigError& e : errors.listed()) {
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
static int checkConfig(const ProxyOptions& options, ConfigErrors errors)
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
    std::printf("configuration is valid: %s\n", rulesSummary(options.rules).c_str());
    return 0;
}

int main(int argc, char** argv)
{
    ProxyCommandLine commandLine;
    std::string error;
    bool parsed = parseProxyCommandLine(std::vector<std::string>(argv + 1, argv + argc),
                                        &commandLine, &error);
    int answered = answerStandardOptions({"vantor-proxy", proxyUsage(), VANTOR_VERSION}, parsed,
                                         error, commandLine.help, commandLine.version);
    if (answered >= 0)
        return answered;
    ProxySettings settings;
    ConfigErrors errors = loadProxyOptions(commandLine, &settings.options);
    if (commandLine.checkConfig)
        return checkConfig(settings.options, errors);
    if (!errors.empty()) {
        printErrors(errors);
        std::fputs("Try 'vantor-proxy --help' for the options.\n", stderr);
        return 2;
    }
    const std::string& usersFile = settings.options.usersFile;
    // The users file is read before the ports open: a proxy meant to ask for passwords must never
    // run without them.
    if (!usersFile.empty() && !settings.users.load(usersFile, &error)) {
        std::fprintf(stderr, "vantor-proxy: %s\n", error.c_str());
        return 1;
    }
    raiseDescriptorLimit();
    // A client that hangs up mid-write must cost one session (EPIPE), not the whole proxy.
    std::signal(SIGPIPE, SIG_IGN);
    // Without SA_RESTART, so that a signal ends the loop's wait at once.
    struct sigaction stop = {};
    stop.sa_handler = onStopSignal;
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    struct sigaction reload = {};
    reload.sa_handler = onReloadSignal;
    sigaction(SIGHUP, &reload, nullptr);

    const std::string runAsUser = settings.options.runAsUser;
    // The command line is kept so a reload can read the file again with the same options over it.
    ProxyServer server(commandLine, std::move(settings));
    if (!server.start(&error)) {
        std::fprintf(stderr, "vantor-proxy: %s\n", error.c_str());
        return 1;
    }
    // Root is given up only after the ports are open, so a privileged port can be used; failing to
    // give it up ends the proxy rather than serving as root.
    if (!runAsUser.empty() && !switchToAccount(runAsUser, &error)) {
        std::fprintf(stderr, "vantor-proxy: %s\n", error.c_str());
        return 1;
    }
    // Returns once a stop signal came; the sessions close with the server.
    server.run(&stopRequested, &reloadRequested);
    return 0;
}
