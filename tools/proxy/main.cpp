// vantor-proxy: a SOCKS5 proxy that serves the Vantor monitoring protocol.
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/CommandLine.h"
#include "tools/proxy/Options.h"
#include "tools/proxy/ProxyServer.h"

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

int main(int argc, char **argv)
{
    ProxyOptions options;
    std::string error;
    bool parsed =
        parseProxyOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error);
    int answered = answerStandardOptions({"vantor-proxy", proxyUsage(), VANTOR_VERSION}, parsed,
                                         error, options.help, options.version);
    if (answered >= 0)
        return answered;
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
    server.run(&stopRequested);
    return 0;
}
