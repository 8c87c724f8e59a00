// What a poll may file and count, so that a connection's bytes count once.
//
// A server may keep ended connections listed long after the window has freed their rows.
// The ledger remembers the keys of freed rows for as long as the server still lists them,
// so that they are not filed again as new rows (and their whole traffic counted again);
// a key that a complete pass no longer lists is forgotten, so the ledger holds no more
// than the server lists. It also keeps the server's clock at the previous complete pass:
// a connection seen for the first time counts its bytes only when it started after that
// pass, and the first pass after a (re)start only sets the baseline.
#ifndef VANTOR_CONNECTIONLEDGER_H
#define VANTOR_CONNECTIONLEDGER_H

#include <stdint.h>

#include <vector>

#include "lib/monMsg.h"

// The growth of a byte counter from one poll to the next: a 32-bit counter that wrapped
// still grows by the difference taken modulo 2 to the 32nd.
inline S5Count TrafficGrowth(S5Count before, S5Count now)
{
    return now - before;
}

class ConnectionLedger {
public:
    // Monitoring (re)starts: nothing is remembered, the next complete pass is a baseline.
    void Reset();

    // A pass begins.
    void BeginPass();
    // Every record of the pass is shown to the ledger (the server's clock is read off it).
    void See(const S5MonData& record)
    {
        if (!passClockKnown_ || record.curTime > passClock_) {
            passClock_ = record.curTime;
            passClockKnown_ = true;
        }
    }
    // Whether a record whose key no row holds belongs to a connection whose row the window
    // has freed; it is then not to be filed, and it is remembered through this pass.
    bool IsRetired(const S5MonKey& key);
    // Asks for the place IsRetired(key) will read, ahead of a batch's look-ups.
    void Prefetch(const S5MonKey& key) const;
    // The pass ended with its empty frame: retired keys it did not list are forgotten and
    // its clock is the reference for the next pass.
    void EndPass();

    // A freed row's key, remembered while the server lists it.
    void Retire(const S5MonKey& key);

    // The byte total from which a new row's growth is counted: 0 (the whole total counts)
    // when the connection started after the previous complete pass; its present total
    // (nothing counts yet) in a baseline pass or when it is older and only now seen.
    S5Count CountedFrom(const S5MonData& record) const;
    // Whether a connection seen for the first time counts its whole traffic: it started
    // after the previous complete pass (never in a baseline pass).
    bool CountsWhole(const S5MonData& record) const;

    // Whether no complete pass has been seen since the last reset.
    bool InBaseline() const { return !havePrevious_; }
    size_t RetiredCount() const { return retiredCount_; }

private:
    // The retired keys in one open-addressed table (linear probing, at most half full): a
    // big server lists a hundred thousand ended connections every pass, and a look-up here
    // should cost one fetch from memory, not the two or three of a node-based map.
    struct Retired {
        char key[sizeof(S5MonKey::key)];
        uint16_t used; // 0: an empty place
        uint32_t pass; // the last pass that listed the key
    };
    // The place that holds key, or the empty one where it would go.
    size_t PlaceOf(const char* key) const;
    // Makes room for count keys, keeping those last listed in pass oldestKept or later.
    void Rebuild(size_t count, uint32_t oldestKept);

    std::vector<Retired> retired_; // a power of two in size, or empty
    size_t retiredCount_ = 0;
    uint32_t pass_ = 0;
    bool havePrevious_ = false;       // a complete pass was seen since the reset
    bool previousClockKnown_ = false; // it listed at least one record
    S5Time previousClock_ = 0;        // the newest curTime of that pass
    bool passClockKnown_ = false;
    S5Time passClock_ = 0;
};

#endif
