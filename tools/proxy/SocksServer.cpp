// The SOCKS listeners: accept, the client rules, and the sessions in progress.
#include "tools/proxy/SocksServer.h"

#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "tools/common/SendAtOnce.h"
#include "tools/proxy/AcceptBatch.h"
#include "tools/proxy/IpAddress.h"
#include "tools/proxy/NetUtil.h"
#include "tools/proxy/SocksSession.h"

SocksServer::SocksServer(ProxyContext& ctx, const std::vector<int>& listenFds) : ctx_(ctx)
{
    for (size_t i = 0; i < listenFds.size(); ++i)
        listens_.push_back(Watch{this, listenFds[i], int(i), 0, false});
    for (Watch& listen : listens_)
        ctx_.poller.watch(listen, EPOLLIN);
}

SocksServer::~SocksServer()
{
    for (auto& entry : sessions_)
        delete entry.second;
    for (Watch& listen : listens_)
        ctx_.poller.closeWatch(listen);
}

void SocksServer::onEvents(int tag, uint32_t)
{
    acceptFrom(listens_[size_t(tag)]);
}

void SocksServer::acceptFrom(Watch& listen)
{
    acceptBatch(ctx_, listen, 64, [this](int fd, const sockaddr_storage& peer) {
        if (refusedByRules(peer)) {
            close(fd); // before a byte is read or sent
            return;
        }
        SendAtOnce(fd); // relayed data goes on as it comes
        auto* session = new SocksSession(ctx_, fd, peer,
                                         [this](SocksSession* s) { sessions_.erase(s->serial()); });
        if (!session->retired())
            sessions_[session->serial()] = session;
    });
}

// The client rules decide by address alone, at accept: a refused client is closed before
// a byte is read, counted among the failed connections, and logged with the rule that
// refused it.
bool SocksServer::refusedByRules(const sockaddr_storage& peer)
{
    const AccessRules& rules = ctx_.options().rules;
    Decision d = rules.decideClient(ipAddressOf(peer));
    if (d.verdict != Verdict::Block)
        return false;
    ctx_.table.countRefused();
    std::string why = "no client rule passes it";
    if (d.rule > 0) {
        const ClientRule& rule = rules.clientRules()[size_t(d.rule - 1)];
        why =
            "client rule " + std::to_string(d.rule) + " \"" + rule.text + "\" (" + rule.place + ")";
    }
    ctx_.log.info("client " + addrPortText(peer) + " refused: " + why);
    return true;
}

// Answers are matched to sessions by serial number, not pointer: a session that ended
// while its look-up ran is simply not found.
void SocksServer::deliverAnswers()
{
    for (const Resolver::Answer& answer : ctx_.resolver.takeAnswers()) {
        auto it = sessions_.find(answer.ticket);
        if (it != sessions_.end())
            it->second->onResolved(answer.found, answer.addrs);
    }
}

// Listening resumes at every tick after running out of descriptors; sessions are ticked
// from a copy of the list, since a tick may end a session and remove it.
void SocksServer::onTick(time_t monotonicNow)
{
    for (Watch& listen : listens_)
        ctx_.poller.watch(listen, EPOLLIN);
    std::vector<SocksSession*> all;
    all.reserve(sessions_.size());
    for (auto& entry : sessions_)
        all.push_back(entry.second);
    for (SocksSession* s : all)
        if (!s->retired())
            s->onTick(monotonicNow);
}
