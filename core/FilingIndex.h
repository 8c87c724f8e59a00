// Where each received record goes in the row array, found in constant time.
//
// A record is filed into the used row with its key; a new one takes the last free slot
// before the end of the used part, or the slot right after it. Scanning the array for
// every record costs the square of the row count per poll; this index gives the same
// placement. It is kept from poll to poll (rows taken and freed are told to it) and
// rebuilt by one scan only when the rows changed behind its back.
#ifndef VANTOR_FILINGINDEX_H
#define VANTOR_FILINGINDEX_H

#include <stdint.h>

#include <vector>

#include "core/Connection.h"

class FilingIndex {
public:
    // Indexes the used part of rows: the slots up to the rowCount-th used one.
    void Build(const Connection* rows, int capacity, int rowCount);
    // Builds the index unless it already describes rows with rowCount used slots, as last
    // filed for owner (the server whose rows they are).
    void Sync(const void* owner, const Connection* rows, int capacity, int rowCount);
    // Tells that the rows indexed at from now lie at to, slot for slot, so that a move of
    // the array costs no new index.
    void Moved(const Connection* from, const Connection* to);
    // Forgets everything: the next Sync builds anew.
    void Clear();

    // The used slot that holds key (the first one, should the array hold it twice), or -1.
    int Find(const S5MonKey& key);
    // Asks for what Find(key) will read, the index entry first and, once that is there, the
    // row: records are filed a batch at a time so that these fetches overlap.
    void PrefetchEntry(const S5MonKey& key) const;
    // False when the key's first place in the index is empty: no row holds the key.
    bool PrefetchRow(const S5MonKey& key) const;
    // The slot a new row takes; it equals the capacity when the array must grow first.
    int NextSlot() const { return free_.empty() ? end_ : free_.front(); }
    // One past the last slot of the used part.
    int UsedEnd() const { return end_; }
    // Records that slot, as given by NextSlot, now holds key.
    void Take(const S5MonKey& key, int slot);
    // Records that the used slot of rows has just been freed (its key is still in the row).
    void Release(const Connection* rows, int slot);

    // A well-mixed hash of a 10-byte connection key.
    static uint64_t Hash(const char* key);

private:
    static uint32_t HashOf(const char* key) { return static_cast<uint32_t>(Hash(key)); }

    // Eight bytes a row: the key itself is read from the row, so the index costs a quarter
    // of a row's resident size less than one holding keys would.
    struct Entry {
        uint32_t hash; // the low half of Hash(key), which also gives the entry's home
        int32_t slot;  // -1: empty
    };

    // The entry whose row holds key, or the empty one where it goes. *stale tells whether an
    // entry on the way led to a row that no longer holds a key of the entry's hash.
    size_t Probe(const char* key, bool* stale = nullptr) const;
    // The first entry of hash that names slot (any slot when slot is -1), or an empty one.
    size_t ProbeHash(uint32_t hash, int slot = -1) const;
    void Insert(uint32_t hash, int slot);
    void Erase(size_t at);
    void Reserve(size_t count);

    bool valid_ = false;
    const void* owner_ = nullptr;
    const Connection* rows_ = nullptr;
    int capacity_ = 0;
    int count_ = 0;            // used slots indexed
    bool duplicates_ = false;  // the rows held a key twice when built
    std::vector<Entry> table_; // open addressing, linear probing, a power of two long
    std::vector<int> free_;    // free slots inside the used part, a max-heap
    int end_ = 0;
};

#endif
