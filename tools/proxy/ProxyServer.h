// The running proxy: both listeners, the records, the resolver and the loop that drives them.
#ifndef VANTOR_PROXY_PROXYSERVER_H
#define VANTOR_PROXY_PROXYSERVER_H

#include <csignal>
#include <memory>
#include <string>

#include "tools/proxy/ConnTable.h"
#include "tools/proxy/MonitorService.h"
#include "tools/proxy/Options.h"
#include "tools/proxy/Poller.h"
#include "tools/proxy/ProxyContext.h"
#include "tools/proxy/Resolver.h"
#include "tools/proxy/SocksServer.h"
#include "tools/proxy/UserFile.h"

class ProxyServer : public EventHandler {
public:
    explicit ProxyServer(const ProxyOptions &options);
    ~ProxyServer() override;

    // Loads the users file and opens both ports; on failure returns false with *error set.
    bool start(std::string *error);
    // Runs until *stop becomes non-zero (set from a signal handler).
    void run(volatile std::sig_atomic_t *stop);

    void onEvents(int tag, uint32_t events) override; // the resolver has answers

private:
    const ProxyOptions &options_;
    Poller poller_;
    ConnTable table_;
    Resolver resolver_;
    UserFile users_;
    ProxyContext ctx_;
    Watch resolverWatch_;
    std::unique_ptr<SocksServer> socks_;
    std::unique_ptr<MonitorService> monitor_;
    bool dropsReported_ = false;

    void reportDrops();
    bool writeReadyFile(const sockaddr_in &socks, const sockaddr_in &monitor, std::string *error);
};

#endif
