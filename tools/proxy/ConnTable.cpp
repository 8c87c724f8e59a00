// The proxy's connection, user and total records (see ConnTable.h), which the monitoring
// service lists and the connection log reads.
#include "tools/proxy/ConnTable.h"

#include <arpa/inet.h>

#include <cstring>

#include "tools/proxy/IpAddress.h"
#include "tools/proxy/NetUtil.h"
#include "tools/proxy/Services.h"

namespace {
// Family of a destination known only by name.
const uint16_t NAMED_FAMILY = 255;

// Cut to the field, always ending in a zero, and padded with zeros so no stale bytes go out.
void copyName(char* field, const std::string& text)
{
    std::strncpy(field, text.c_str(), S5_NAME_LEN - 1);
    field[S5_NAME_LEN - 1] = '\0';
}

// IPv4 keeps the sockaddr_in layout, IPv6 takes the sockaddr_in6 one: as a record keeps
// them, so its bytes go over as they are.
void copyAddr(S5NetAddr* field, const RecordAddress& a)
{
    std::memset(field, 0, sizeof *field);
    field->sin6 = a.bytes();
}
} // namespace

RecordAddress& RecordAddress::operator=(const sockaddr_storage& a)
{
    in6_ = sockaddr_in6{};
    if (a.ss_family == AF_INET)
        in4_ = reinterpret_cast<const sockaddr_in&>(a);
    else if (a.ss_family == AF_INET6)
        in6_ = reinterpret_cast<const sockaddr_in6&>(a);
    return *this;
}

sockaddr_storage RecordAddress::storage() const
{
    sockaddr_storage a{};
    std::memcpy(&a, &bytes(), sizeof in6_);
    return a;
}

ConnTable::ConnTable(uint32_t processId, time_t startTime, size_t recordLimit)
    : processId_(processId), startTime_(startTime), recordLimit_(recordLimit)
{}

// Only a record whose session is gone may be dropped: a session holds a pointer to its
// record until end().
bool ConnTable::droppable(uint64_t serial) const
{
    const ConnRecord* rec = find(serial);
    return rec && (rec->state & STATE_ENDED) && rec->released;
}

// The record limit: before a new record, the records released first are dropped until
// there is room. released_ keeps the release order, so a drop costs no search; entries that
// expired meanwhile are skipped. When every listed record is still open, the table grows
// past the limit rather than lose a live one.
void ConnTable::makeRoom()
{
    while (records_.size() >= recordLimit_ && !released_.empty()) {
        uint64_t serial = released_.front();
        released_.pop_front();
        if (droppable(serial)) {
            records_.erase(serial);
            ++deletedConns_;
            ++dropped_;
        }
    }
}

// Records live in a map by serial number: a pointer to one stays valid while others come
// and go, and the monitoring service lists them in serial order, oldest first.
ConnRecord* ConnTable::open(const sockaddr_storage& src, const sockaddr_storage& proxy, time_t now)
{
    makeRoom();
    uint64_t serial = nextSerial_++;
    ConnRecord& rec = records_[serial];
    rec.serial = serial;
    rec.startTime = now;
    rec.src = src;
    rec.proxy = proxy;
    // The hosts are shown by address: the proxy never looks up a client's name, which would cost a
    // query per connection and could be made to lie.
    rec.srcHost = addrText(src);
    rec.proxyHost = addrText(proxy);
    ++activeConns_;
    ++totalConns_;
    return &rec;
}

// A user's record is made by their first connection and counts all of them after.
void ConnTable::setUser(ConnRecord* rec, const std::string& user)
{
    rec->user = user;
    auto inserted = users_.emplace(user, UserStats());
    UserStats& u = inserted.first->second;
    if (inserted.second) {
        u.startTime = rec->startTime;
        ++totalUsers_;
    }
    ++u.curConns;
    ++u.totConns;
    u.endTime = 0;
    // The pointer stays valid: a user with an open connection is never erased.
    rec->userStats = &u;
}

// The name the client asked for is what the monitor shows as destination host, also once
// an address is known.
void ConnTable::setDestinationName(ConnRecord* rec, const std::string& name, uint16_t port)
{
    rec->dstName = name;
    rec->dstPort = port;
    rec->dstHost = name;
    // The service is named by the destination port, as the window names it.
    rec->app = serviceName(port);
}

