// The resumable sort of the list on show through compact copies of its keys (see
// SortEntries.h). Reading the keys and sorting them both stop at a deadline and go on at
// the next call, so that the end of a big poll never holds the window.
#include "core/SortEntries.h"

#include <ctype.h>
#include <limits.h>
#include <string.h>

#include <algorithm>

#include "core/ConnectionRows.h"
#include "core/RowSort.h"
#include "core/Setting.h"
#include "core/TableTexts.h"
#include "lib/monUnixTcp.h"

namespace {

// How a key's copies compare.
enum EntryOrder {
    BY_TEXT,       // lead, then the rest of the text
    BY_NUMBER,     // lead as an unsigned number
    BY_WRAPPED_32, // the 32-bit wrap-around difference of the leads, as the row comparisons
                   // take it
    BY_ADDRESS     // IPv4 leads BY_WRAPPED_32, IPv6 addresses after them by their bytes
};

// The clock is read every so many keys (read, or sorted over) only.
enum { KEYS_BETWEEN_CLOCK_READS = 2048 };
// An equal run longer than this is put in key order by steps, not at once.
const size_t TIE_STEP = 4096;

// Asks for the fields that the key of sortType reads, and the connection key for the ties.
void PrefetchKeys(const Connection* row, SortKey sortType)
{
    __builtin_prefetch(row->data.key.key);
    switch (sortType) {
    case SORT_BY_SOURCE:
        __builtin_prefetch(row->data.srcHostName);
        __builtin_prefetch(&row->data.srcSockAddr);
        __builtin_prefetch(row->srcAddrText);
        break;
    case SORT_BY_DESTINATION:
        __builtin_prefetch(row->data.dstHostName);
        __builtin_prefetch(&row->data.dstSockAddr);
        __builtin_prefetch(row->dstAddrText);
        break;
    case SORT_BY_USER:
        __builtin_prefetch(row->data.userName);
        break;
    case SORT_BY_SERVICE:
        __builtin_prefetch(row->data.appName);
        break;
    case SORT_BY_START_TIME:
        __builtin_prefetch(&row->data.startTime);
        break;
    default:
        __builtin_prefetch(&row->lastTotalBytes);
        break;
    }
}

// A text's first eight bytes as a number, the first most significant, zeros after its end.
uint64_t Lead(const char* text)
{
    uint64_t lead = 0;
    int b = 0;
    for (; b < 8 && text[b]; b++)
        lead = lead << 8 | static_cast<unsigned char>(text[b]);
    return b == 0 ? 0 : lead << (8 * (8 - b));
}

int CompareLeads(uint64_t a, uint64_t b)
{
    return (a > b) - (a < b);
}

int CompareWrapped32(uint64_t a, uint64_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Eight bytes as a number, the first most significant.
uint64_t BigEndian64(const unsigned char* bytes)
{
    uint64_t number = 0;
    for (int b = 0; b < 8; b++)
        number = number << 8 | bytes[b];
    return number;
}

} // namespace

// Connection key order, the tie-break of every sort key.
int CompareKeys(const SortEntry& a, const SortEntry& b)
{
    if (a.keyHigh != b.keyHigh)
        return a.keyHigh < b.keyHigh ? -1 : 1;
    return a.keyLow == b.keyLow ? 0 : a.keyLow < b.keyLow ? -1 : 1;
}

void SortTies(SortEntry* first, SortEntry* last)
{
    std::sort(first, last,
              [](const SortEntry& a, const SortEntry& b) { return CompareKeys(a, b) < 0; });
}

// Texts are kept in one buffer for all entries, about 16 bytes each, so that reading the
// keys makes one allocation instead of one per row.
void RowSorter::Begin(Connection** list, int count, SortKey sortType, NodeType nodeType)
{
    list_ = list;
    sortType_ = sortType;
    nodeType_ = nodeType;
    read_ = 0;
    sorting_ = false;
    done_ = false;
    count_ = count > 0 ? static_cast<size_t>(count) : 0;
    entries_ = MakePassArray<SortEntry>(count_);
    texts_.clear();
    bool texts = sortType != SORT_BY_START_TIME && sortType != SORT_BY_TOTAL_TRAFFIC;
    texts_.reserve(texts ? count_ * 16 : 0);
    order_ = BY_NUMBER;
}

bool RowSorter::Sorts(const Connection* const* list, SortKey sortType, NodeType nodeType) const
{
    return list == list_ && sortType == sortType_ && nodeType == nodeType_;
}

bool RowSorter::ReadKeys(long long untilMs)
{
    for (int sinceClock = 0; read_ < count_; read_++) {
        if (++sinceClock == KEYS_BETWEEN_CLOCK_READS) {
            sinceClock = 0;
            if (Mon_TcpClockMs() >= untilMs)
                return false;
        }
        if (read_ + ROW_PREFETCH_DISTANCE < count_)
            PrefetchKeys(list_[read_ + ROW_PREFETCH_DISTANCE], sortType_);
        ReadKey(&entries_[read_]);
    }
    return true;
}

void RowSorter::AddText(const char* text, bool foldCase, SortEntry* entry)
{
    entry->text = static_cast<uint32_t>(texts_.size());
    for (const char* c = text; *c; c++) {
        unsigned char byte = static_cast<unsigned char>(*c);
        // Byte by byte, with the locale's table, as strcasecmp folds.
        texts_.push_back(static_cast<char>(foldCase ? tolower(byte) : byte));
    }
    texts_.push_back('\0');
    const char* copy = texts_.data() + entry->text;
    entry->lead = Lead(copy);
    // Addresses and names often share their first eight bytes ("192.168."): the next eight
    // settle most of those comparisons without reading the text store.
    entry->lead2 = (entry->lead & 0xff) != 0 ? Lead(copy + 8) : 0;
    order_ = BY_TEXT;
}

void RowSorter::AddAddress(const S5NetAddr& address, SortEntry* entry)
{
    order_ = BY_ADDRESS;
    entry->ipv6 = IsIPv6Address(address);
    if (!entry->ipv6) {
        entry->lead = AddressWord(address);
        return;
    }
    const unsigned char* bytes = address.sin6.sin6_addr.s6_addr;
    entry->lead = BigEndian64(bytes);
    entry->lead2 = BigEndian64(bytes + 8);
}

void RowSorter::ReadKey(SortEntry* entry)
{
    Connection* row = list_[read_];
    *entry = SortEntry();
    KeyedRow keyed = KeyedRowOf(row);
    entry->keyHigh = keyed.high;
    entry->keyLow = keyed.low;
    entry->row = row;
    const S5MonData& d = row->data;
    switch (sortType_) {
    case SORT_BY_SOURCE:
    case SORT_BY_DESTINATION: {
        bool source = sortType_ == SORT_BY_SOURCE;
        const S5NetAddr& address = source ? d.srcSockAddr : d.dstSockAddr;
        if (nodeType_ != NODE_HOST_NAMES) {
            AddAddress(address, entry);
            return;
        }
        AddressTextBuffer shown;
        AddText(source ? HostText(d.srcHostName, row->srcAddrText, address, nodeType_, &shown)
                       : HostText(d.dstHostName, row->dstAddrText, address, nodeType_, &shown),
                true, entry);
        return;
    }
    case SORT_BY_USER:
        AddText(d.userName, false, entry);
        return;
    case SORT_BY_SERVICE:
        AddText(d.appName, true, entry);
        return;
    case SORT_BY_START_TIME:
        // Signed times in unsigned order: the sign bit flipped.
        entry->lead = static_cast<uint32_t>(d.startTime) ^ 0x80000000u;
        return;
    default:
        entry->lead = row->lastTotalBytes;
        order_ = BY_WRAPPED_32;
        return;
    }
}

bool RowSorter::Sort(long long untilMs)
{
    if (done_)
        return true;
    if (!ReadKeys(untilMs))
        return false;
    if (!sorting_) {
        steps_.Begin(entries_.get(), static_cast<int>(count_), TIE_STEP);
        sorting_ = true;
    }
    const char* texts = texts_.data();
    bool sorted = false;
    switch (order_) {
    case BY_TEXT:
        sorted = SortSteps(untilMs, [texts](const SortEntry& a, const SortEntry& b) {
            if (a.lead != b.lead)
                return a.lead < b.lead ? -1 : 1;
            if ((a.lead & 0xff) == 0)
                return 0; // both texts end within the lead
            if (a.lead2 != b.lead2)
                return a.lead2 < b.lead2 ? -1 : 1;
            if ((a.lead2 & 0xff) == 0)
                return 0; // both end within the second eight bytes
            return strcmp(texts + a.text + 16, texts + b.text + 16);
        });
        break;
    case BY_NUMBER:
        sorted = SortSteps(untilMs, [](const SortEntry& a, const SortEntry& b) {
            return CompareLeads(a.lead, b.lead);
        });
        break;
    case BY_ADDRESS:
        sorted = SortSteps(untilMs, [](const SortEntry& a, const SortEntry& b) {
            if (a.ipv6 != b.ipv6)
                return a.ipv6 ? 1 : -1;
            if (!a.ipv6)
                return CompareWrapped32(a.lead, b.lead);
            if (a.lead != b.lead)
                return CompareLeads(a.lead, b.lead);
            return CompareLeads(a.lead2, b.lead2);
        });
        break;
    default:
        sorted = SortSteps(untilMs, [](const SortEntry& a, const SortEntry& b) {
            return CompareWrapped32(a.lead, b.lead);
        });
        break;
    }
    if (!sorted)
        return false;
    for (size_t i = 0; i < count_; i++)
        list_[i] = entries_[i].row;
    done_ = true;
    entries_.reset();
    count_ = 0;
    decltype(texts_)().swap(texts_);
    return true;
}

template <class Compare>
bool RowSorter::SortSteps(long long untilMs, Compare compare)
{
    // The clock is read after a step over a long range, or after many short ones.
    size_t sinceClock = 0;
    // A lambda rather than the function itself, so that long runs of equal keys are split
    // with the key comparison inlined instead of called through a pointer.
    auto keyCompare = [](const SortEntry& a, const SortEntry& b) { return CompareKeys(a, b); };
    return steps_.Run(compare, keyCompare, [&sinceClock, untilMs](size_t stepSize) {
        sinceClock += stepSize;
        if (sinceClock < KEYS_BETWEEN_CLOCK_READS)
            return false;
        sinceClock = 0;
        return Mon_TcpClockMs() >= untilMs;
    });
}

void SortRowsByEntries(Connection** list, int count, SortKey sortType, NodeType nodeType)
{
    RowSorter sorter;
    sorter.Begin(list, count, sortType, nodeType);
    sorter.Sort();
}
