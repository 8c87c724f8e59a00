// One server's polling thread of the exporter (see Poller.h).
#include "tools/exporter/Poller.h"

#include <errno.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <chrono>

namespace {

// The wall clock, for the "last poll" time a person reads; durations use the steady clock.
double WallSeconds()
{
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    return tv.tv_sec + tv.tv_usec / 1e6;
}

// Why a poll failed, in the words an operator needs, from the errno the library left.
std::string FailureReason(int err)
{
    switch (err) {
    case ECONNREFUSED:
        return "connection refused";
    case ETIMEDOUT:
        return "timed out";
    // The library's own code for a name it could not resolve.
    case ESRCH:
        return "the host name cannot be resolved";
    case ECONNRESET:
    case EPIPE:
        return "the server closed the connection";
    case EMSGSIZE:
    case EPROTO:
    case EBADMSG:
    case EINVAL:
        return "the server does not answer as a monitoring service";
    case 0:
        return "the server's answer could not be read";
    default:
        return strerror(err);
    }
}

} // namespace

Poller::Poller(const ServerConfig& server, const Setting& services, int maxUsers, int intervalMs,
               int firstDelayMs)
    : server_(server), intervalMs_(intervalMs), firstDelayMs_(firstDelayMs),
      account_(services, maxUsers)
{
    // Until the first poll ends, a scrape sees the server as not yet polled, with its services
    // listed at zero so the series exist from the start.
    auto first = std::make_shared<ServerSnapshot>();
    first->name = server_.name;
    first->address = server_.address;
    first->byService = account_.ByService();
    snapshot_ = first;
    // Started last, when every member the thread reads is set.
    thread_ = std::thread(&Poller::Run, this);
}

Poller::~Poller()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        if (fd_ >= 0)
            shutdown(fd_, SHUT_RDWR); // a read under way ends at once
    }
    wake_.notify_all();
    thread_.join();
    // The thread has ended, so the handle is no longer in use.
    Disconnect();
}

std::shared_ptr<const ServerSnapshot> Poller::Snapshot() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return snapshot_;
}

// The thread's loop: wait until the next poll is due (or the exporter stops), poll,
// publish. A failed poll closes the connection, so the next one connects afresh.
void Poller::Run()
{
    using Clock = std::chrono::steady_clock;
    // The first polls of the servers are spread out, so they do not all start at the same instant.
    auto due = Clock::now() + std::chrono::milliseconds(firstDelayMs_);
    const auto interval = std::chrono::milliseconds(intervalMs_);
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (wake_.wait_until(lock, due, [this] { return stop_; }))
                return;
        }
        auto start = Clock::now();
        S5MonTot_t totals{};
        std::string error;
        bool up = Poll(&totals, &error);
        std::chrono::duration<double> took = Clock::now() - start;
        // A failed poll keeps the time of the last good one, so it shows how stale the figures are.
        if (up)
            lastPollSeconds_ = WallSeconds();
        else
            Disconnect();
        Publish(up, took.count(), totals, error);
        // A poll that overran its interval skips the polls it missed instead of piling up.
        due += interval;
        while (due <= Clock::now())
            due += interval;
    }
}

// One poll: the totals first (their start time tells a restarted server), then the whole
// connection list into the account. The list is bounded as the window bounds it.
bool Poller::Poll(S5MonTot_t* totals, std::string* error)
{
    errno = 0;
    if (!handle_) {
        S5MonHandle h = nullptr;
        if (S5MonNetOpen(server_.address.c_str(), MON_CLIENT_NETWORK, &h) != 0) {
            *error = "cannot connect: " + FailureReason(errno);
            return false;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        // Published under the lock, so the destructor can shut the socket down to end a blocking
        // read.
        handle_ = h;
        fd_ = S5MonDescriptor(h);
        // The exporter stopped while we were connecting; the destructor closes the handle.
        if (stop_)
            return false;
        account_.Reset(); // a new connection: the next complete pass is a baseline
    }
    if (S5MonGetTot(handle_, totals) != 0) {
        *error = "reading the totals failed: " + FailureReason(errno);
        return false;
    }
    // A server that started again lists new connections under keys that may repeat old ones.
    if (haveStart_ && totals->startTime != serverStart_)
        account_.Reset();
    haveStart_ = true;
    serverStart_ = totals->startTime;
    account_.BeginPass();
    S5MonData record;
    int r;
    size_t records = 0;
    while ((r = S5MonRecvNextData(handle_, 0, &record)) == 1) {
        // A pass is abandoned whole rather than counted in part: half a list would look like
        // connections that ended.
        if (++records > MON_LIST_RECORDS_MAX) {
            *error = "the server lists more than " + std::to_string(MON_LIST_RECORDS_MAX)
                + " connections";
            return false;
        }
        account_.Add(record);
    }
    if (r != 0) {
        *error = "reading the connections failed: " + FailureReason(errno);
        return false;
    }
    // Only a complete pass is counted.
    account_.EndPass();
    return true;
}

void Poller::Disconnect()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (handle_)
        S5MonClose(handle_);
    handle_ = nullptr;
    fd_ = -1;
}

// A fresh snapshot each time, swapped in under the lock: a scrape holding the old one reads it
// undisturbed while the next pass is counted.
void Poller::Publish(bool up, double seconds, const S5MonTot_t& totals, const std::string& error)
{
    auto s = std::make_shared<ServerSnapshot>();
    s->name = server_.name;
    s->address = server_.address;
    s->polled = true;
    s->up = up;
    s->pollDurationSeconds = seconds;
    s->lastPollSeconds = lastPollSeconds_;
    s->lastError = error;
    s->totals = totals;
    s->byService = account_.ByService();
    s->byUser = account_.ByUser();
    std::lock_guard<std::mutex> lock(mutex_);
    snapshot_ = std::move(s);
}