// Called again for each address tried, so the record shows the one in use.
void ConnTable::setDestination(ConnRecord* rec, const sockaddr_storage& dst)
{
    rec->dstKnown = true;
    rec->dst = dst;
    rec->dstPort = endpointOf(dst).port;
    if (rec->dstName.empty())
        rec->dstHost = addrText(dst);
    rec->app = serviceName(rec->dstPort);
}

// Bytes are counted as they are delivered, to the record, the user and the totals alike,
// so that a monitor polling mid-transfer sees the traffic grow.
void ConnTable::addIn(ConnRecord* rec, size_t bytes)
{
    rec->inBytes += bytes;
    inBytes_ += bytes;
    if (rec->userStats)
        rec->userStats->inBytes += bytes;
}

void ConnTable::addOut(ConnRecord* rec, size_t bytes)
{
    rec->outBytes += bytes;
    outBytes_ += bytes;
    if (rec->userStats)
        rec->userStats->outBytes += bytes;
}

// end() is called once for every session; fail() may come before it, with the reply still
// being sent, and then end() only releases the record.
void ConnTable::end(ConnRecord* rec, time_t now)
{
    rec->released = true;
    released_.push_back(rec->serial);
    if (rec->state & STATE_ENDED)
        return;
    ++endedConns_;
    if (rec->userStats)
        ++rec->userStats->endConns;
    finish(rec, now);
}

// A failure after the end (a late error on a closed session) changes nothing: a connection is
// counted once, as ended or as failed.
void ConnTable::fail(ConnRecord* rec, uint32_t socksErr, const std::string& text, time_t now)
{
    if (rec->state & STATE_ENDED)
        return;
    rec->socksErr = socksErr;
    rec->socksErrMsg = text;
    rec->state |= STATE_FAILED;
    ++failedConns_;
    if (rec->userStats)
        ++rec->userStats->errConns;
    finish(rec, now);
}

// What ending and failing share: the state, the end time, and the user's open count.
void ConnTable::finish(ConnRecord* rec, time_t now)
{
    rec->state = (rec->state & STATE_FAILED) | STATE_ENDED;
    rec->endTime = now;
    --activeConns_;
    if (UserStats* u = rec->userStats) {
        if (--u->curConns == 0)
            u->endTime = now;
        rec->userStats = nullptr;
    }
}

// A client refused at accept gets no record, but still counts as a connection that failed.
void ConnTable::countRefused()
{
    ++totalConns_;
    ++failedConns_;
}

// Called from the proxy's once-a-second tick. Ended records stay listed for the retention
// period so that a monitor polling every minute still sees short connections end; users
// with no open connection stay as long after their last one.
void ConnTable::expire(time_t now, time_t retentionSeconds)
{
    for (auto it = records_.begin(); it != records_.end();) {
        const ConnRecord& rec = it->second;
        if ((rec.state & STATE_ENDED) && rec.released && now - rec.endTime >= retentionSeconds) {
            it = records_.erase(it);
            ++deletedConns_;
        } else {
            ++it;
        }
    }
    // The release order is trimmed of records that expired, so it does not grow without bound.
    while (!released_.empty() && !find(released_.front()))
        released_.pop_front();
    for (auto it = users_.begin(); it != users_.end();) {
        const UserStats& u = it->second;
        if (u.curConns == 0 && now - u.endTime >= retentionSeconds) {
            it = users_.erase(it);
            ++deletedUsers_;
        } else {
            ++it;
        }
    }
}

// The listed records in serial order, oldest first; the monitoring service walks this copy so
// records may come and go between its batches.
std::vector<uint64_t> ConnTable::serials() const
{
    std::vector<uint64_t> out;
    out.reserve(records_.size());
    for (const auto& entry : records_)
        out.push_back(entry.first);
    return out;
}

const ConnRecord* ConnTable::find(uint64_t serial) const
{
    auto it = records_.find(serial);
    return it == records_.end() ? nullptr : &it->second;
}

// Key layout, each in host byte order: bytes 0-3 process id, 4-7 the serial number's high
// word, 8-9 its low 16 bits.
S5MonKey ConnTable::keyOf(uint64_t serial) const
{
    S5MonKey key;
    uint32_t high = uint32_t(serial >> 16);
    uint16_t low = uint16_t(serial & 0xffff);
    std::memcpy(key.key, &processId_, 4);
    std::memcpy(key.key + 4, &high, 4);
    std::memcpy(key.key + 8, &low, 2);
    return key;
}

