// The SOCKS port: accepts the clients that the client rules let in and keeps track of their
// sessions.
#ifndef VANTOR_PROXY_SOCKSSERVER_H
#define VANTOR_PROXY_SOCKSSERVER_H

#include <ctime>
#include <unordered_map>

#include "tools/proxy/Poller.h"
#include "tools/proxy/ProxyContext.h"

class SocksSession;

class SocksServer : public EventHandler {
public:
    // Takes ownership of the listening socket.
    SocksServer(ProxyContext &ctx, int listenFd);
    ~SocksServer() override;

    void onEvents(int tag, uint32_t events) override;
    // Hands the resolver's answers to the sessions still waiting for them.
    void deliverAnswers();
    void onTick(time_t monotonicNow);

private:
    ProxyContext &ctx_;
    Watch listen_;
    std::unordered_map<uint64_t, SocksSession *> sessions_;

    // Whether the client rules refuse this client; a refused one is counted and logged.
    bool refusedByRules(const sockaddr_in &peer);
};

#endif
