// One monitor on the monitoring port (see MonitorClient.h).
#include "tools/proxy/MonitorClient.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "lib/monMsg.h"
#include "lib/monUnixTcp.h"

namespace {
// Room for a few pipelined requests.
const size_t IN_CAPACITY = 4 * (2 + MonitorClient::MAX_REQUEST);
// Replies are produced into this window and no further until the client reads them.
const size_t OUT_CAPACITY = 64 * 1024;
// The largest frame we send: a record is produced only when there is room for the longest one.
const size_t MAX_FRAME = 2 + MON_CONN_MAX_LEN;

// A 16-bit field of a request, in network byte order.
uint16_t be16(const uint8_t* p)
{
    return uint16_t(p[0] << 8 | p[1]);
}
} // namespace

MonitorClient::MonitorClient(ProxyContext& ctx, int fd, std::function<void(MonitorClient*)> onDone)
    : ctx_(ctx), onDone_(std::move(onDone)), in_(IN_CAPACITY), out_(OUT_CAPACITY),
      lastProgress_(monotonicSeconds()), busySince_(lastProgress_),
      lastRequest_(std::chrono::steady_clock::now()), lastActivity_(lastRequest_)
{
    sock_ = Watch{this, fd, 0, 0, false};
    if (!ctx_.poller.watch(sock_, EPOLLIN))
        drop();
}

MonitorClient::~MonitorClient()
{
    ctx_.poller.closeWatch(sock_);
}

void MonitorClient::onEvents(int, uint32_t events)
{
    if ((events & (EPOLLIN | EPOLLHUP | EPOLLERR)) && !peerDone_ && in_.space() > 0) {
        ssize_t n = in_.readFrom(sock_.fd);
        if (n < 0 && errno != EAGAIN) {
            drop(); // gone, possibly in the middle of a pass
            return;
        }
        // A monitor that has finished sending still gets the answers to what it sent.
        peerDone_ = n == 0;
    }
    produce();
    if (!retired())
        flush();
    if (retired())
        return;
    // Everything asked has been answered and nothing more can come: the monitor is done.
    if (peerDone_ && out_.empty() && pass_ == Pass::None) {
        drop();
        return;
    }
    // Reading stops while the input is full, writing is asked for only while replies wait: a slow
    // monitor holds its place without costing memory or waking the loop.
    uint32_t want = 0;
    if (!peerDone_ && in_.space() > 0)
        want |= EPOLLIN;
    if (!out_.empty())
        want |= EPOLLOUT;
    if (!ctx_.poller.watch(sock_, want))
        drop();
}

// The limits in time of a monitor with work under way: no progress for monitorTimeout, or
// one request (a whole pass) taking longer than monitorPassLimit, drops it. An idle one,
// with nothing to read or take, stays connected as long as it likes.
void MonitorClient::onTick(time_t monotonicNow)
{
    if (!busy()) {
        lastProgress_ = monotonicNow;
        busySince_ = monotonicNow;
    } else if (monotonicNow - lastProgress_ >= ctx_.options().monitorTimeout) {
        drop();
    } else if (monotonicNow - busySince_ >= ctx_.options().monitorPassLimit) {
        drop(); // read slowly, a pass makes progress yet holds its place without end
    }
}

// Busy while a request waits, a reply is unsent or a pass is under way.
bool MonitorClient::busy() const
{
    return !in_.empty() || !out_.empty() || pass_ != Pass::None;
}

// Answers requests and continues the pass in progress while there is room for replies.
void MonitorClient::produce()
{
    while (!retired() && out_.space() >= MAX_FRAME) {
        if (pass_ != Pass::None) {
            emitPassFrame();
            continue;
        }
        if (in_.size() < MON_FRAME_PREFIX_SIZE)
            return;
        size_t len = Mon_FramePrefixLength(in_.data());
        // No request is empty or longer than the longest the protocol knows; such a frame means the
        // client speaks something else.
        if (len == 0 || len > MAX_REQUEST) {
            drop();
            return;
        }
        // The rest of the frame has not come yet.
        if (in_.size() < 2 + len)
            return;
        if (!handleRequest(in_.data() + 2, len)) {
            drop();
            return;
        }
        in_.consume(2 + len);
        if (pass_ == Pass::None)
            answered_ = true; // a single answer, queued whole
    }
}

