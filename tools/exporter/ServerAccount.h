// What one server's connections add up to, by service and by user, poll after poll.
//
// Bytes are counted the way the window counts them: a connection's bytes count once, however
// long the server keeps it listed after it ended; a connection first seen after a restart of
// monitoring counts only what it moves from then on (unless it started after the previous
// complete pass); a 32-bit counter that wraps still grows. The exported counters therefore
// never go backwards, whatever the server does.
#ifndef VANTOR_EXPORTER_SERVERACCOUNT_H
#define VANTOR_EXPORTER_SERVERACCOUNT_H

#include <stdint.h>

#include <map>
#include <string>
#include <unordered_map>

#include "core/ConnectionLedger.h"
#include "core/Setting.h"
#include "lib/monMsg.h"

struct Tally {
    uint64_t open = 0;        // connections open now
    uint64_t failed = 0;      // failed connections the server lists now
    uint64_t failedTotal = 0; // connections seen to fail since the exporter started
    uint64_t inBytes = 0;     // destination to client
    uint64_t outBytes = 0;    // client to destination
};

// Label value to tally, in label order.
using Tallies = std::map<std::string, Tally>;

// The label of connections whose user has no label of their own (past the cap).
extern const char kOtherUsers[];
// The label of connections without a user name.
extern const char kNoUser[];

class ServerAccount {
public:
    // services names the destination ports (its selected services; the rest is service 0);
    // at most maxUsers user names get a label of their own, the first ones seen.
    ServerAccount(const Setting& services, int maxUsers);

    // Monitoring (re)starts: the next complete pass only sets the baseline.
    void Reset();
    // A new pass of the connection list begins.
    void BeginPass();
    // One record of the pass, in any order.
    void Add(const S5MonData& record);
    // The pass ended with its empty frame: the open and failed gauges take its counts.
    void EndPass();

    // The tallies so far; read between passes.
    const Tallies& ByService() const { return byService_; }
    const Tallies& ByUser() const { return byUser_; }

private:
    struct Seen {
        S5Count inBytes;
        S5Count outBytes;
        bool failed;
        uint32_t pass; // the last pass that listed it
    };
    struct Listed {
        uint64_t open = 0;
        uint64_t failed = 0;
    };

    std::string ServiceOf(const S5MonData& record) const;
    std::string UserOf(const S5MonData& record);

    const Setting& services_;
    size_t maxUsers_;
    std::unordered_map<std::string, bool> labelledUsers_;
    ConnectionLedger ledger_;
    std::unordered_map<std::string, Seen> seen_; // by the connection's key
    uint32_t pass_ = 0;
    Tallies byService_, byUser_;
    std::map<std::string, Listed> listedByService_, listedByUser_; // of the pass under way
};

#endif
