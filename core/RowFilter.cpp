// The table's filter (see RowFilter.h). A filter runs over every row of a poll, hundreds of
// thousands on a busy server, so the folding of case is done through a table made once per
// filter, and the caller asks for the fields of rows a few places ahead.
#include "core/RowFilter.h"

#include <ctype.h>
#include <string.h>

#include "core/Setting.h"
#include "core/TableTexts.h"

namespace {

// "4311" as "4,311".
std::string Grouped(int number)
{
    std::string digits = std::to_string(number < 0 ? 0 : number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

} // namespace

RowFilter::RowFilter(const char* filter)
{
    // Byte by byte with the locale's table, as strcasestr folds.
    for (int byte = 0; byte < 256; byte++)
        fold_[byte] = static_cast<unsigned char>(tolower(byte));
    size_t length = 0;
    for (; filter && filter[length] && length + 1 < sizeof folded_; length++)
        folded_[length] = fold_[static_cast<unsigned char>(filter[length])];
    folded_[length] = '\0';
}

// A plain scan: the fields are short, and strcasestr would prepare its search anew and fold
// through a function call at every byte.
bool RowFilter::Contains(const char* text) const
{
    if (!text)
        return false;
    for (const unsigned char* at = reinterpret_cast<const unsigned char*>(text); *at; at++) {
        if (fold_[*at] != folded_[0])
            continue;
        size_t i = 1;
        while (folded_[i] && at[i] && fold_[at[i]] == folded_[i])
            i++;
        if (!folded_[i])
            return true;
    }
    return false;
}

// A host matches by the name the record gives and by its address's text.
bool RowFilter::HostContains(const char* name, const char* keptAddressText,
                             const S5NetAddr& address) const
{
    AddressTextBuffer buffer;
    return Contains(name)
        || Contains(HostText(name, keptAddressText, address, NODE_IP_ADDRESSES, &buffer));
}

bool RowFilter::Matches(const Connection* row) const
{
    if (!folded_[0])
        return true;
    const S5MonData& d = row->data;
    return HostContains(d.srcHostName, row->srcAddrText, d.srcSockAddr)
        || HostContains(d.dstHostName, row->dstAddrText, d.dstSockAddr) || Contains(d.userName)
        || Contains(d.appName) || Contains(d.socksErrMsg);
}

// The fields lie across a row of 1.8 KB, a cache line each; asking for all of them at once
// lets their fetches overlap with the filtering of the rows before.
void PrefetchFilterFields(const Connection* row)
{
    __builtin_prefetch(row->srcAddrText);
    __builtin_prefetch(&row->data.srcSockAddr);
    __builtin_prefetch(row->data.srcHostName);
    __builtin_prefetch(row->data.dstHostName);
    __builtin_prefetch(row->data.userName);
    __builtin_prefetch(row->data.appName);
    __builtin_prefetch(row->data.socksErrMsg);
}

std::string ShownOfTotalText(int shown, int total)
{
    return Grouped(shown) + " of " + Grouped(total);
}

// Control characters would be written into view.ini and break its lines: they become
// blanks. A cut never splits a UTF-8 character.
std::string CleanFilterText(const char* text, size_t size)
{
    std::string clean;
    for (const char* c = text ? text : ""; *c; c++) {
        unsigned char byte = static_cast<unsigned char>(*c);
        clean += byte < 0x20 || byte == 0x7f ? ' ' : *c;
    }
    size_t first = clean.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    clean = clean.substr(first, clean.find_last_not_of(' ') - first + 1);
    if (clean.size() >= size) {
        size_t cut = size - 1;
        while (cut > 0 && (static_cast<unsigned char>(clean[cut]) & 0xc0) == 0x80)
            cut--; // not inside a character
        clean.resize(cut);
    }
    return clean;
}
