// Sorting a long list of rows by a Sort By key through a compact copy of what the key
// compares. Every row is read once: its text is copied (folded to lower case where the
// comparison ignores case) and its first eight bytes kept as a number, or its number is
// kept. The comparisons then read only that copy, so the sort neither fetches rows from
// all over memory nor folds the same text again at every comparison. The order is the
// one the row comparisons give, ties included.
#ifndef VANTOR_SORTENTRIES_H
#define VANTOR_SORTENTRIES_H

#include <limits.h>
#include <stdint.h>

#include <memory>
#include <vector>

#include "core/Connection.h"
#include "core/PassMemory.h"
#include "core/RowSort.h"
#include "core/Setting.h"

// What one row gives the sort.
struct SortEntry {
    uint64_t lead;    // the number, or the text's first eight bytes, the first most significant
    uint64_t lead2;   // the text's next eight bytes, or an IPv6 address's last eight, as lead
    uint64_t keyHigh; // the connection key's bytes 0-7, the first most significant
    Connection* row;
    uint32_t text;   // where the text starts in the sort's text store
    uint16_t keyLow; // the connection key's bytes 8-9
    bool ipv6;       // lead is an IPv6 address's first eight bytes
};

// Sorts a list of rows through copies of their keys. The keys are read, and then sorted, in
// slices, so that a long list is sorted between other work.
class RowSorter {
public:
    // Starts on list[0..count), to be sorted by sortType (SORT_BY_SOURCE to
    // SORT_BY_TOTAL_TRAFFIC) as shown under nodeType. The list must stay as it is until
    // Sort is done.
    void Begin(Connection** list, int count, SortKey sortType, NodeType nodeType);
    // Whether the keys being read (or sorted) are those of this sort.
    bool Sorts(const Connection* const* list, SortKey sortType, NodeType nodeType) const;
    // Reads the keys left and sorts the list by them, ascending, ties in connection key
    // order, until done (true: the list is in order and the copies' memory given back) or
    // until the clock reaches untilMs (false).
    bool Sort(long long untilMs = LLONG_MAX);

private:
    Connection** list_ = nullptr;
    SortKey sortType_ = SORT_BY_SOURCE;
    NodeType nodeType_ = NODE_HOST_NAMES;
    size_t read_ = 0;
    // Left uninitialised when made: every entry is written whole as its key is read, and
    // zeroing hundreds of thousands of them first would cost a pass over memory per poll.
    PassArray<SortEntry> entries_;
    size_t count_ = 0;
    std::vector<char, PassAllocator<char>> texts_; // the texts, each ended by a zero byte
    int order_ = 0;           // how the entries compare
    RowSortSteps<SortEntry> steps_;
    bool sorting_ = false; // the keys are all read and the steps begun
    bool done_ = false;    // the list is sorted

    // Reads keys until all are read (true) or the clock reaches untilMs.
    bool ReadKeys(long long untilMs);
    template <class Compare>
    bool SortSteps(long long untilMs, Compare compare);

    void ReadKey(SortEntry* entry);
    void AddText(const char* text, bool foldCase, SortEntry* entry);
    void AddAddress(const S5NetAddr& address, SortEntry* entry);
};

// Sorts list[0..count) at once, as RowSorter does.
void SortRowsByEntries(Connection** list, int count, SortKey sortType, NodeType nodeType);

// The connection key order of entries; and entries of equal sort order put in it.
int CompareKeys(const SortEntry& a, const SortEntry& b);
void SortTies(SortEntry* first, SortEntry* last);

#endif
