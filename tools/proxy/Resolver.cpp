// The resolver's worker threads and their queue (see Resolver.h).
#include "tools/proxy/Resolver.h"

#include <netdb.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

// Several workers (4 by default), so that one slow name does not hold up the others.
Resolver::Resolver(LookupFunction lookupFunction, int workers, size_t maxPending)
    : lookupFunction_(std::move(lookupFunction)), maxPending_(maxPending),
      eventFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    for (int i = 0; i < workers; ++i)
        workers_.emplace_back(&Resolver::run, this);
}

Resolver::~Resolver()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // A look-up under way cannot be interrupted; the destructor waits for it, so the workers
        // never outlive the queue they read.
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_)
        t.join();
    if (eventFd_ >= 0)
        close(eventFd_);
}

// The queue is bounded (maxPending): a client sending names faster than they resolve is
// refused a look-up instead of growing the queue without end.
bool Resolver::lookup(uint64_t ticket, const std::string& name)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (pending_.size() + deferred_.size() >= maxPending_)
            return false;
        pending_.emplace_back(ticket, name);
    }
    wake_.notify_one();
    return true;
}

// A linear search: the queue is bounded and short.
Resolver::Queue::iterator Resolver::find(Queue& q, uint64_t ticket)
{
    for (auto it = q.begin(); it != q.end(); ++it)
        if (it->first == ticket)
            return it;
    return q.end();
}

// A session that ended no longer needs its answer; a look-up already running finishes and
// its answer finds no session.
void Resolver::cancel(uint64_t ticket)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (Queue* q : {&pending_, &deferred_}) {
        auto it = find(*q, ticket);
        if (it != q->end()) {
            q->erase(it);
            return;
        }
    }
}

// A client that may have gone (it closed its sending side) waits behind the ones that
// certainly have not: workers take deferred look-ups only when nothing else waits.
void Resolver::defer(uint64_t ticket)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = find(pending_, ticket);
    if (it == pending_.end())
        return;
    deferred_.push_back(std::move(*it));
    pending_.erase(it);
}

// Both families, in the order the system prefers them, each address once.
bool Resolver::systemLookup(const std::string& name, std::vector<IpAddress>* addrs)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    // One socket type, or every address would come back once per type.
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0)
        return false;
    for (addrinfo* i = result; i; i = i->ai_next) {
        sockaddr_storage a{};
        // Copied, never read past what the resolver gave.
        std::memcpy(&a, i->ai_addr, std::min(size_t(i->ai_addrlen), sizeof a));
        IpAddress ip = ipAddressOf(a);
        if (ip.family != 0 && std::find(addrs->begin(), addrs->end(), ip) == addrs->end())
            addrs->push_back(ip);
    }
    freeaddrinfo(result);
    return !addrs->empty();
}

// Called by the loop when the eventfd is readable: the counter is drained first, then every answer
// queued so far is taken, so none is left waiting for another wake-up.
std::vector<Resolver::Answer> Resolver::takeAnswers()
{
    uint64_t count;
    while (read(eventFd_, &count, sizeof count) > 0) {}
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Answer> out;
    out.swap(answers_);
    return out;
}

// A worker: the blocking look-up runs without the lock; the answer is queued and the loop
// woken through the eventfd, so that only the loop's thread touches sessions.
void Resolver::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty() || !deferred_.empty(); });
        // Pending look-ups are dropped: nobody is left to take their answers.
        if (stopping_)
            return;
        Queue& from = pending_.empty() ? deferred_ : pending_;
        auto job = std::move(from.front());
        from.pop_front();
        lock.unlock();

        Answer answer;
        answer.ticket = job.first;
        answer.found = lookupFunction_(job.second, &answer.addrs) && !answer.addrs.empty();

        lock.lock();
        answers_.push_back(answer);
        uint64_t one = 1;
        if (write(eventFd_, &one, sizeof one) < 0) {
            // The counter is only a wake-up signal; a full counter already wakes the loop.
        }
    }
}
