#include "tools/monsim/Session.h"

#include <arpa/inet.h>
#include <errno.h>
#include <chrono>
#include <string.h>
#include <thread>
#include <vector>
#include <unistd.h>

#include "lib/monUnixTcp.h"

namespace {

// Moves all len bytes with read or write, retrying after signals; false at end of file or error.
template <typename Buffer, typename Transfer>
bool TransferAll(int fd, Buffer *buf, size_t len, Transfer transfer)
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

bool WriteAll(int fd, const char *buf, size_t len)
{
    return TransferAll(fd, buf, len, [](int f, const char *p, size_t l) { return write(f, p, l); });
}

bool ReadAll(int fd, char *buf, size_t len)
{
    return TransferAll(fd, buf, len, [](int f, char *p, size_t l) { return read(f, p, l); });
}

bool SendFrame(int fd, const char *msg, uint16_t len, Fault fault)
{
    unsigned char prefix[MON_FRAME_PREFIX_SIZE];
    Mon_PutFramePrefix(prefix, len);
    if (fault == Fault::SplitPrefix) {
        if (!WriteAll(fd, reinterpret_cast<char *>(prefix), 1))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!WriteAll(fd, reinterpret_cast<char *>(prefix) + 1, 1))
            return false;
    } else if (!WriteAll(fd, reinterpret_cast<char *>(prefix), 2)) {
        return false;
    }
    return WriteAll(fd, msg, len);
}

// A connection message whose descriptors lie: a name longer than its field, an address
// reaching past the end of the message, optional data far outside it.
uint16_t BadConnMessage(const S5MonData &d, char *msg)
{
    int len = Mon_MsgFromConn(&d, msg);
    auto put16 = [&](int off, uint16_t v) { msg[off] = static_cast<char>(v >> 8); msg[off + 1] = static_cast<char>(v); };
    memset(msg + len, 'A', 400);
    put16(MON_CONN_OFF_SRCHOST, 400);                      // longer than the 128-byte field
    put16(MON_CONN_OFF_SRCHOST + 2, static_cast<uint16_t>(len - MON_CONN_FIXED_LEN));
    put16(MON_CONN_OFF_DSTADDR, 260);
    put16(MON_CONN_OFF_DSTADDR + 2, static_cast<uint16_t>(len + 400 - MON_CONN_FIXED_LEN - 100));  // runs past the end
    put16(MON_CONN_OFF_OPTDATA, 2);
    put16(MON_CONN_OFF_OPTDATA + 2, 60000);                // far outside the message
    return static_cast<uint16_t>(len + 400);
}

bool ServeList(Simulator &sim, int fd, const Pass &pass)
{
    std::vector<char> buffer(65536);
    char *msg = buffer.data();
    if (sim.fault == Fault::Oversize) {
        memset(msg, 'X', 3000);
        if (!SendFrame(fd, msg, 3000, Fault::None))
            return false;
    }
    // An endless list repeats its records and never sends the closing empty frame.
    const bool endless = sim.fault == Fault::Endless && !pass.conns.empty();
    for (size_t i = 0; i < pass.conns.size() || endless; i++) {
        const S5MonData &d = pass.conns[i % pass.conns.size()];
        uint16_t len = sim.fault == Fault::BadDescriptors ? BadConnMessage(d, msg)
                                                          : static_cast<uint16_t>(Mon_MsgFromConn(&d, msg));
        if (sim.fault == Fault::CloseInsideFrame) {
            unsigned char prefix[MON_FRAME_PREFIX_SIZE];
            Mon_PutFramePrefix(prefix, len);
            WriteAll(fd, reinterpret_cast<char *>(prefix), sizeof prefix);
            WriteAll(fd, msg, len / 2);
            return false;
        }
        if (!SendFrame(fd, msg, len, sim.fault))
            return false;
    }
    return SendFrame(fd, msg, 0, sim.fault);
}

