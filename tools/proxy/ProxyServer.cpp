// The running proxy (see ProxyServer.h): start-up, reloads on SIGHUP, the once-a-second
// tick and the loop.
#include "tools/proxy/ProxyServer.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/proxy/NetUtil.h"

ProxyServer::ProxyServer(const ProxyCommandLine& commandLine, ProxySettings settings)
    : commandLine_(commandLine),
      table_(uint32_t(getpid()), time(nullptr), size_t(settings.options.maxRecords)),
      ctx_{poller_, table_, resolver_, log_,
           std::make_shared<const ProxySettings>(std::move(settings))}
{
    if (ctx_.options().logToSyslog)
        log_.useSyslog();
    resolverWatch_ = Watch{this, -1, 0, 0, false};
}

ProxyServer::~ProxyServer()
{
    socks_.reset();
    monitor_.reset();
    // The resolver closes its own descriptor; only leave the set here.
    poller_.watch(resolverWatch_, 0);
}

// Opens every listener before serving anything, so that a port that cannot be had stops
// the start with a message instead of leaving a half-open proxy. The listeners' addresses
// are kept (ctx_.listeners) so that no client can relay to the proxy itself.
bool ProxyServer::start(std::string* error)
{
    if (!poller_.ok() || resolver_.eventFd() < 0) {
        *error = std::string("cannot set up the event loop: ") + std::strerror(errno);
        return false;
    }
    const ProxyOptions& options = ctx_.options();
    std::vector<int> socksFds;
    std::vector<sockaddr_storage> socksBound;
    std::string socksText;
    for (const Endpoint& e : options.socksAddrs) {
        // An open relay is what a SOCKS server must never become by accident.
        if (!isLoopback(e.ip) && !ctx_.settings->authentication())
            log_.warning(endpointText(e)
                         + " is reachable from other hosts and requires no authentication (see "
                           "--users)");
        int fd = openListener(e, 1024, error);
        if (fd < 0) {
            for (int opened : socksFds)
                close(opened);
            return false;
        }
        socksFds.push_back(fd);
        socksBound.push_back(localAddress(fd));
        socksText += (socksText.empty() ? "" : " ") + addrPortText(socksBound.back());
    }
    socks_.reset(new SocksServer(ctx_, socksFds));
    int monitorFd = openListener(options.monitorAddr, 64, error);
    if (monitorFd < 0)
        return false;
    monitor_.reset(new MonitorService(ctx_, monitorFd));
    sockaddr_storage monitorBound = localAddress(monitorFd);
    ctx_.listeners = socksBound;
    ctx_.listeners.push_back(monitorBound);
    resolverWatch_.fd = resolver_.eventFd();
    poller_.watch(resolverWatch_, EPOLLIN);
    log_.info("SOCKS on " + socksText + ", monitoring on " + addrPortText(monitorBound) + "; "
              + settingsSummary(*ctx_.settings));
    if (!options.readyFile.empty())
        return writeReadyFile(socksBound, monitorBound, error);
    return true;
}

int ProxyServer::openListener(const Endpoint& e, int backlog, std::string* error)
{
    int fd = listenOn(socketAddress(e), backlog);
    if (fd < 0)
        *error = "cannot listen on " + endpointText(e) + ": " + std::strerror(errno);
    return fd;
}

// Written to a temporary name and renamed, so that a reader never sees half of it. A line
// per SOCKS address, in the order given.
bool ProxyServer::writeReadyFile(const std::vector<sockaddr_storage>& socks,
                                 const sockaddr_storage& monitor, std::string* error)
{
    const std::string& readyFile = ctx_.options().readyFile;
    std::string temp = readyFile + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "w");
    if (!f) {
        *error = temp + ": " + std::strerror(errno);
        return false;
    }
    for (const sockaddr_storage& a : socks)
        std::fprintf(f, "socks %s\n", addrPortText(a).c_str());
    std::fprintf(f, "monitor %s\n", addrPortText(monitor).c_str());
    if (std::fclose(f) != 0 || std::rename(temp.c_str(), readyFile.c_str()) != 0) {
        *error = readyFile + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// The loop: events for at most a second at a time, then the reload asked for by SIGHUP
// (the signal handler only sets a flag; the work is done here, between events), then, once
// a second, the tick that ends slow handshakes, idle monitors and UDP associations and
// expires old records. One thread does it all, so no record needs a lock.
void ProxyServer::run(volatile std::sig_atomic_t* stop, volatile std::sig_atomic_t* reload)
{
    time_t lastTick = monotonicSeconds();
    while (!*stop) {
        poller_.runOnce(1000);
        if (*reload) {
            *reload = 0;
            this->reload();
        }
        time_t now = monotonicSeconds();
        if (now != lastTick) {
            lastTick = now;
            socks_->onTick(now);
            monitor_->onTick(now);
            table_.expire(time(nullptr), ctx_.options().retentionSeconds);
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
    log_.info("more than " + std::to_string(ctx_.options().maxRecords)
              + " connections to list: the records that ended first are dropped and counted "
                "as deleted (see --max-records)");
}

// A reload reads everything again and takes it only when it has no mistake: the proxy
// never runs on half a configuration. Settings that only a restart can change are said to
// stay as they are. Sessions under way keep their snapshot.
void ProxyServer::reload()
{
    ProxySettings fresh;
    std::vector<std::string> unchanged;
    ConfigErrors errors = reloadProxySettings(commandLine_, *ctx_.settings, &fresh, &unchanged);
    if (!errors.empty()) {
        log_.warning("reload refused for the mistakes that follow; the settings in force stay");
        for (const ConfigError& e : errors.listed())
            log_.warning(e.place.empty() ? e.message : e.place + ": " + e.message);
        if (errors.count() > errors.listed().size())
            log_.warning(std::to_string(errors.count() - errors.listed().size())
                         + " more mistakes not listed");
        return;
    }
    for (const std::string& what : unchanged)
        log_.warning("reload: " + what + " changed, but stays as it is until a restart");
    ctx_.settings = std::make_shared<const ProxySettings>(std::move(fresh));
    log_.info("reloaded: " + settingsSummary(*ctx_.settings));
}

// The resolver's eventfd is readable: answers of name look-ups wait for their sessions.
void ProxyServer::onEvents(int, uint32_t)
{
    socks_->deliverAnswers();
}
