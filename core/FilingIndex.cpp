// The filing index (see FilingIndex.h): a hash table from connection keys to row slots,
// and a heap of the free slots inside the used part of the row array.
#include "core/FilingIndex.h"

#include <string.h>

#include <algorithm>

// One scan of the array: every used row goes into the table, every free slot met before
// the rowCount-th used row into the heap. The scan stops there, so the used part ends at
// the last used row, as the placement rule wants.
void FilingIndex::Build(const Connection* rows, int capacity, int rowCount)
{
    Clear();
    valid_ = true;
    rows_ = rows;
    capacity_ = capacity;
    Reserve(static_cast<size_t>(rowCount > 0 ? rowCount : 0));
    int passed = 0;
    int slot = 0;
    for (; slot < capacity && passed < rowCount; slot++) {
        if (rows[slot].kind == CONN_FREE) {
            free_.push_back(slot);
            continue;
        }
        passed++;
        size_t at = Probe(rows[slot].data.key.key);
        if (table_[at].slot < 0) {
            table_[at] = Entry{HashOf(rows[slot].data.key.key), slot};
        } else {
            duplicates_ = true; // the first one wins
        }
    }
    count_ = passed;
    end_ = slot;
    std::make_heap(free_.begin(), free_.end());
}

// Cheap when nothing changed, which is the rule during a pass: the index is rebuilt only
// when it serves another server, another array or a row count it did not see coming.
void FilingIndex::Sync(const void* owner, const Connection* rows, int capacity, int rowCount)
{
    if (!valid_ || owner != owner_ || rows != rows_ || count_ != rowCount || end_ > capacity) {
        Build(rows, capacity, rowCount);
    }
    owner_ = owner;
    capacity_ = capacity;
}

void FilingIndex::Moved(const Connection* from, const Connection* to)
{
    if (rows_ == from)
        rows_ = to;
}

void FilingIndex::Clear()
{
    valid_ = false;
    owner_ = nullptr;
    rows_ = nullptr;
    capacity_ = 0;
    count_ = 0;
    duplicates_ = false;
    std::fill(table_.begin(), table_.end(), Entry{0, -1});
    free_.clear();
    end_ = 0;
}

// The index does not hold keys, so it cannot tell by itself that a row changed: a probe
// that meets an entry whose row no longer gives the entry's hash takes that as a sign and
// rebuilds, trading a rare scan for eight bytes an entry.
int FilingIndex::Find(const S5MonKey& key)
{
    if (!valid_) {
        return -1;
    }
    bool stale = false;
    int slot = table_[Probe(key.key, &stale)].slot;
    if (stale) {
        // A row changed behind the index's back (or, rarely, two keys share a hash): look
        // again from the rows themselves.
        Build(rows_, capacity_, count_);
        slot = table_[Probe(key.key)].slot;
    }
    return slot;
}

// The home entry of the key; a probe rarely goes further while the table is half empty.
void FilingIndex::PrefetchEntry(const S5MonKey& key) const
{
    if (valid_ && !table_.empty())
        __builtin_prefetch(&table_[HashOf(key.key) & (table_.size() - 1)]);
}

bool FilingIndex::PrefetchRow(const S5MonKey& key) const
{
    if (!valid_ || table_.empty())
        return true; // nothing known: the look-up itself will tell
    int slot = table_[ProbeHash(HashOf(key.key))].slot;
    if (slot < 0)
        return false;
    if (slot >= capacity_)
        return true;
    // The whole row: filing a record writes all of it.
    const char* row = reinterpret_cast<const char*>(&rows_[slot]);
    for (size_t at = 0; at < sizeof(Connection); at += 64)
        __builtin_prefetch(row + at, 1);
    return true;
}

// The slot is either the highest free one inside the used part (the heap's top) or the
// one right after it.
void FilingIndex::Take(const S5MonKey& key, int slot)
{
    if (!free_.empty() && free_.front() == slot) {
        std::pop_heap(free_.begin(), free_.end());
        free_.pop_back();
    } else if (slot == end_) {
        end_ = slot + 1;
    }
    count_++;
    Reserve(static_cast<size_t>(count_));
    Insert(HashOf(key.key), slot);
}

