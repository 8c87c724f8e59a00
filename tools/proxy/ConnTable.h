// The proxy's records of its connections, its users and its totals, as the monitoring
// service reports them. Ended and failed connections stay listed for a retention period,
// and while the table holds no more than its record limit: beyond it, the ended records
// that ended first are dropped to make room, so that a flood of connections costs bounded
// memory. Dropped records are counted as deleted; the totals go on counting everything.
#ifndef VANTOR_PROXY_CONNTABLE_H
#define VANTOR_PROXY_CONNTABLE_H

#include <cstdint>
#include <ctime>
#include <deque>
#include <map>
#include <string>
#include <vector>
#include <netinet/in.h>
#include <sys/socket.h>

#include "lib/monMsg.h"

// Bits of a record's state.
enum ConnState : uint32_t {
    STATE_NEGOTIATING = 1, // SOCKS handshake or connect to the destination under way
    STATE_RELAYING = 2,    // connected; data flows
    STATE_FAILED = 4,      // ended with a SOCKS error (always with STATE_ENDED)
    STATE_ENDED = 8
};

// A record's IPv4 or IPv6 socket address in the 28 bytes it needs rather than the 128 of
// sockaddr_storage: a record keeps three, and an idle relayed connection should cost the
// proxy under 1 KiB.
class RecordAddress {
public:
    RecordAddress() : in6_{} {}
    RecordAddress& operator=(const sockaddr_storage& a);
    // The address as the socket functions take it, zeros after its end.
    sockaddr_storage storage() const;
    // Its 28 bytes: IPv4 in the sockaddr_in layout with zeros after, IPv6 whole, all zeros
    // when neither was given.
    const sockaddr_in6& bytes() const { return in6_; }

private:
    union {
        sockaddr_in in4_;
        sockaddr_in6 in6_;
    };
};

struct UserStats {
    uint32_t curConns = 0, errConns = 0, endConns = 0, totConns = 0;
    uint64_t inBytes = 0, outBytes = 0;
    time_t startTime = 0, endTime = 0; // first connection; end of the last one (0 while active)
};

struct ConnRecord {
    uint64_t serial = 0;
    uint32_t state = STATE_NEGOTIATING;
    time_t startTime = 0, endTime = 0;
    uint64_t inBytes = 0;  // destination to client
    uint64_t outBytes = 0; // client to destination
    uint32_t socksErr = 0;
    std::string socksErrMsg;
    uint16_t authen = 0, socksCmd = 0;
    RecordAddress src, proxy;
    // The destination: its address once known, otherwise the name the client asked for.
    bool dstKnown = false;
    RecordAddress dst;
    std::string dstName;
    uint16_t dstPort = 0; // host byte order
    std::string srcHost, dstHost, proxyHost;
    std::string user, app;
    UserStats* userStats = nullptr; // set while the connection of a named user is open
    bool released = false;          // its session is gone; only then may the record expire
};

class ConnTable {
public:
    static const size_t DEFAULT_RECORD_LIMIT = 100000;

    ConnTable(uint32_t processId, time_t startTime, size_t recordLimit = DEFAULT_RECORD_LIMIT);

    // A new record for an accepted client; the pointer stays valid until the record
    // expires, which only an ended record does after end() has released it.
    ConnRecord* open(const sockaddr_storage& src, const sockaddr_storage& proxy, time_t now);
    // The client authenticated as this user.
    void setUser(ConnRecord* rec, const std::string& user);
    void setDestinationName(ConnRecord* rec, const std::string& name, uint16_t port);
    void setDestination(ConnRecord* rec, const sockaddr_storage& dst);
    void addIn(ConnRecord* rec, size_t bytes);
    void addOut(ConnRecord* rec, size_t bytes);
    // The session is over: ends the record unless fail() already did, and releases it.
    void end(ConnRecord* rec, time_t now);
    // Ends the record with a SOCKS error; the session may still be sending its reply.
    void fail(ConnRecord* rec, uint32_t socksErr, const std::string& text, time_t now);

    // A client refused at accept by the client rules: counted as a failed connection in the
    // totals, and never listed.
    void countRefused();

    // Forgets ended records and idle users older than the retention period.
    void expire(time_t now, time_t retentionSeconds);

    // Serial numbers of every listed record, oldest first.
    std::vector<uint64_t> serials() const;
    size_t size() const { return records_.size(); }
    // Ended records dropped for the record limit so far.
    uint64_t dropped() const { return dropped_; }
    const ConnRecord* find(uint64_t serial) const;
    // The serial number a key names, if it is one of this process's keys.
    bool serialFromKey(const S5MonKey& key, uint64_t* serial) const;
    S5MonKey keyOf(uint64_t serial) const;

    // Monitor records. toMonData returns false when no such record is listed.
    bool toMonData(uint64_t serial, const S5MonKey& nextKey, time_t now, S5MonData* out) const;
    std::vector<std::string> userNames() const;
    bool toUser(const std::string& name, time_t now, S5MonUser_t* out) const;
    S5MonTot_t totals(time_t now) const;

private:
    uint32_t processId_;
    time_t startTime_;
    size_t recordLimit_;
    // Serial numbers of released records in the order they were released; some may have
    // expired already.
    std::deque<uint64_t> released_;
    uint64_t dropped_ = 0;
    uint64_t nextSerial_ = 1;
    std::map<uint64_t, ConnRecord> records_;
    std::map<std::string, UserStats> users_;
    uint32_t activeConns_ = 0, failedConns_ = 0, endedConns_ = 0, deletedConns_ = 0;
    uint32_t totalConns_ = 0, deletedUsers_ = 0, totalUsers_ = 0;
    uint64_t inBytes_ = 0, outBytes_ = 0;

    void finish(ConnRecord* rec, time_t now);
    // Drops ended records, first released first, until one more record fits the limit.
    void makeRoom();
    bool droppable(uint64_t serial) const;
};

#endif
