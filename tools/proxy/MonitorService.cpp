#include "tools/proxy/MonitorService.h"

#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

#include "tools/common/SendAtOnce.h"
#include "tools/proxy/MonitorClient.h"

namespace {
// A monitor just admitted has not sent its request yet: it counts as idle only after this,
// so that newcomers cannot push each other out before they are served.
const std::chrono::seconds IDLE_GRACE(2);
} // namespace

MonitorService::MonitorService(ProxyContext &ctx, int listenFd) : ctx_(ctx)
{
    listen_ = Watch{this, listenFd, 0, 0, false};
    ctx_.poller.watch(listen_, EPOLLIN);
}

MonitorService::~MonitorService()
{
    for (auto &entry : clients_)
        delete entry.first;
    ctx_.poller.closeWatch(listen_);
}

void MonitorService::onEvents(int, uint32_t)
{
    for (int i = 0; i < 16; ++i) {
        sockaddr_in peer{};
        socklen_t peerLen = sizeof peer;
        int fd = accept4(listen_.fd, reinterpret_cast<sockaddr *>(&peer), &peerLen,
                         SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                ctx_.poller.watch(listen_, 0); // resumed by the next tick
            return;
        }
        SendAtOnce(fd);
        uint32_t address = peer.sin_family == AF_INET ? peer.sin_addr.s_addr : 0;
        makeRoomFor(address);
        auto *client = new MonitorClient(ctx_, fd, [this](MonitorClient *c) { clients_.erase(c); });
        if (!client->retired())
            clients_[client] = Admission{address, admitted_++};
    }
}

void MonitorService::makeRoomFor(uint32_t address)
{
    size_t fromAddress = 0;
    for (const auto &entry : clients_)
        fromAddress += entry.second.address == address ? 1 : 0;
    if (fromAddress >= size_t(ctx_.options.monitorsPerAddress))
        dropOne([address](const Admission &a) { return a.address == address; });
    else if (clients_.size() >= MAX_MONITORS)
        dropOne([](const Admission &) { return true; });
}

void MonitorService::dropOne(const std::function<bool(const Admission &)> &among)
{
    auto now = std::chrono::steady_clock::now();
    MonitorClient *idlest = nullptr, *oldest = nullptr;
    uint64_t oldestOrder = 0;
    for (const auto &entry : clients_) {
        MonitorClient *c = entry.first;
        if (!among(entry.second))
            continue;
        if (c->idle() && now - c->lastRequest() >= IDLE_GRACE
            && (!idlest || c->lastRequest() < idlest->lastRequest()))
            idlest = c;
        if (!oldest || entry.second.order < oldestOrder) {
            oldest = c;
            oldestOrder = entry.second.order;
        }
    }
    MonitorClient *victim = idlest ? idlest : oldest;
    if (victim)
        victim->drop(); // leaves clients_ through its onDone
}

void MonitorService::onTick(time_t monotonicNow)
{
    ctx_.poller.watch(listen_, EPOLLIN);
    std::vector<MonitorClient *> all;
    for (const auto &entry : clients_)
        all.push_back(entry.first);
    for (MonitorClient *c : all)
        if (!c->retired())
            c->onTick(monotonicNow);
}
