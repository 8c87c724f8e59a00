#include "tools/proxy/SocksServer.h"

#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/common/SendAtOnce.h"
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
                std::fprintf(stderr, "vantor-proxy: accept: %s\n", std::strerror(errno));
                ctx_.poller.watch(listen_, 0);
            }
            return;
        }
        SendAtOnce(fd); // relayed data goes on as it comes
        auto *session = new SocksSession(ctx_, fd, peer,
                                         [this](SocksSession *s) { sessions_.erase(s->serial()); });
        if (!session->retired())
            sessions_[session->serial()] = session;
    }
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
