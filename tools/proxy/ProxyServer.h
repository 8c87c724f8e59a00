// The running proxy: its listeners, the records, the resolver, the log, the settings in force
// and the loop that drives them.
#ifndef VANTOR_PROXY_PROXYSERVER_H
#define VANTOR_PROXY_PROXYSERVER_H

#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "tools/proxy/ConnTable.h"
#include "tools/proxy/MonitorService.h"
#include "tools/proxy/Options.h"
#include "tools/proxy/Poller.h"
#include "tools/proxy/ProxyContext.h"
#include "tools/proxy/ProxyLog.h"
#include "tools/proxy/ProxySettings.h"
#include "tools/proxy/Resolver.h"
#include "tools/proxy/SocksServer.h"

class ProxyServer : public EventHandler {
public:
    // The command line is kept to read the settings again on a reload.
    ProxyServer(const ProxyCommandLine& commandLine, ProxySettings settings);
    ~ProxyServer() override;

    // Opens the SOCKS ports and the monitoring port and logs where; on failure returns false with *error set.
    bool start(std::string* error);
    // Runs until *stop becomes non-zero; each time *reload does, sets it back to zero and
    // reloads (both are set from signal handlers).
    void run(volatile std::sig_atomic_t* stop, volatile std::sig_atomic_t* reload);
    // Reads the configuration and the users file again. Without mistakes their settings
    // take over for new clients and monitors; with any, the settings in force stay and the
    // log says why. The ports are not opened anew: see reloadProxySettings.
    void reload();

    void onEvents(int tag, uint32_t events) override; // the resolver has answers

private:
    ProxyCommandLine commandLine_;
    ProxyLog log_;
    Poller poller_;
    ConnTable table_;
    Resolver resolver_;
    ProxyContext ctx_;
    Watch resolverWatch_;
    std::unique_ptr<SocksServer> socks_;
    std::unique_ptr<MonitorService> monitor_;
    bool dropsReported_ = false;

    void reportDrops();
    // A listening socket on e, or -1 with *error set.
    static int openListener(const Endpoint& e, int backlog, std::string* error);
    bool writeReadyFile(const std::vector<sockaddr_storage>& socks, const sockaddr_storage& monitor,
                        std::string* error);
};

#endif
