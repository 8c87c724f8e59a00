#include "app/RowFilter.h"

#include <string.h>

#include "app/TableTexts.h"

namespace {

bool Contains(const char* text, const char* filter)
{
    return text && strcasestr(text, filter) != NULL;
}

// A host matches by the name the record gives and by its address's text.
bool HostContains(const char* name, const char* keptAddressText, const S5NetAddr& address,
                  const char* filter)
{
    AddressTextBuffer buffer;
    return Contains(name, filter)
        || Contains(HostText(name, keptAddressText, address, NODE_IP_ADDRESSES, &buffer), filter);
}

// "4311" as "4,311".
std::string Grouped(int number)
{
    std::string digits = std::to_string(number < 0 ? 0 : number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

} // namespace

bool RowMatchesFilter(const Connection* row, const char* filter)
{
    if (!filter || !*filter)
        return true;
    const S5MonData& d = row->data;
    return HostContains(d.srcHostName, row->srcAddrText, d.srcSockAddr, filter)
        || HostContains(d.dstHostName, row->dstAddrText, d.dstSockAddr, filter)
        || Contains(d.userName, filter) || Contains(d.appName, filter)
        || Contains(d.socksErrMsg, filter);
}

std::string ShownOfTotalText(int shown, int total)
{
    return Grouped(shown) + " of " + Grouped(total);
}

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
