#include "tools/proxy/SocksServer.h"

#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/common/SendAtOnce.h"
#include "tools/proxy/NetUtil.h"
#include "tools/proxy/SocksSession.h"

SocksServer::SocksServer(ProxyContext &ctx, int listenFd) : ctx_(ctx)
{
    listen_ = Watch{this, listenFd, 0, 0, false};
    ctx_.poller.watch(listen_, EPOLLIN);
}

SocksServer::~SocksServer()
{
    for (auto &entry : sessions_)
        delete entry.second;
    ctx_.poller.closeWatch(listen_);
}

void SocksServer::onEvents(int, uint32_t)
{
    // A bounded batch per wake-up, so that a flood of clients cannot starve the relays.
    for (int i = 0; i < 64; ++i) {
        sockaddr_in peer{};
        socklen_t len = sizeof peer;
        int fd = accept4(listen_.fd, reinterpret_cast<sockaddr *>(&peer), &len,
                         SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // Out of descriptors: stop accepting until the next tick instead of spinning.
                ctx_.log.warning(std::string("accept: ") + std::strerror(errno));
                ctx_.poller.watch(listen_, 0);
            }
            return;
        }
        if (refusedByRules(peer)) {
            close(fd); // before a byte is read or sent
            continue;
        }
        SendAtOnce(fd); // relayed data goes on as it comes
        auto *session = new SocksSession(ctx_, fd, peer,
                                         [this](SocksSession *s) { sessions_.erase(s->serial()); });
        if (!session->retired())
            sessions_[session->serial()] = session;
    }
}

bool SocksServer::refusedByRules(const sockaddr_in &peer)
{
    const AccessRules &rules = ctx_.options().rules;
    Decision d = rules.decideClient(ipv4Address(peer.sin_addr));
    if (d.verdict != Verdict::Block)
        return false;
    ctx_.table.countRefused();
    std::string why = "no client rule passes it";
    if (d.rule > 0) {
        const ClientRule &rule = rules.clientRules()[size_t(d.rule - 1)];
        why =
            "client rule " + std::to_string(d.rule) + " \"" + rule.text + "\" (" + rule.place + ")";
    }
    ctx_.log.info("client " + addrPortText(peer) + " refused: " + why);
    return true;
}

void SocksServer::deliverAnswers()
{
    for (const Resolver::Answer &answer : ctx_.resolver.takeAnswers()) {
        auto it = sessions_.find(answer.ticket);
        if (it != sessions_.end())
            it->second->onResolved(answer.found, answer.addr);
    }
}

void SocksServer::onTick(time_t monotonicNow)
{
    ctx_.poller.watch(listen_, EPOLLIN);
    std::vector<SocksSession *> all;
    all.reserve(sessions_.size());
    for (auto &entry : sessions_)
        all.push_back(entry.second);
    for (SocksSession *s : all)
        if (!s->retired())
            s->onTick(monotonicNow);
}
