// The traffic accounting of a poll (see ConnectionLedger.h). The window counts traffic as
// the growth of each connection's byte total from one poll to the next; the ledger decides
// where that growth starts for a connection first seen, and keeps freed rows from coming
// back, which would count their whole total a second time.
#include "core/ConnectionLedger.h"

#include <string.h>

#include "core/FilingIndex.h"

// The entry of key in the table of retired keys, or the empty one where it goes: linear
// probing from the filing index's hash, which serves here too since keys are the same ten
// bytes. The table is kept at most half full, so probes stay short.
size_t ConnectionLedger::PlaceOf(const char* key) const
{
    size_t mask = retired_.size() - 1;
    size_t place = static_cast<size_t>(FilingIndex::Hash(key)) & mask;
    while (retired_[place].used && memcmp(retired_[place].key, key, sizeof retired_[place].key))
        place = (place + 1) & mask;
    return place;
}

void ConnectionLedger::Prefetch(const S5MonKey& key) const
{
    if (retiredCount_ != 0) {
        size_t mask = retired_.size() - 1;
        __builtin_prefetch(&retired_[static_cast<size_t>(FilingIndex::Hash(key.key)) & mask]);
    }
}

// Rebuilding is how keys leave the table: there is no deletion, so no probe chain breaks.
void ConnectionLedger::Rebuild(size_t count, uint32_t oldestKept)
{
    size_t size = 16;
    while (size < 2 * count)
        size *= 2;
    std::vector<Retired> old(size, Retired());
    old.swap(retired_);
    retiredCount_ = 0;
    for (const Retired& r : old) {
        if (r.used && r.pass >= oldestKept) {
            retired_[PlaceOf(r.key)] = r;
            retiredCount_++;
        }
    }
}

void ConnectionLedger::Reset()
{
    retired_.clear();
    retiredCount_ = 0;
    havePrevious_ = false;
    previousClockKnown_ = false;
    passClockKnown_ = false;
}

void ConnectionLedger::BeginPass()
{
    pass_++;
    passClockKnown_ = false;
}

// Marking the key with this pass's number is what keeps it: EndPass forgets the keys
// whose mark is older.
bool ConnectionLedger::IsRetired(const S5MonKey& key)
{
    if (retiredCount_ == 0)
        return false;
    Retired& found = retired_[PlaceOf(key.key)];
    if (!found.used)
        return false;
    found.pass = pass_;
    return true;
}

// Only a complete pass may forget keys: a pass cut short has not shown that the server
// stopped listing them. Its clock, the newest curTime it carried, is the server's time
// of this poll, read from the server so that the two machines' clocks never mix.
void ConnectionLedger::EndPass()
{
    // Keys the pass did not list are forgotten; the table shrinks with them.
    size_t listed = 0;
    for (const Retired& r : retired_)
        listed += r.used && r.pass == pass_;
    if (listed != retiredCount_)
        Rebuild(listed, pass_);
    havePrevious_ = true;
    previousClockKnown_ = passClockKnown_;
    previousClock_ = passClock_;
}

void ConnectionLedger::Retire(const S5MonKey& key)
{
    if (2 * (retiredCount_ + 1) > retired_.size())
        Rebuild(retiredCount_ + 1, 0);
    Retired& place = retired_[PlaceOf(key.key)];
    if (!place.used) {
        memcpy(place.key, key.key, sizeof place.key);
        place.used = 1;
        retiredCount_++;
    }
    place.pass = pass_;
}

S5Count ConnectionLedger::CountedFrom(const S5MonData& record) const
{
    return CountsWhole(record) ? 0 : record.inTotBytes + record.outTotBytes;
}

// A connection that started after the previous poll moved all of its bytes since then;
// one that started earlier but is seen only now (the window restarted, or its records
// were left out) has moved most of them before, and counts from its present total.
bool ConnectionLedger::CountsWhole(const S5MonData& record) const
{
    if (!havePrevious_)
        return false;
    // A previous pass that listed nothing: whatever is listed now began after it.
    return !previousClockKnown_ || record.startTime >= previousClock_;
}
