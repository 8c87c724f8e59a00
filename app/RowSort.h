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

#include "app/Connection.h"

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

// Sorts list[left..right] ascending by compare(a, b) (negative when a goes first), ties by
// connection key. The smaller part is sorted by recursion and the larger one by the loop,
// so the stack stays shallow. The elements are row pointers or anything SortTies orders.
template <class Element, class Compare>
void SortRows(Element* list, int left, int right, Compare compare)
{
    while (left < right) {
        std::swap(list[left], list[left + (right - left) / 2]);
        const Element pivot = list[left];
        // list[left..lt-1] before the pivot, list[lt..i-1] equal, list[gt+1..right] after.
        int lt = left;
        int i = left + 1;
        int gt = right;
        while (i <= gt) {
            int order = compare(list[i], pivot);
            if (order < 0) {
                std::swap(list[lt++], list[i++]);
            } else if (order > 0) {
                std::swap(list[i], list[gt--]);
            } else {
                i++;
            }
        }
        // The key order is a strict weak order, so the equal run may go to std::sort.
        SortTies(list + lt, list + gt + 1);
        if (lt - left < right - gt) {
            SortRows(list, left, lt - 1, compare);
            left = gt + 1;
        } else {
            SortRows(list, gt + 1, right, compare);
            right = lt - 1;
        }
    }
}

#endif
