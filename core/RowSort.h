// Sorting a list of row pointers by one of the row comparisons, in n log n whatever the keys.
//
// The comparisons need not be a strict weak order (the address comparison wraps around),
// so the list is not handed to std::sort: a quicksort with the middle element as pivot
// splits it three ways, into rows before, equal to and after the pivot. Rows that compare
// equal are put in order of their connection key, so that they keep their places from one
// poll to the next.
#ifndef VANTOR_ROWSORT_H
#define VANTOR_ROWSORT_H

#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "core/Connection.h"

inline bool KeyBefore(const Connection* a, const Connection* b)
{
    return memcmp(a->data.key.key, b->data.key.key, sizeof a->data.key.key) < 0;
}

// A row with its connection key as two numbers whose order is the key's byte order.
struct KeyedRow {
    uint64_t high; // bytes 0-7, the first most significant
    uint16_t low;  // bytes 8-9
    Connection* row;
};

inline KeyedRow KeyedRowOf(Connection* row)
{
    const unsigned char* key = reinterpret_cast<const unsigned char*>(row->data.key.key);
    uint64_t high = 0;
    for (int b = 0; b < 8; b++)
        high = high << 8 | key[b];
    return {high, static_cast<uint16_t>(key[8] << 8 | key[9]), row};
}

inline bool KeyedBefore(const KeyedRow& a, const KeyedRow& b)
{
    return a.high != b.high ? a.high < b.high : a.low < b.low;
}

// Puts list[first..last) in connection key order. A long run has its keys read out once
// beside its rows and sorted there: rows lie anywhere in memory, and comparing in place
// would fetch two of them at every comparison.
inline void SortByKey(Connection** first, Connection** last)
{
    size_t count = static_cast<size_t>(last - first);
    if (count < 64) {
        std::sort(first, last, KeyBefore);
        return;
    }
    std::vector<KeyedRow> keyed(count);
    for (size_t i = 0; i < count; i++)
        keyed[i] = KeyedRowOf(first[i]);
    std::sort(keyed.begin(), keyed.end(), KeyedBefore);
    for (size_t i = 0; i < count; i++)
        first[i] = keyed[i].row;
}

// Puts entries of equal sort order in connection key order; overloaded for every kind of
// list element that SortRows sorts.
inline void SortTies(Connection** first, Connection** last)
{
    SortByKey(first, last);
}

// The quicksort below, kept as a list of ranges still to split, so that a long sort can stop
// between two steps and go on later, the window answering in between. A step splits one
// range three ways, by compare(a, b) (negative when a goes first) around its middle
// element, into elements before, equal to and after it; the equal run is put in connection
// key order. Ranges are disjoint, so the order of the steps does not change the result.
// The elements are row pointers or anything SortTies orders.
template <class Element>
class RowSortSteps {
public:
    // Starts on list[0..count). An equal run longer than tieStep is put in key order by
    // steps too, through the key comparison given to Run; a shorter one at once.
    void Begin(Element* list, int count, size_t tieStep = SIZE_MAX)
    {
        list_ = list;
        tieStep_ = tieStep;
        todo_.clear();
        if (count > 1)
            todo_.push_back({0, count - 1, false});
    }
    bool Done() const { return todo_.empty(); }
    // Takes steps until the list is sorted (true) or stop(size of the last range) says to
    // stop (false). keyCompare orders elements by connection key, as compare does.
    template <class Compare, class KeyCompare, class Stop>
    bool Run(Compare compare, KeyCompare keyCompare, Stop stop)
    {
        while (!todo_.empty()) {
            Range range = todo_.back();
            todo_.pop_back();
            if (range.ties)
                Split(range, keyCompare);
            else
                Split(range, compare);
            if (!todo_.empty() && stop(static_cast<size_t>(range.right - range.left + 1)))
                return false;
        }
        return true;
    }

private:
    struct Range {
        int left, right;
        bool ties; // an equal run, ordered by key
    };

    template <class Compare>
    void Split(const Range& range, Compare compare)
    {
        int left = range.left, right = range.right;
        std::swap(list_[left], list_[left + (right - left) / 2]);
        const Element pivot = list_[left];
        // list[left..lt-1] before the pivot, list[lt..i-1] equal, list[gt+1..right] after.
        int lt = left;
        int i = left + 1;
        int gt = right;
        while (i <= gt) {
            int order = compare(list_[i], pivot);
            if (order < 0) {
                std::swap(list_[lt++], list_[i++]);
            } else if (order > 0) {
                std::swap(list_[i], list_[gt--]);
            } else {
                i++;
            }
        }
        // The key order is a strict weak order, so a short equal run may go to std::sort.
        if (!range.ties && gt > lt) {
            if (static_cast<size_t>(gt - lt + 1) > tieStep_)
                todo_.push_back({lt, gt, true});
            else
                SortTies(list_ + lt, list_ + gt + 1);
        }
        // The smaller part is taken next, so the list of ranges stays short.
        Range before{left, lt - 1, range.ties}, after{gt + 1, right, range.ties};
        if (lt - left < right - gt)
            std::swap(before, after);
        for (const Range& part : {before, after})
            if (part.left < part.right)
                todo_.push_back(part);
    }

    Element* list_ = nullptr;
    size_t tieStep_ = SIZE_MAX;
    std::vector<Range> todo_;
};

// Sorts list[left..right] ascending by compare(a, b) (negative when a goes first), ties by
// connection key, in one go.
template <class Element, class Compare>
void SortRows(Element* list, int left, int right, Compare compare)
{
    if (left >= right)
        return;
    RowSortSteps<Element> steps;
    steps.Begin(list + left, right - left + 1);
    steps.Run(compare, compare, [](size_t) { return false; });
}

#endif
