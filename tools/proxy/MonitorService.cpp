#include "tools/proxy/MonitorService.h"

#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "tools/proxy/MonitorClient.h"

MonitorService::MonitorService(ProxyContext &ctx, int listenFd) : ctx_(ctx)
{
    listen_ = Watch{this, listenFd, 0, 0, false};
    ctx_.poller.watch(listen_, EPOLLIN);
}

MonitorService::~MonitorService()
{
    for (MonitorClient *c : clients_)
        delete c;
    ctx_.poller.closeWatch(listen_);
}

void MonitorService::onEvents(int, uint32_t)
{
    for (int i = 0; i < 16; ++i) {
        int fd = accept4(listen_.fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                ctx_.poller.watch(listen_, 0);  // resumed by the next tick
            return;
        }
        if (clients_.size() >= MAX_MONITORS && !dropLongestIdle()) {
            close(fd);
            continue;
        }
        auto *client = new MonitorClient(ctx_, fd, [this](MonitorClient *c) { clients_.erase(c); });
        if (!client->retired())
            clients_.insert(client);
    }
}

bool MonitorService::dropLongestIdle()
{
    MonitorClient *oldest = nullptr;
    for (MonitorClient *c : clients_)
        if (c->idle() && (!oldest || c->lastRequest() < oldest->lastRequest()))
            oldest = c;
    if (!oldest)
        return false;
    oldest->drop();  // leaves clients_ through its onDone
    return true;
}

void MonitorService::onTick(time_t monotonicNow)
{
    ctx_.poller.watch(listen_, EPOLLIN);
    std::vector<MonitorClient *> all(clients_.begin(), clients_.end());
    for (MonitorClient *c : all)
        if (!c->retired())
            c->onTick(monotonicNow);
}