// Freed slots go to the heap; when the freed slot ends the used part, the part shrinks
// back to its last used row, as a fresh scan would find it.
void FilingIndex::Release(const Connection* rows, int slot)
{
    if (!valid_) {
        return;
    }
    if (duplicates_ || rows != rows_) {
        Clear(); // which of two rows a key then names is for a new scan to say
        return;
    }
    size_t at = ProbeHash(HashOf(rows_[slot].data.key.key), slot);
    if (table_[at].slot == slot) {
        Erase(at);
    }
    count_--;
    free_.push_back(slot);
    std::push_heap(free_.begin(), free_.end());
    // The used part ends at its last used slot: free slots past it are not reused first.
    while (end_ > 0 && rows_[end_ - 1].kind == CONN_FREE) {
        std::pop_heap(free_.begin(), free_.end());
        free_.pop_back();
        end_--;
    }
}

// Keys differ mostly in a few bytes (a connection number, a thread id), so the ten bytes
// are mixed thoroughly (a multiply per half, then the finalizer of MurmurHash3) before the
// low bits pick an entry.
uint64_t FilingIndex::Hash(const char* key)
{
    uint64_t low;
    uint16_t high;
    memcpy(&low, key, sizeof low);
    memcpy(&high, key + sizeof low, sizeof high);
    uint64_t h = low * 0x9e3779b97f4a7c15ull ^ high * 0xc2b2ae3d27d4eb4full;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    return h ^ (h >> 33);
}

// Linear probing from the hash's home; an entry matches when its row holds the key.
size_t FilingIndex::Probe(const char* key, bool* stale) const
{
    size_t mask = table_.size() - 1;
    uint32_t hash = HashOf(key);
    size_t at = hash & mask;
    for (; table_[at].slot >= 0; at = (at + 1) & mask) {
        if (table_[at].hash != hash)
            continue;
        const Connection& row = rows_[table_[at].slot];
        if (row.kind != CONN_FREE && memcmp(row.data.key.key, key, sizeof row.data.key.key) == 0)
            break;
        // Two keys may share a hash; a row whose key does not give the entry's hash changed.
        if (stale && (row.kind == CONN_FREE || HashOf(row.data.key.key) != hash))
            *stale = true;
    }
    return at;
}

size_t FilingIndex::ProbeHash(uint32_t hash, int slot) const
{
    size_t mask = table_.size() - 1;
    size_t at = hash & mask;
    while (table_[at].slot >= 0
           && (table_[at].hash != hash || (slot >= 0 && table_[at].slot != slot)))
        at = (at + 1) & mask;
    return at;
}

// Into the first empty entry from the hash's home: the key is not there yet.
void FilingIndex::Insert(uint32_t hash, int slot)
{
    size_t mask = table_.size() - 1;
    size_t at = hash & mask;
    while (table_[at].slot >= 0)
        at = (at + 1) & mask;
    table_[at] = Entry{hash, slot};
}

// Backward-shift deletion keeps every probe sequence unbroken without tombstones.
void FilingIndex::Erase(size_t at)
{
    size_t mask = table_.size() - 1;
    size_t hole = at;
    for (size_t next = (hole + 1) & mask; table_[next].slot >= 0; next = (next + 1) & mask) {
        size_t home = table_[next].hash & mask;
        // The entry may fill the hole when its home is not between the hole and itself.
        bool movable = hole <= next ? (home <= hole || home > next) : (home <= hole && home > next);
        if (movable) {
            table_[hole] = table_[next];
            hole = next;
        }
    }
    table_[hole].slot = -1;
}

// Keeps the table at most half full, so that probes stay short.
void FilingIndex::Reserve(size_t count)
{
    size_t size = table_.empty() ? 64 : table_.size();
    while (size < 2 * count) {
        size *= 2;
    }
    if (size == table_.size()) {
        return;
    }
    std::vector<Entry> old(size, Entry{0, -1});
    old.swap(table_);
    for (const Entry& entry : old) {
        if (entry.slot >= 0) {
            Insert(entry.hash, entry.slot);
        }
    }
}
