// Name resolution off the event loop: a few worker threads call the blocking resolver and
// hands the answers back through an eventfd that the loop watches.
#ifndef VANTOR_PROXY_RESOLVER_H
#define VANTOR_PROXY_RESOLVER_H

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/proxy/IpAddress.h"

class Resolver {
public:
    struct Answer {
        uint64_t ticket = 0;
        bool found = false;
        std::vector<IpAddress> addrs; // the name's addresses, IPv4 and IPv6, to try in order
    };
    // Blocking look-up of one name; true with at least one address in *addrs when found.
    typedef std::function<bool(const std::string& name, std::vector<IpAddress>* addrs)>
        LookupFunction;

    // Look-ups waiting for a worker beyond this many are refused, so that a flood of
    // requests costs bounded memory and delay.
    static const size_t MAX_PENDING = 1024;

    // The default looks names up with getaddrinfo; tests pass their own.
    explicit Resolver(LookupFunction lookupFunction = systemLookup, int workers = 4,
                      size_t maxPending = MAX_PENDING);
    ~Resolver();
    Resolver(const Resolver&) = delete;
    Resolver& operator=(const Resolver&) = delete;

    // Readable when answers are waiting.
    int eventFd() const { return eventFd_; }
    // Queues a look-up; false when the queue is full.
    bool lookup(uint64_t ticket, const std::string& name);
    // Drops a queued look-up whose requester has gone, so that no worker spends time on
    // it. One already started still answers; the answer finds nobody waiting.
    void cancel(uint64_t ticket);
    // Moves a queued look-up behind all others. For a client that has closed its sending
    // side: it may still wait for the answer (a half-close) or have gone for good (a
    // close looks the same), so it must not delay the clients known to be waiting.
    void defer(uint64_t ticket);
    // The answers that arrived since the last call.
    std::vector<Answer> takeAnswers();

    static bool systemLookup(const std::string& name, std::vector<IpAddress>* addrs);

private:
    LookupFunction lookupFunction_;
    size_t maxPending_;
    int eventFd_;
    std::mutex mutex_;
    std::condition_variable wake_;
    typedef std::deque<std::pair<uint64_t, std::string>> Queue;
    Queue pending_;
    Queue deferred_; // served only when pending_ is empty
    std::vector<Answer> answers_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;

    void run();
    // The queued job of the ticket in q, or q.end().
    static Queue::iterator find(Queue& q, uint64_t ticket);
};

#endif
