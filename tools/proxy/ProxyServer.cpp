#include "tools/proxy/ProxyServer.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/proxy/NetUtil.h"

ProxyServer::ProxyServer(const ProxyOptions &options)
    : options_(options),
      table_(uint32_t(getpid()), time(nullptr), size_t(options.maxRecords)), ctx_{poller_, table_,
                                                                                  resolver_,
                                                                                  nullptr, options}
{
    resolverWatch_ = Watch{this, -1, 0, 0, false};
}

ProxyServer::~ProxyServer()
{
    socks_.reset();
    monitor_.reset();
    // The resolver closes its own descriptor; only leave the set here.
    poller_.watch(resolverWatch_, 0);
}

bool ProxyServer::start(std::string *error)
{
    if (!poller_.ok() || resolver_.eventFd() < 0) {
        *error = std::string("cannot set up the event loop: ") + std::strerror(errno);
        return false;
    }
    if (!options_.usersFile.empty()) {
        if (!users_.load(options_.usersFile, error))
            return false;
        ctx_.users = &users_;
    }
    // Listening on IPv6 and on several SOCKS addresses is still to come.
    sockaddr_in socksAddr, monitorAddr;
    if (options_.socksAddrs.size() != 1 || !ipv4SocketAddress(options_.socksAddrs[0], &socksAddr)
        || !ipv4SocketAddress(options_.monitorAddr, &monitorAddr)) {
        *error = "this version listens on one IPv4 SOCKS address and an IPv4 monitoring "
                 "address only";
        return false;
    }
    if (!isLoopback(socksAddr) && !ctx_.users)
        std::fprintf(stderr,
                     "vantor-proxy: warning: %s is reachable from other hosts and "
                     "requires no authentication (see --users)\n",
                     addrPortText(socksAddr).c_str());
    int socksFd = listenOn(socksAddr, 1024);
    if (socksFd < 0) {
        *error = "cannot listen on " + addrPortText(socksAddr) + ": " + std::strerror(errno);
        return false;
    }
    socks_.reset(new SocksServer(ctx_, socksFd));
    int monitorFd = listenOn(monitorAddr, 64);
    if (monitorFd < 0) {
        *error = "cannot listen on " + addrPortText(monitorAddr) + ": " + std::strerror(errno);
        return false;
    }
    monitor_.reset(new MonitorService(ctx_, monitorFd));
    ctx_.listeners = {localAddress(socksFd), localAddress(monitorFd)};
    resolverWatch_.fd = resolver_.eventFd();
    poller_.watch(resolverWatch_, EPOLLIN);
    if (!options_.readyFile.empty())
        return writeReadyFile(localAddress(socksFd), localAddress(monitorFd), error);
    return true;
}

// Written to a temporary name and renamed, so that a reader never sees half of it.
bool ProxyServer::writeReadyFile(const sockaddr_in &socks, const sockaddr_in &monitor,
                                 std::string *error)
{
    std::string temp = options_.readyFile + ".tmp";
    FILE *f = std::fopen(temp.c_str(), "w");
    if (!f) {
        *error = temp + ": " + std::strerror(errno);
        return false;
    }
    std::fprintf(f, "socks %s\nmonitor %s\n", addrPortText(socks).c_str(),
                 addrPortText(monitor).c_str());
    if (std::fclose(f) != 0 || std::rename(temp.c_str(), options_.readyFile.c_str()) != 0) {
        *error = options_.readyFile + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void ProxyServer::run(volatile std::sig_atomic_t *stop)
{
    time_t lastTick = monotonicSeconds();
    while (!*stop) {
        poller_.runOnce(1000);
        time_t now = monotonicSeconds();
        if (now != lastTick) {
            lastTick = now;
            socks_->onTick(now);
            monitor_->onTick(now);
            table_.expire(time(nullptr), options_.retentionSeconds);
            reportDrops();
        }
    }
}

// Said once: from then on the totals' deleted count holds the drops.
void ProxyServer::reportDrops()
{
    if (dropsReported_ || table_.dropped() == 0)
        return;
    dropsReported_ = true;
    std::fprintf(stderr,
                 "vantor-proxy: more than %d connections to list: the records that "
                 "ended first are dropped and counted as deleted (see --max-records)\n",
                 options_.maxRecords);
}

void ProxyServer::onEvents(int, uint32_t)
{
    socks_->deliverAnswers();
}
