// Which rows the table shows under a server's filter, free of X: those whose Source,
// Destination, User Name, Service or Errors contain the filter text, ignoring case; hosts
// match by name and by address alike, whichever the table shows.
#ifndef VANTOR_ROWFILTER_H
#define VANTOR_ROWFILTER_H

#include <string>
#include <vector>

#include "core/Connection.h"
#include "core/Setting.h"

class RowFilter {
public:
    explicit RowFilter(const char* filter);
    // Whether row is shown under the filter (every row is under an empty one).
    bool Matches(const Connection* row) const;

private:
    bool Contains(const char* text) const;
    bool HostContains(const char* name, const char* keptAddressText,
                      const S5NetAddr& address) const;

    unsigned char fold_[256];                   // each byte folded to lower case
    unsigned char folded_[SETTING_FILTER_SIZE]; // the filter, folded
};

// Asks for the parts of row that RowFilter::Matches reads, so that a scan of many rows can
// ask a few rows ahead and their fetches from memory overlap.
void PrefetchFilterFields(const Connection* row);

// What the status line says of a filtered list: "12 of 4,311".
std::string ShownOfTotalText(int shown, int total);

// The filter as kept: control bytes (a pasted tab or line end) become blanks, blanks around
// it go, and it is cut to fit size bytes, never inside a UTF-8 character.
std::string CleanFilterText(const char* text, size_t size);

#endif
