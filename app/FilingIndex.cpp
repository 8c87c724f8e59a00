#include "app/FilingIndex.h"

void FilingIndex::Build(const Connection* rows, int capacity, int rowCount)
{
    Clear();
    active_ = true;
    slotOfKey_.reserve(static_cast<size_t>(rowCount > 0 ? rowCount : 0));
    int passed = 0;
    int slot = 0;
    for (; slot < capacity && passed < rowCount; slot++) {
        if (rows[slot].kind == CONN_FREE) {
            free_.push_back(slot);
            continue;
        }
        passed++;
        slotOfKey_.emplace(KeyText(rows[slot].data.key), slot);  // the first one wins
    }
    end_ = slot;
}

void FilingIndex::Clear()
{
    active_ = false;
    slotOfKey_.clear();
    free_.clear();
    end_ = 0;
}

int FilingIndex::Find(const S5MonKey& key) const
{
    auto found = slotOfKey_.find(KeyText(key));
    return found == slotOfKey_.end() ? -1 : found->second;
}

void FilingIndex::Take(const S5MonKey& key, int slot)
{
    if (!free_.empty() && free_.back() == slot) {
        free_.pop_back();
    } else if (slot == end_) {
        end_ = slot + 1;
    }
    slotOfKey_.emplace(KeyText(key), slot);
}
