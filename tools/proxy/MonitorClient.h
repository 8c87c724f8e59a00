// One client of the monitoring port. Requests arrive as frames (2-byte big-endian length,
// then the message); replies are produced only as fast as the client reads them, so a
// slow or stalled monitor costs a bounded amount of memory and never blocks the loop.
#ifndef VANTOR_PROXY_MONITORCLIENT_H
#define VANTOR_PROXY_MONITORCLIENT_H

#include <chrono>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "tools/proxy/ByteBuffer.h"
#include "tools/proxy/Poller.h"
#include "tools/proxy/ProxyContext.h"

class MonitorClient : public EventHandler {
public:
    // The largest request a monitor sends (the user request); longer frames are refused.
    static const size_t MAX_REQUEST = MON_GET_USER_LEN;

    MonitorClient(ProxyContext& ctx, int fd, std::function<void(MonitorClient*)> onDone);
    ~MonitorClient() override;

    void onEvents(int tag, uint32_t events) override;
    // Drops the monitor when it has kept work pending without progress for too long, or
    // when it has been busy with answers for longer than the pass limit.
    void onTick(time_t monotonicNow);
    // No request outstanding: nothing received, nothing left to send, no pass going on.
    bool idle() const { return !busy(); }
    // When the last request arrived, or the monitor was accepted.
    std::chrono::steady_clock::time_point lastRequest() const { return lastRequest_; }
    // When the monitor last did anything: was accepted, sent a request, or took answers.
    std::chrono::steady_clock::time_point lastActivity() const { return lastActivity_; }
    // Whether it has shown that it reads what it asks for: it sent a request after the
    // answers to an earlier one had all been taken by its connection.
    bool proven() const { return proven_; }
    // Closes the connection and retires the monitor.
    void drop();

private:
    enum class Pass { None, Conns, Users };

    ProxyContext& ctx_;
    std::function<void(MonitorClient*)> onDone_;
    Watch sock_;
    ByteBuffer in_, out_;
    Pass pass_ = Pass::None;
    std::vector<uint64_t> passSerials_;
    std::vector<std::string> passUsers_;
    size_t cursor_ = 0;
    bool peerDone_ = false; // the monitor has shut down its sending side
    time_t lastProgress_;
    time_t busySince_; // since when answers have been pending without a break
    std::chrono::steady_clock::time_point lastRequest_;
    std::chrono::steady_clock::time_point lastActivity_;
    bool answered_ = false; // an answer or a pass has been completed
    bool proven_ = false;

    void produce();
    bool handleRequest(const uint8_t* msg, size_t len);
    bool emitPassFrame();
    void queueFrame(const char* msg, size_t len);
    void flush();
    bool busy() const;
};

#endif
