// The parts of a server name: its host and, when it names one, its port.
#ifndef VANTOR_MONSERVERNAME_H
#define VANTOR_MONSERVERNAME_H

#include <stddef.h>

// Splits "host", "host:port", "[address]", "[address]:port" or an IPv6 address alone, such
// as "::1", whose colons are its own (so it can name no port). The host goes into host, cut
// to hostSize - 1 bytes; *port points into name at the text after the port's colon (not
// checked: it may be empty or no number), or is NULL when the name gives no port. Returns
// 0 for a name with "[" but no "]" or with anything but ":port" after the "]"; *port then
// points at that rest.
int Mon_SplitServerName(const char* name, char* host, size_t hostSize, const char** port);

#endif
