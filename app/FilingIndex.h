// Where each received record goes in the row array, found in constant time.
//
// A record is filed into the used row with its key; a new one takes the last free slot
// before the end of the used part, or the slot right after it. Scanning the array for
// every record costs the square of the row count per poll; this index gives the same
// placement at the cost of one scan per poll.
#ifndef VANTOR_FILINGINDEX_H
#define VANTOR_FILINGINDEX_H

#include <string>
#include <unordered_map>
#include <vector>

#include "app/Connection.h"

class FilingIndex {
public:
    // Indexes the used part of rows: the slots up to the rowCount-th used one.
    void Build(const Connection* rows, int capacity, int rowCount);
    void Clear();
    bool active() const { return active_; }

    // The used slot that holds key (the first one, should the array hold it twice), or -1.
    int Find(const S5MonKey& key) const;
    // The slot a new row takes; it equals the capacity when the array must grow first.
    int NextSlot() const { return free_.empty() ? end_ : free_.back(); }
    // One past the last slot of the used part.
    int UsedEnd() const { return end_; }
    // Records that slot, as given by NextSlot, now holds key.
    void Take(const S5MonKey& key, int slot);

private:
    static std::string KeyText(const S5MonKey& key) { return std::string(key.key, sizeof key.key); }

    bool active_ = false;
    std::unordered_map<std::string, int> slotOfKey_;
    std::vector<int> free_;  // free slots inside the used part, ascending
    int end_ = 0;
};

#endif