// A list request starts a pass over the serial numbers listed at that moment; its records
// are made one by one as the client reads, so a list of 100,000 connections never stands
// whole in memory. Any request the protocol does not know drops the client.
bool MonitorClient::handleRequest(const uint8_t* msg, size_t len)
{
    lastRequest_ = std::chrono::steady_clock::now();
    lastActivity_ = lastRequest_;
    // Answers still queued were not taken: a request sent behind them proves nothing.
    if (answered_ && out_.empty())
        proven_ = true;
    answered_ = false;
    time_t now = time(nullptr);
    switch (msg[0]) {
    case MON_MSG_GET_CONN: {
        // Each request has a fixed length; any other is malformed.
        if (len != MON_GET_CONN_LEN)
            return false;
        S5MonKey key;
        std::memcpy(key.key, msg + 1, sizeof key.key);
        uint64_t serial;
        S5MonData data;
        S5MonKey none{};
        if (ctx_.table.serialFromKey(key, &serial)
            && ctx_.table.toMonData(serial, none, now, &data)) {
            char reply[MON_CONN_MAX_LEN];
            queueFrame(reply, size_t(Mon_MsgFromConn(&data, reply)));
        } else {
            queueFrame(nullptr, 0); // no such connection
        }
        return true;
    }
    case MON_MSG_GET_NEXT_CONN:
        // The selector byte is accepted and ignored: every listed record is sent.
        if (len != MON_GET_NEXT_CONN_LEN)
            return false;
        passSerials_ = ctx_.table.serials();
        cursor_ = 0;
        pass_ = Pass::Conns;
        return true;
    case MON_MSG_GET_USER: {
        if (len < MON_GET_USER_LEN - MON_FREE_LEN)
            return false;
        // The name's descriptor: its length at byte 3, its offset in the free area at byte 5. Both
        // are checked against the request's length before the name is read.
        size_t nameLen = be16(msg + 3);
        size_t offset = be16(msg + 5);
        const size_t freeStart = MON_GET_USER_LEN - MON_FREE_LEN;
        std::string name;
        if (nameLen > 0) {
            if (freeStart + offset + nameLen > len)
                return false;
            const char* p = reinterpret_cast<const char*>(msg + freeStart + offset);
            // The name ends at its length or at a zero byte, whichever comes first.
            name.assign(p, strnlen(p, nameLen));
        }
        S5MonUser_t user;
        if (ctx_.table.toUser(name, now, &user)) {
            char reply[MON_USER_MAX_LEN];
            queueFrame(reply, size_t(Mon_MsgFromUser(&user, reply)));
        } else {
            queueFrame(nullptr, 0); // no such user
        }
        return true;
    }
    // Users are listed as connections are, from a copy of the names taken now.
    case MON_MSG_GET_NEXT_USER:
        if (len != MON_GET_NEXT_USER_LEN)
            return false;
        passUsers_ = ctx_.table.userNames();
        cursor_ = 0;
        pass_ = Pass::Users;
        return true;
    case MON_MSG_GET_TOT: {
        if (len != MON_GET_TOT_LEN)
            return false;
        S5MonTot_t tot = ctx_.table.totals(now);
        char reply[MON_TOT_LEN];
        queueFrame(reply, size_t(Mon_MsgFromTot(&tot, reply)));
        return true;
    }
    default:
        return false;
    }
}

// One record of the pass in progress, or the empty frame that ends it. Records that
// expired since the pass began are skipped.
bool MonitorClient::emitPassFrame()
{
    time_t now = time(nullptr);
    if (pass_ == Pass::Conns) {
        while (cursor_ < passSerials_.size()) {
            uint64_t serial = passSerials_[cursor_++];
            S5MonKey next{};
            // Each record names the next one's key, so a client can follow the chain.
            if (cursor_ < passSerials_.size())
                next = ctx_.table.keyOf(passSerials_[cursor_]);
            S5MonData data;
            if (ctx_.table.toMonData(serial, next, now, &data)) {
                char reply[MON_CONN_MAX_LEN];
                queueFrame(reply, size_t(Mon_MsgFromConn(&data, reply)));
                return true;
            }
        }
    } else {
        while (cursor_ < passUsers_.size()) {
            S5MonUser_t user;
            if (ctx_.table.toUser(passUsers_[cursor_++], now, &user)) {
                char reply[MON_USER_MAX_LEN];
                queueFrame(reply, size_t(Mon_MsgFromUser(&user, reply)));
                return true;
            }
        }
    }
    queueFrame(nullptr, 0);
    pass_ = Pass::None;
    answered_ = true;
    passSerials_.clear();
    passUsers_.clear();
    return false;
}

// A frame: the 2-byte big-endian length, then the message; an empty frame ends a list.
void MonitorClient::queueFrame(const char* msg, size_t len)
{
    unsigned char prefix[MON_FRAME_PREFIX_SIZE];
    Mon_PutFramePrefix(prefix, static_cast<uint16_t>(len));
    out_.append(prefix, sizeof prefix);
    if (len > 0)
        out_.append(msg, len);
}

void MonitorClient::flush()
{
    // A bounded number of rounds per wake-up, so that a long pass to a fast reader
    // does not hold up the relays.
    for (int round = 0; round < 16 && !out_.empty(); ++round) {
        ssize_t n = out_.writeTo(sock_.fd);
        if (n < 0) {
            if (errno != EAGAIN)
                drop();
            return;
        }
        lastProgress_ = monotonicSeconds();
        lastActivity_ = std::chrono::steady_clock::now();
        produce();
        if (retired())
            return;
    }
}

// The one way a monitor ends: its socket closes and it is deleted after the current batch of
// events, so no event of this batch reaches a deleted object.
void MonitorClient::drop()
{
    if (retired())
        return;
    ctx_.poller.closeWatch(sock_);
    onDone_(this);
    ctx_.poller.retire(this);
}
