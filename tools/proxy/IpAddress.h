// Numeric IPv4 and IPv6 addresses, and the ADDR:PORT endpoints the proxy listens on, as the
// configuration and the access rules hold them. Nothing here ever resolves a name.
#ifndef VANTOR_PROXY_IPADDRESS_H
#define VANTOR_PROXY_IPADDRESS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <netinet/in.h>

struct IpAddress {
    int family = 0;         // AF_INET or AF_INET6; 0 while there is none
    uint8_t bytes[16] = {}; // network order; IPv4 uses the first 4
    size_t size() const { return family == AF_INET ? 4 : family == AF_INET6 ? 16 : 0; }
};

bool operator==(const IpAddress& a, const IpAddress& b);

// A numeric IPv4 (dotted decimal) or IPv6 address, nothing else in text.
bool parseIpAddress(const std::string& text, IpAddress* out);
std::string ipAddressText(const IpAddress& a);
IpAddress ipv4Address(const in_addr& a);
// The address of a socket address of family AF_INET or AF_INET6 (family 0 otherwise).
IpAddress ipAddressOf(const sockaddr_storage& a);
// An IPv4 address written as IPv6 (::ffff:a.b.c.d, as a dual-stack socket reports IPv4
// peers) becomes plain IPv4, so that one rule covers both forms; others stay as they are.
IpAddress unmapped(const IpAddress& a);
// 0.0.0.0 and ::, the addresses that name no host in particular (family 0 too).
bool isUnspecified(const IpAddress& a);
// 127.0.0.0/8, ::1 and their mapped forms.
bool isLoopback(const IpAddress& a);

struct Endpoint {
    IpAddress ip;
    uint16_t port = 0; // host order; 0 picks a free port
};

// "ADDR:PORT", "ADDR" or ":PORT", IPv6 in brackets ("[::1]:1080", "[::]"); the parts not
// given keep the values already in *out, which is untouched when text is malformed.
bool parseEndpoint(const std::string& text, Endpoint* out);
// "127.0.0.1:1080", "[::1]:1080".
std::string endpointText(const Endpoint& e);
// The IPv4 socket address of e; false when e is IPv6.
bool ipv4SocketAddress(const Endpoint& e, sockaddr_in* out);
// The socket address of e, of either family.
sockaddr_storage socketAddress(const Endpoint& e);
// The address and port of a socket address of family AF_INET or AF_INET6.
Endpoint endpointOf(const sockaddr_storage& a);

#endif