bool ConnTable::serialFromKey(const S5MonKey& key, uint64_t* serial) const
{
    uint32_t pid, high;
    uint16_t low;
    std::memcpy(&pid, key.key, 4);
    std::memcpy(&high, key.key + 4, 4);
    std::memcpy(&low, key.key + 8, 2);
    // A key of another run of the proxy (a monitor that kept it across a restart) names nothing
    // here.
    if (pid != processId_)
        return false;
    *serial = uint64_t(high) << 16 | low;
    return true;
}

// One listed record as the monitor protocol carries it; nextKey chains the list.
bool ConnTable::toMonData(uint64_t serial, const S5MonKey& nextKey, time_t now,
                          S5MonData* out) const
{
    const ConnRecord* rec = find(serial);
    if (!rec)
        return false;
    std::memset(out, 0, sizeof *out);
    out->key = keyOf(serial);
    out->nextKey = nextKey;
    out->state = rec->state;
    out->startTime = S5Time(rec->startTime);
    out->curTime = S5Time(now);
    out->endTime = S5Time(rec->endTime);
    // The protocol's counters are 32 bits wide; larger totals wrap.
    out->inTotBytes = S5Count(rec->inBytes);
    out->outTotBytes = S5Count(rec->outBytes);
    out->socksErr = rec->socksErr;
    out->authen = rec->authen;
    out->socksCmd = rec->socksCmd;
    copyAddr(&out->srcSockAddr, rec->src);
    copyAddr(&out->proxySockAddr, rec->proxy);
    // A destination known only by name (still being looked up, or never resolved) goes out as a
    // named address.
    if (rec->dstKnown) {
        copyAddr(&out->dstSockAddr, rec->dst);
    } else if (!rec->dstName.empty()) {
        out->dstSockAddr.sn.sn_family = NAMED_FAMILY;
        out->dstSockAddr.sn.sn_port = htons(rec->dstPort);
        std::strncpy(out->dstSockAddr.sn.sn_name, rec->dstName.c_str(),
                     sizeof out->dstSockAddr.sn.sn_name - 1);
    }
    copyName(out->srcHostName, rec->srcHost);
    copyName(out->dstHostName, rec->dstHost);
    copyName(out->proxyHostName, rec->proxyHost);
    copyName(out->userName, rec->user);
    copyName(out->appName, rec->app);
    copyName(out->socksErrMsg, rec->socksErrMsg);
    return true;
}

std::vector<std::string> ConnTable::userNames() const
{
    std::vector<std::string> out;
    for (const auto& entry : users_)
        out.push_back(entry.first);
    return out;
}

// One user record as the protocol carries it; false for a name not (or no longer) listed.
bool ConnTable::toUser(const std::string& name, time_t now, S5MonUser_t* out) const
{
    auto it = users_.find(name);
    if (it == users_.end())
        return false;
    const UserStats& u = it->second;
    std::memset(out, 0, sizeof *out);
    copyName(out->userName, name);
    out->curConns = u.curConns;
    out->errConns = u.errConns;
    out->endConns = u.endConns;
    out->totConns = u.totConns;
    out->inTotBytes = S5Count(u.inBytes);
    out->outTotBytes = S5Count(u.outBytes);
    out->startTime = S5Time(u.startTime);
    out->curTime = S5Time(now);
    out->endTime = S5Time(u.endTime);
    return true;
}

// The totals: users counted from the user records, connections and bytes from the
// table's own counters, which go on counting records that expired or were dropped.
S5MonTot_t ConnTable::totals(time_t now) const
{
    S5MonTot_t t;
    std::memset(&t, 0, sizeof t);
    for (const auto& entry : users_) {
        const UserStats& u = entry.second;
        if (u.curConns > 0)
            ++t.curUsers;
        else
            ++t.endUsers;
        if (u.errConns > 0)
            ++t.errUsers;
    }
    t.delUsers = deletedUsers_;
    t.totUsers = totalUsers_;
    t.curConns = activeConns_;
    t.errConns = failedConns_;
    t.endConns = endedConns_;
    t.delConns = deletedConns_;
    t.totConns = totalConns_;
    t.inTotBytes = S5Count(inBytes_);
    t.outTotBytes = S5Count(outBytes_);
    t.startTime = S5Time(startTime_);
    t.curTime = S5Time(now);
    return t;
}
