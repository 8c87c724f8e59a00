// The proxy's single event loop: epoll over non-blocking descriptors, each watched on
// behalf of a handler. Handlers that finish are retired and deleted only after the
// current batch of events, so that a later event of the batch never reaches freed memory.
#ifndef VANTOR_PROXY_POLLER_H
#define VANTOR_PROXY_POLLER_H

#include <cstdint>
#include <memory>
#include <vector>

class EventHandler {
public:
    virtual ~EventHandler() = default;
    // events are epoll bits; tag tells which of the handler's descriptors is ready.
    virtual void onEvents(int tag, uint32_t events) = 0;
    bool retired() const { return retired_; }

private:
    friend class Poller;
    bool retired_ = false;
};

// One watched descriptor. Keeps the interest set so that unchanged interest costs nothing.
struct Watch {
    EventHandler* handler = nullptr;
    int fd = -1;
    int tag = 0;
    uint32_t events = 0;
    bool added = false;
};

class Poller {
public:
    Poller();
    ~Poller();
    Poller(const Poller&) = delete;
    Poller& operator=(const Poller&) = delete;

    bool ok() const { return epfd_ >= 0; }
    // Sets the interest of a watch (registering it when needed, dropping it from the set
    // when events is 0); returns false on error.
    bool watch(Watch& w, uint32_t events);
    // Stops watching and closes the descriptor.
    void closeWatch(Watch& w);
    // Takes ownership of a finished handler and deletes it after the current batch.
    void retire(EventHandler* h);
    // Waits up to timeoutMs and dispatches; returns false when interrupted by a signal.
    bool runOnce(int timeoutMs);

private:
    int epfd_;
    std::vector<std::unique_ptr<EventHandler>> retired_;
};

#endif
