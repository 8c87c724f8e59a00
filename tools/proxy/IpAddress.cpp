// Parsing and printing numeric addresses and endpoints (see IpAddress.h).
#include "tools/proxy/IpAddress.h"

#include <arpa/inet.h>

#include <cstring>

#include "tools/common/CommandLine.h"

namespace {

// The first 12 bytes of an IPv4-mapped IPv6 address (::ffff:a.b.c.d), which a dual-stack socket
// reports for an IPv4 peer.
const uint8_t kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};

} // namespace

// Only the bytes of the family count; the rest of the array may hold anything.
bool operator==(const IpAddress& a, const IpAddress& b)
{
    return a.family == b.family && std::memcmp(a.bytes, b.bytes, a.size()) == 0;
}

// Numeric only: nothing here may cause a name lookup.
bool parseIpAddress(const std::string& text, IpAddress* out)
{
    IpAddress a;
    if (inet_pton(AF_INET, text.c_str(), a.bytes) == 1)
        a.family = AF_INET;
    else if (inet_pton(AF_INET6, text.c_str(), a.bytes) == 1)
        a.family = AF_INET6;
    else
        return false;
    // inet_pton stops at a NUL: "1.2.3.4\0junk" would pass as 1.2.3.4.
    if (text.find('\0') != std::string::npos)
        return false;
    *out = a;
    return true;
}

// An empty text for an unset address, so a log line shows a gap rather than garbage.
std::string ipAddressText(const IpAddress& a)
{
    char buf[INET6_ADDRSTRLEN] = "";
    if (a.family == 0 || !inet_ntop(a.family, a.bytes, buf, sizeof buf))
        return "";
    return buf;
}

IpAddress ipv4Address(const in_addr& a)
{
    IpAddress out;
    out.family = AF_INET;
    std::memcpy(out.bytes, &a.s_addr, 4);
    return out;
}

// Any other family (a Unix socket, say) gives an unset address.
IpAddress ipAddressOf(const sockaddr_storage& a)
{
    IpAddress out;
    if (a.ss_family == AF_INET) {
        out = ipv4Address(reinterpret_cast<const sockaddr_in&>(a).sin_addr);
    } else if (a.ss_family == AF_INET6) {
        out.family = AF_INET6;
        std::memcpy(out.bytes, &reinterpret_cast<const sockaddr_in6&>(a).sin6_addr, 16);
    }
    return out;
}

// Rules and loopback checks see the IPv4 address behind a mapped one, so a rule written for
// 10.0.0.0/8 also matches a client that arrives on an IPv6 socket.
IpAddress unmapped(const IpAddress& a)
{
    if (a.family != AF_INET6 || std::memcmp(a.bytes, kMappedPrefix, 12) != 0)
        return a;
    IpAddress v4;
    v4.family = AF_INET;
    std::memcpy(v4.bytes, a.bytes + 12, 4);
    return v4;
}

// 0.0.0.0 or ::, the "any address" of a listening socket.
bool isUnspecified(const IpAddress& a)
{
    static const uint8_t zeros[16] = {};
    return std::memcmp(a.bytes, zeros, a.size()) == 0;
}

// The whole of 127/8 is loopback, but only ::1 in IPv6.
bool isLoopback(const IpAddress& address)
{
    IpAddress a = unmapped(address);
    if (a.family == AF_INET)
        return a.bytes[0] == 127;
    static const uint8_t v6Loopback[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    return a.family == AF_INET6 && std::memcmp(a.bytes, v6Loopback, 16) == 0;
}

// ADDR, ADDR:PORT, [IPV6] or [IPV6]:PORT; what is left out keeps the value *out had, so a caller
// presets the default port. An empty port after the colon is a mistake, not a default.
bool parseEndpoint(const std::string& text, Endpoint* out)
{
    if (text.empty())
        return false;
    std::string host = text;
    std::string port;
    bool bracketed = !text.empty() && text[0] == '[';
    size_t hostEnd = bracketed ? text.find(']') : text.rfind(':');
    if (bracketed) {
        if (hostEnd == std::string::npos)
            return false;
        host = text.substr(1, hostEnd - 1);
        if (hostEnd + 1 < text.size()) {
            if (text[hostEnd + 1] != ':')
                return false;
            port = text.substr(hostEnd + 2);
            if (port.empty())
                return false;
        }
    } else if (hostEnd != std::string::npos) {
        host = text.substr(0, hostEnd);
        port = text.substr(hostEnd + 1);
        if (port.empty())
            return false;
    }
    Endpoint e = *out;
    int portNumber = 0;
    if (!port.empty()) {
        if (!parseWholeNumber(port, 0, 65535, &portNumber))
            return false;
        e.port = uint16_t(portNumber);
    }
    if (!host.empty() || bracketed) {
        // An IPv6 address needs its brackets: in "::1" the end would be taken for a port.
        if (!parseIpAddress(host, &e.ip) || (e.ip.family == AF_INET6) != bracketed)
            return false;
    }
    *out = e;
    return true;
}

// Written in the form parseEndpoint reads, so a logged address can be given back as an option.
std::string endpointText(const Endpoint& e)
{
    std::string host = ipAddressText(e.ip);
    if (e.ip.family == AF_INET6)
        host = "[" + host + "]";
    return host + ":" + std::to_string(e.port);
}

bool ipv4SocketAddress(const Endpoint& e, sockaddr_in* out)
{
    if (e.ip.family != AF_INET)
        return false;
    *out = sockaddr_in{};
    out->sin_family = AF_INET;
    std::memcpy(&out->sin_addr, e.ip.bytes, 4);
    out->sin_port = htons(e.port);
    return true;
}

sockaddr_storage socketAddress(const Endpoint& e)
{
    sockaddr_storage out{};
    if (e.ip.family == AF_INET6) {
        auto& a = reinterpret_cast<sockaddr_in6&>(out);
        a.sin6_family = AF_INET6;
        std::memcpy(&a.sin6_addr, e.ip.bytes, 16);
        a.sin6_port = htons(e.port);
    } else {
        ipv4SocketAddress(e, &reinterpret_cast<sockaddr_in&>(out));
    }
    return out;
}

Endpoint endpointOf(const sockaddr_storage& a)
{
    Endpoint e;
    e.ip = ipAddressOf(a);
    // Both families keep the port at the same offset.
    e.port = ntohs(reinterpret_cast<const sockaddr_in&>(a).sin_port);
    return e;
}
