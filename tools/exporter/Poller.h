// One server's poller: a thread of its own that polls the server's monitoring service on
// its own schedule and publishes a snapshot after each poll. The library's calls block (up
// to their time limit), so a slow or dead server holds up its own thread only; the HTTP
// side takes the snapshots under a short lock and never waits for a server.
#ifndef VANTOR_EXPORTER_POLLER_H
#define VANTOR_EXPORTER_POLLER_H

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "lib/monAPI.h"
#include "tools/exporter/ExporterOptions.h"
#include "tools/exporter/Metrics.h"
#include "tools/exporter/ServerAccount.h"

class Poller {
public:
    // The first poll comes after firstDelayMs, the next ones every intervalMs after it.
    Poller(const ServerConfig& server, const Setting& services, int maxUsers, int intervalMs,
           int firstDelayMs);
    ~Poller(); // stops the thread
    Poller(const Poller&) = delete;
    Poller& operator=(const Poller&) = delete;

    std::shared_ptr<const ServerSnapshot> Snapshot() const;

private:
    void Run();
    // One poll: the totals, then the connection list. False, with the reason, on failure.
    bool Poll(S5MonTot_t* totals, std::string* error);
    void Disconnect();
    void Publish(bool up, double seconds, const S5MonTot_t& totals, const std::string& error);

    ServerConfig server_;
    int intervalMs_;
    int firstDelayMs_;
    ServerAccount account_;
    S5MonHandle handle_ = nullptr;
    bool haveStart_ = false;
    S5Time serverStart_ = 0;
    double lastPollSeconds_ = 0;

    mutable std::mutex mutex_; // guards what follows
    std::condition_variable wake_;
    bool stop_ = false;
    int fd_ = -1; // the open handle's socket, shut down to end a read on stop
    std::shared_ptr<const ServerSnapshot> snapshot_;

    std::thread thread_; // last: starts once everything above is made
};

#endif
