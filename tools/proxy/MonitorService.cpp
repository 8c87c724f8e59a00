// The monitoring listener and its limits (see MonitorService.h).
#include "tools/proxy/MonitorService.h"

#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <chrono>
#include <vector>

#include "tools/common/SendAtOnce.h"
#include "tools/proxy/AcceptBatch.h"
#include "tools/proxy/MonitorClient.h"
#include "tools/proxy/NetUtil.h"

MonitorService::MonitorService(ProxyContext& ctx, int listenFd) : ctx_(ctx)
{
    listen_ = Watch{this, listenFd, 0, 0, false};
    // Listening again, in case a lack of descriptors had made acceptBatch pause it.
    ctx_.poller.watch(listen_, EPOLLIN);
}

MonitorService::~MonitorService()
{
    for (auto& entry : clients_)
        delete entry.first;
    ctx_.poller.closeWatch(listen_);
    // The refusals are summed into one line at the end rather than logged one by one, so a flood
    // cannot flood the log too.
    if (refusedAddress_ + refusedRate_ + refusedFull_ > 0)
        ctx_.log.info(std::to_string(refusedAddress_)
                      + " monitor connections refused from addresses outside monitor-allow, "
                      + std::to_string(refusedRate_) + " over the rate of their address, "
                      + std::to_string(refusedFull_)
                      + " while every place was held by proven monitors");
}

// Admission runs cheapest check first: monitor-allow by address (refused before the
// address may take a bucket, so strangers cannot fill the bucket table), then the rate per
// address, then the room among monitors. Sixteen accepts at most per wake-up, so that a
// flood of monitors cannot hold up the relays.
void MonitorService::onEvents(int, uint32_t)
{
    acceptBatch(ctx_, listen_, 16, [this](int fd, const sockaddr_storage& peer) {
        if (!ctx_.options().rules.monitorAllowed(ipAddressOf(peer))) {
            refusedAddress_++; // before its address takes a bucket
            close(fd);
            ctx_.log.info("monitor " + addrPortText(peer) + " refused: not in monitor-allow");
            return;
        }
        std::string address = addrText(peer);
        if (!takeToken(address)) {
            refusedRate_++;
            close(fd);
            return;
        }
        if (!makeRoomFor(address)) {
            refusedFull_++;
            close(fd);
            return;
        }
        SendAtOnce(fd);
        auto* client = new MonitorClient(ctx_, fd, [this](MonitorClient* c) { clients_.erase(c); });
        // A client whose socket could not be watched has already dropped itself.
        if (!client->retired())
            clients_[client] = Admission{address, admitted_++};
    });
}

// A token bucket per client address: it holds monitorRate tokens and fills at monitorRate a
// second, so a monitor that reconnects in a loop is slowed to that rate while ordinary
// ones, which connect once, never notice it.
bool MonitorService::takeToken(const std::string& address)
{
    auto now = std::chrono::steady_clock::now();
    double capacity = ctx_.options().monitorRate;
    auto found = buckets_.find(address);
    // A new address starts with a full bucket.
    if (found == buckets_.end())
        found = buckets_.emplace(address, Bucket{capacity, now}).first;
    Bucket& b = found->second;
    std::chrono::duration<double> passed = now - b.filled;
    b.tokens = std::min(capacity, b.tokens + passed.count() * capacity);
    b.filled = now;
    if (b.tokens < 1.0)
        return false;
    b.tokens -= 1.0;
    return true;
}

// A full service makes room rather than refuse: a newcomer displaces the idlest monitor
// that has not yet proven itself with a request, of its own address first. A real monitor
// polls and stays; a crowd of silent connections cannot lock the window out.
bool MonitorService::makeRoomFor(const std::string& address)
{
    size_t fromAddress = 0;
    for (const auto& entry : clients_)
        fromAddress += entry.second.address == address ? 1 : 0;
    if (fromAddress >= size_t(ctx_.options().monitorsPerAddress))
        return dropOne([&address](const Admission& a) { return a.address == address; });
    if (clients_.size() >= MAX_MONITORS)
        return dropOne([](const Admission&) { return true; });
    return true;
}

// The victim is the one idle longest among those that match and have not proven themselves; false
// when every one has.
bool MonitorService::dropOne(const std::function<bool(const Admission&)>& among)
{
    MonitorClient* victim = nullptr;
    for (const auto& entry : clients_) {
        MonitorClient* c = entry.first;
        if (!among(entry.second) || c->proven())
            continue;
        if (!victim || c->lastActivity() < victim->lastActivity())
            victim = c;
    }
    if (!victim)
        return false;
    victim->drop(); // leaves clients_ through its onDone
    return true;
}

void MonitorService::onTick(time_t monotonicNow)
{
    ctx_.poller.watch(listen_, EPOLLIN);
    // Buckets that have filled up again are as good as new: they are forgotten.
    auto now = std::chrono::steady_clock::now();
    for (auto it = buckets_.begin(); it != buckets_.end();) {
        std::chrono::duration<double> passed = now - it->second.filled;
        if (it->second.tokens + passed.count() * ctx_.options().monitorRate
            >= ctx_.options().monitorRate)
            it = buckets_.erase(it);
        else
            ++it;
    }
    // A copy: a client dropped by its tick leaves clients_ while we walk.
    std::vector<MonitorClient*> all;
    for (const auto& entry : clients_)
        all.push_back(entry.first);
    for (MonitorClient* c : all)
        if (!c->retired())
            c->onTick(monotonicNow);
}
