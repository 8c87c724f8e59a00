#include "core/ConnectionLedger.h"

#include <string.h>

#include "core/FilingIndex.h"

size_t ConnectionLedger::KeyHash::operator()(const Key& key) const
{
    return static_cast<size_t>(FilingIndex::Hash(key.data()));
}

ConnectionLedger::Key ConnectionLedger::KeyOf(const S5MonKey& key)
{
    Key k;
    memcpy(k.data(), key.key, k.size());
    return k;
}

void ConnectionLedger::Reset()
{
    retired_.clear();
    havePrevious_ = false;
    previousClockKnown_ = false;
    passClockKnown_ = false;
}

void ConnectionLedger::BeginPass()
{
    pass_++;
    passClockKnown_ = false;
}

bool ConnectionLedger::IsRetired(const S5MonKey& key)
{
    auto found = retired_.find(KeyOf(key));
    if (found == retired_.end())
        return false;
    found->second = pass_;
    return true;
}

void ConnectionLedger::EndPass()
{
    for (auto it = retired_.begin(); it != retired_.end();) {
        if (it->second != pass_)
            it = retired_.erase(it);
        else
            ++it;
    }
    havePrevious_ = true;
    previousClockKnown_ = passClockKnown_;
    previousClock_ = passClock_;
}

void ConnectionLedger::Retire(const S5MonKey& key)
{
    retired_[KeyOf(key)] = pass_;
}

S5Count ConnectionLedger::CountedFrom(const S5MonData& record) const
{
    return CountsWhole(record) ? 0 : record.inTotBytes + record.outTotBytes;
}

bool ConnectionLedger::CountsWhole(const S5MonData& record) const
{
    if (!havePrevious_)
        return false;
    // A previous pass that listed nothing: whatever is listed now began after it.
    return !previousClockKnown_ || record.startTime >= previousClock_;
}
