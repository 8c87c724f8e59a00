// One client of vantor-monsim: frames in, replies out, and the fault it was started with
// (a close, a cut or oversized frame, lying descriptors, a stall, an endless or trickling
// list), which the window's and the library's tests rely on.
#include "tools/monsim/Session.h"

#include <arpa/inet.h>
#include <errno.h>
#include <chrono>
#include <memory>
#include <string>
#include <string.h>
#include <thread>
#include <vector>
#include <unistd.h>

#include "lib/monUnixTcp.h"

namespace {

// Moves all len bytes with read or write, retrying after signals; false at end of file or error.
template <typename Buffer, typename Transfer>
bool TransferAll(int fd, Buffer* buf, size_t len, Transfer transfer)
{
    while (len > 0) {
        ssize_t n = transfer(fd, buf, len);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        buf += n;
        len -= static_cast<size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const char* buf, size_t len)
{
    return TransferAll(fd, buf, len, [](int f, const char* p, size_t l) { return write(f, p, l); });
}

bool ReadAll(int fd, char* buf, size_t len)
{
    return TransferAll(fd, buf, len, [](int f, char* p, size_t l) { return read(f, p, l); });
}

// The frames of one answer, written in batches of about 64 KiB instead of two writes per
// frame; the faults that shape single writes send each frame at once.
class FrameOut {
public:
    FrameOut(int fd, Fault fault) : fd_(fd), fault_(fault) {}

    // Every frame is a two-byte length followed by the message; an empty frame ends a list.
    bool Frame(const char* msg, uint16_t len)
    {
        unsigned char prefix[MON_FRAME_PREFIX_SIZE];
        Mon_PutFramePrefix(prefix, len);
        if (fault_ == Fault::SplitPrefix || fault_ == Fault::Trickle) {
            std::string frame(reinterpret_cast<char*>(prefix), sizeof prefix);
            frame.append(msg, len);
            return Flush() && WriteShaped(frame);
        }
        pending_.append(reinterpret_cast<char*>(prefix), sizeof prefix);
        pending_.append(msg, len);
        return pending_.size() < kBatch || Flush();
    }

    // Also called with nothing pending, which writes nothing and succeeds.
    bool Flush()
    {
        bool ok = WriteAll(fd_, pending_.data(), pending_.size());
        pending_.clear();
        return ok;
    }

private:
    static const size_t kBatch = 64 * 1024;

    // split-prefix: the first byte, a pause, the rest. trickle: a byte at a time, each in
    // time for a client's limit per read, the frame far slower than any limit per frame.
    bool WriteShaped(const std::string& frame)
    {
        const bool trickle = fault_ == Fault::Trickle;
        size_t at = 0;
        while (at < frame.size()) {
            size_t piece = trickle || at == 0 ? 1 : frame.size() - at;
            if (!WriteAll(fd_, frame.data() + at, piece))
                return false;
            at += piece;
            if (at < frame.size())
                std::this_thread::sleep_for(std::chrono::milliseconds(trickle ? 200 : 20));
        }
        return true;
    }

    int fd_;
    Fault fault_;
    std::string pending_;
};

// A connection message whose descriptors lie: a name longer than its field, an address
// reaching past the end of the message, optional data far outside it.
uint16_t BadConnMessage(const S5MonData& d, char* msg)
{
    int len = Mon_MsgFromConn(&d, msg);
    auto put16 = [&](int off, uint16_t v) {
        msg[off] = static_cast<char>(v >> 8);
        msg[off + 1] = static_cast<char>(v);
    };
    // The message is padded so the lying descriptors point at real bytes of the buffer: the fault
    // is in the descriptors, not in reading past our own memory.
    memset(msg + len, 'A', 400);
    put16(MON_CONN_OFF_SRCHOST, 400); // longer than the 128-byte field
    put16(MON_CONN_OFF_SRCHOST + 2, static_cast<uint16_t>(len - MON_CONN_FIXED_LEN));
    put16(MON_CONN_OFF_DSTADDR, 260);
    put16(MON_CONN_OFF_DSTADDR + 2,
          static_cast<uint16_t>(len + 400 - MON_CONN_FIXED_LEN - 100)); // runs past the end
    put16(MON_CONN_OFF_OPTDATA, 2);
    put16(MON_CONN_OFF_OPTDATA + 2, 60000); // far outside the message
    return static_cast<uint16_t>(len + 400);
}

// One pass of the connection list, ended by the empty frame; false when the client is gone or a
// fault has cut the answer short, which ends the session.
bool ServeList(Simulator& sim, FrameOut& out, int fd, const Pass& pass)
{
    // Big enough for any message a 16-bit length can describe.
    std::vector<char> buffer(65536);
    char* msg = buffer.data();
    if (sim.fault == Fault::Oversize) {
        // A frame longer than any message the protocol allows, sent first so a client sees it at
        // once.
        memset(msg, 'X', 3000);
        if (!out.Frame(msg, 3000))
            return false;
    }
    // An endless list repeats its records and never sends the closing empty frame; a slow
    // one sends its records again and again, each frame in time, the whole pass not.
    const bool endless = sim.fault == Fault::Endless && !pass.conns.empty();
    const bool slow = sim.fault == Fault::Slow && !pass.conns.empty();
    const size_t kSlowRecords = 10;
    for (size_t i = 0; i < pass.conns.size() || endless || (slow && i < kSlowRecords); i++) {
        if (slow) {
            if (!out.Flush())
                return false;
            std::this_thread::sleep_for(std::chrono::seconds(2));
        }
        const S5MonData& d = pass.conns[i % pass.conns.size()];
        uint16_t len = sim.fault == Fault::BadDescriptors
            ? BadConnMessage(d, msg)
            : static_cast<uint16_t>(Mon_MsgFromConn(&d, msg));
        // Half a frame, then the connection closes: the client must not take the half as a record.
        if (sim.fault == Fault::CloseInsideFrame) {
            unsigned char prefix[MON_FRAME_PREFIX_SIZE];
            Mon_PutFramePrefix(prefix, len);
            out.Flush();
            WriteAll(fd, reinterpret_cast<char*>(prefix), sizeof prefix);
            WriteAll(fd, msg, len / 2);
            return false;
        }
        if (!out.Frame(msg, len))
            return false;
    }
    return out.Frame(msg, 0);
}

bool ServeUser(Simulator& sim, FrameOut& out, const S5MonUser_t& user)
{
    char msg[MON_USER_MAX_LEN];
    uint16_t len = static_cast<uint16_t>(Mon_MsgFromUser(&user, msg));
    // Byte 2 holds the minor version; a reply of a version the client does not know must be
    // refused.
    if (sim.fault == Fault::UserVersion11)
        msg[2] = 1;
    return out.Frame(msg, len);
}

} // namespace

bool ParseFault(const std::string& name, Fault& fault)
{
    static const struct {
        const char* name;
        Fault fault;
    } table[] = {{"none", Fault::None},
                 {"close-before-answer", Fault::CloseBeforeAnswer},
                 {"close-inside-frame", Fault::CloseInsideFrame},
                 {"oversize", Fault::Oversize},
                 {"split-prefix", Fault::SplitPrefix},
                 {"bad-descriptors", Fault::BadDescriptors},
                 {"user-version-1.1", Fault::UserVersion11},
                 {"stall", Fault::Stall},
                 {"endless", Fault::Endless},
                 {"trickle", Fault::Trickle},
                 {"slow", Fault::Slow}};
    for (const auto& entry : table)
        if (name == entry.name) {
            fault = entry.fault;
            return true;
        }
    return false;
}

// Flushed at once, so a test can read the log while the simulator still runs. Called with the lock
// held, so lines from several clients never mix.
void Simulator::logLine(const std::string& line)
{
    if (requestLog) {
        fprintf(requestLog, "%s\n", line.c_str());
        fflush(requestLog);
    }
}

// A pass's memory is used again when no reply still reads it: a large pass is then neither
// allocated nor faulted in anew per poll.
std::shared_ptr<Pass> Reusable(std::shared_ptr<Pass> pass)
{
    return pass && pass.use_count() == 1 ? pass : std::make_shared<Pass>();
}

// Every connection-list request moves the scenario on one pass, whichever client asks; a pass made
// ahead by prepareNextPass is used if it is the right one.
void Simulator::takeNextPass()
{
    int number = ++passesServed;
    if (nextPass && nextPassNumber == number) {
        if (lastPass.use_count() == 1)
            sparePass = std::move(lastPass);
        lastPass = std::move(nextPass);
        nextPassNumber = 0;
        return;
    }
    lastPass = Reusable(std::move(lastPass));
    scenario.pass(number, *lastPass);
}

// Makes the next pass after a reply, outside the lock, so the next poll is answered at once even
// for a very large scenario.
void Simulator::prepareNextPass()
{
    if (!scenario.generated())
        return; // a scripted pass is only copied
    std::shared_ptr<Pass> made;
    int number;
    {
        std::lock_guard<std::mutex> guard(lock);
        number = passesServed + 1;
        if (nextPassNumber == number)
            return; // another client's request made it already
        made = Reusable(std::move(sparePass));
    }
    scenario.pass(number, *made);
    std::lock_guard<std::mutex> guard(lock);
    if (passesServed + 1 == number) {
        nextPass = std::move(made);
        nextPassNumber = number;
    } else {
        sparePass = std::move(made); // a request came first and made it itself
    }
}

void ServeClient(Simulator& sim, int fd)
{
    {
        std::lock_guard<std::mutex> guard(sim.lock);
        sim.logLine("accept");
    }
    // Requests are read and replies written without the shared lock, so that one client that
    // stalls never holds up the others.
    std::vector<char> request(65536);
    char msg[MON_CONN_MAX_LEN];
    for (;;) {
        unsigned char prefix[2];
        if (!ReadAll(fd, reinterpret_cast<char*>(prefix), 2))
            break;
        uint16_t len = Mon_FramePrefixLength(prefix);
        if (!ReadAll(fd, request.data(), len))
            break;
        // The first byte is the request type; an empty request counts as type 0, unknown.
        int type = len > 0 ? static_cast<unsigned char>(request[0]) : 0;
        std::string logText = "request type=" + std::to_string(type);
        if (type == MON_MSG_GET_NEXT_CONN && len >= 2)
            logText += " all=" + std::to_string(static_cast<unsigned char>(request[1]));
        S5MonUser_t wanted;
        memset(&wanted, 0, sizeof wanted);
        if (type == MON_MSG_GET_USER && len > 7) {
            // The request carries the name's descriptor at 3 and its free area at 7.
            uint16_t copied;
            Mon_MsgToVarLenBounded(wanted.userName, S5_NAME_LEN - 1, &copied, request.data() + 3,
                                   request.data() + 7, static_cast<uint16_t>(len - 7));
            logText += " user=" + std::string(wanted.userName);
        }

        // What the reply needs of the shared state, taken under the lock; the pass is shared,
        // not copied, and users and totals are built only for the requests that ask for them.
        std::shared_ptr<const Pass> pass;
        int current;
        {
            std::lock_guard<std::mutex> guard(sim.lock);
            sim.logLine(logText);
            if (type == MON_MSG_GET_NEXT_CONN)
                sim.takeNextPass();
            current = sim.passesServed > 0 ? sim.passesServed : 1;
            pass = sim.lastPass;
        }

        if (sim.fault == Fault::CloseBeforeAnswer)
            break;
        if (sim.fault == Fault::Stall) {
            // Holds the connection open and silent for an hour, far past any client's timeout.
            sleep(3600);
            break;
        }
        FrameOut out(fd, sim.fault);
        bool ok = true;
        switch (type) {
        case MON_MSG_GET_NEXT_CONN:
            ok = !pass->closeInstead && ServeList(sim, out, fd, *pass);
            break;
        // One connection by its key (the bytes after the type); an empty frame if there is none.
        case MON_MSG_GET_CONN: {
            const S5MonData* found = nullptr;
            for (const S5MonData& d : pass->conns)
                if (len >= MON_GET_CONN_LEN
                    && memcmp(d.key.key, request.data() + 1, sizeof d.key.key) == 0)
                    found = &d;
            ok = out.Frame(msg, found ? static_cast<uint16_t>(Mon_MsgFromConn(found, msg)) : 0);
            break;
        }
        case MON_MSG_GET_USER: {
            const S5MonUser_t* found = nullptr;
            std::vector<S5MonUser_t> users = sim.scenario.users(current);
            for (const S5MonUser_t& u : users)
                if (strcmp(u.userName, wanted.userName) == 0)
                    found = &u;
            ok = found ? ServeUser(sim, out, *found) : out.Frame(msg, 0);
            break;
        }
        // Every user, then the empty frame that ends the list.
        case MON_MSG_GET_NEXT_USER:
            for (const S5MonUser_t& u : sim.scenario.users(current))
                if (ok)
                    ok = ServeUser(sim, out, u);
            ok = ok && out.Frame(msg, 0);
            break;
        case MON_MSG_GET_TOT: {
            S5MonTot_t totals = sim.scenario.totals(current);
            ok = out.Frame(msg, static_cast<uint16_t>(Mon_MsgFromTot(&totals, msg)));
            break;
        }
        default:
            ok = out.Frame(msg, 0); // nothing available for an unknown request
            break;
        }
        ok = ok && out.Flush();
        if (!ok)
            break;
        if (type == MON_MSG_GET_NEXT_CONN)
            sim.prepareNextPass();
    }
    {
        std::lock_guard<std::mutex> guard(sim.lock);
        sim.logLine("close");
    }
    close(fd);
}
