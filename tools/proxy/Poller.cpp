// The proxy's epoll loop (see Poller.h).
#include "tools/proxy/Poller.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>

Poller::Poller() : epfd_(epoll_create1(EPOLL_CLOEXEC))
{}

Poller::~Poller()
{
    if (epfd_ >= 0)
        close(epfd_);
}

bool Poller::watch(Watch& w, uint32_t events)
{
    if (w.added && w.events == events)
        return true;
    // A descriptor with nothing wanted leaves the set: epoll would otherwise keep
    // reporting a hang-up on it that nobody can act on yet.
    if (events == 0) {
        if (w.added)
            epoll_ctl(epfd_, EPOLL_CTL_DEL, w.fd, nullptr);
        w.added = false;
        w.events = 0;
        return true;
    }
    epoll_event ev{};
    ev.events = events;
    ev.data.ptr = &w;
    if (epoll_ctl(epfd_, w.added ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, w.fd, &ev) != 0)
        return false;
    w.added = true;
    w.events = events;
    return true;
}

void Poller::closeWatch(Watch& w)
{
    if (w.fd < 0)
        return;
    if (w.added)
        epoll_ctl(epfd_, EPOLL_CTL_DEL, w.fd, nullptr);
    close(w.fd);
    w.fd = -1;
    w.added = false;
    w.events = 0;
}

// Deletion is put off to the end of the batch (see runOnce).
void Poller::retire(EventHandler* h)
{
    if (h->retired_)
        return;
    h->retired_ = true;
    retired_.emplace_back(h);
}

// One wait and one batch of events. A handler retired by an earlier event of the batch is
// skipped, and the retired ones are deleted only once the batch is done: events further on
// may still name them.
bool Poller::runOnce(int timeoutMs)
{
    epoll_event events[256];
    int n = epoll_wait(epfd_, events, 256, timeoutMs);
    if (n < 0)
        return errno != EINTR;
    for (int i = 0; i < n; ++i) {
        Watch* w = static_cast<Watch*>(events[i].data.ptr);
        if (!w->handler->retired() && w->fd >= 0)
            w->handler->onEvents(w->tag, events[i].events);
    }
    retired_.clear();
    return true;
}