bool ServeUser(Simulator &sim, int fd, const S5MonUser_t &user)
{
    char msg[MON_USER_MAX_LEN];
    uint16_t len = static_cast<uint16_t>(Mon_MsgFromUser(&user, msg));
    if (sim.fault == Fault::UserVersion11)
        msg[2] = 1;
    return SendFrame(fd, msg, len, sim.fault);
}

} // namespace

bool ParseFault(const std::string &name, Fault &fault)
{
    static const struct { const char *name; Fault fault; } table[] = {
        {"none", Fault::None}, {"close-before-answer", Fault::CloseBeforeAnswer},
        {"close-inside-frame", Fault::CloseInsideFrame}, {"oversize", Fault::Oversize},
        {"split-prefix", Fault::SplitPrefix}, {"bad-descriptors", Fault::BadDescriptors},
        {"user-version-1.1", Fault::UserVersion11}, {"stall", Fault::Stall},
        {"endless", Fault::Endless}};
    for (const auto &entry : table)
        if (name == entry.name) {
            fault = entry.fault;
            return true;
        }
    return false;
}

void Simulator::logLine(const std::string &line)
{
    if (requestLog) {
        fprintf(requestLog, "%s\n", line.c_str());
        fflush(requestLog);
    }
}

void ServeClient(Simulator &sim, int fd)
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
        if (!ReadAll(fd, reinterpret_cast<char *>(prefix), 2))
            break;
        uint16_t len = Mon_FramePrefixLength(prefix);
        if (!ReadAll(fd, request.data(), len))
            break;
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

        // What the reply needs of the shared state, taken under the lock.
        Pass pass;
        std::vector<S5MonUser_t> users;
        S5MonTot_t totals;
        {
            std::lock_guard<std::mutex> guard(sim.lock);
            sim.logLine(logText);
            if (type == MON_MSG_GET_NEXT_CONN)
                sim.lastPass = sim.scenario.pass(++sim.passesServed);
            int current = sim.passesServed > 0 ? sim.passesServed : 1;
            pass = sim.lastPass;
            users = sim.scenario.users(current);
            totals = sim.scenario.totals(current);
        }

        if (sim.fault == Fault::CloseBeforeAnswer)
            break;
        if (sim.fault == Fault::Stall) {
            sleep(3600);
            break;
        }
        bool ok = true;
        switch (type) {
        case MON_MSG_GET_NEXT_CONN:
            ok = !pass.closeInstead && ServeList(sim, fd, pass);
            break;
        case MON_MSG_GET_CONN: {
            const S5MonData *found = nullptr;
            for (const S5MonData &d : pass.conns)
                if (len >= MON_GET_CONN_LEN && memcmp(d.key.key, request.data() + 1, sizeof d.key.key) == 0)
                    found = &d;
            ok = SendFrame(fd, msg, found ? static_cast<uint16_t>(Mon_MsgFromConn(found, msg)) : 0, sim.fault);
            break;
        }
        case MON_MSG_GET_USER: {
            const S5MonUser_t *found = nullptr;
            for (const S5MonUser_t &u : users)
                if (strcmp(u.userName, wanted.userName) == 0)
                    found = &u;
            ok = found ? ServeUser(sim, fd, *found) : SendFrame(fd, msg, 0, sim.fault);
            break;
        }
        case MON_MSG_GET_NEXT_USER:
            for (const S5MonUser_t &u : users)
                if (ok)
                    ok = ServeUser(sim, fd, u);
            ok = ok && SendFrame(fd, msg, 0, sim.fault);
            break;
        case MON_MSG_GET_TOT:
            ok = SendFrame(fd, msg, static_cast<uint16_t>(Mon_MsgFromTot(&totals, msg)), sim.fault);
            break;
        default:
            ok = SendFrame(fd, msg, 0, sim.fault);  // nothing available for an unknown request
            break;
        }
        if (!ok)
            break;
    }
    {
        std::lock_guard<std::mutex> guard(sim.lock);
        sim.logLine("close");
    }
    close(fd);
}
