// Address blocks in CIDR notation ("10.0.0.0/8", "2001:db8::/32", a bare address for one
// host), as the access rules and monitor-allow name sources and destinations.
#ifndef VANTOR_PROXY_CIDR_H
#define VANTOR_PROXY_CIDR_H

#include <string>

#include "tools/proxy/IpAddress.h"

struct Cidr {
    IpAddress network; // IPv4 or IPv6, the bits beyond the prefix zero
    int prefix = 0;    // 0..32 for IPv4, 0..128 for IPv6
};

// Parses ADDR or ADDR/LEN. Bits set beyond the prefix are refused ("10.1.2.3/8" is more
// likely a slip than a way to write 10.0.0.0/8). An IPv4 block written in the mapped IPv6
// form (::ffff:10.0.0.0/104) is kept as the IPv4 block. On failure *error says why.
bool parseCidr(const std::string& text, Cidr* out, std::string* error);
std::string cidrText(const Cidr& c);
// Whether a lies in c. A mapped IPv6 address counts as its IPv4 address; otherwise an IPv4
// block never holds an IPv6 address nor the other way round, so ::/0 is every IPv6 address
// and 0.0.0.0/0 every IPv4 one.
bool cidrContains(const Cidr& c, const IpAddress& a);

#endif
