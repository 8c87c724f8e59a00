// Which rows the table shows under a server's filter, free of X: those whose Source,
// Destination, User Name, Service or Errors contain the filter text, ignoring case; hosts
// match by name and by address alike, whichever the table shows.
#ifndef VANTOR_ROWFILTER_H
#define VANTOR_ROWFILTER_H

#include <string>
#include <vector>

#include "app/Connection.h"

bool RowMatchesFilter(const Connection* row, const char* filter);

// What the status line says of a filtered list: "12 of 4,311".
std::string ShownOfTotalText(int shown, int total);

// The filter as kept: control bytes (a pasted tab or line end) become blanks, blanks around
// it go, and it is cut to fit size bytes, never inside a UTF-8 character.
std::string CleanFilterText(const char* text, size_t size);

#endif
