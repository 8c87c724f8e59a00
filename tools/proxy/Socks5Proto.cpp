// Parsing and building SOCKS 5 messages (see Socks5Proto.h). Parsers take what has come so
// far and say whether a whole message is there, since a client may send it in pieces.
#include "tools/proxy/Socks5Proto.h"

#include <netinet/in.h>

#include <cerrno>
#include <cstring>

namespace socks5 {

static const uint8_t VERSION = 5;
// The username/password sub-negotiation (RFC 1929) has its own version byte, 1.
static const uint8_t USERPASS_VERSION = 1;

// The greeting: VER, NMETHODS, then that many method bytes. A wrong version is refused from its
// first byte, so a client speaking another protocol (HTTP, SOCKS 4) is dropped at once.
Parse parseGreeting(const uint8_t* buf, size_t len, Greeting* out, size_t* used)
{
    if (len < 2)
        return len >= 1 && buf[0] != VERSION ? Parse::Bad : Parse::NeedMore;
    // A greeting that offers no method at all could never be answered.
    if (buf[0] != VERSION || buf[1] == 0)
        return Parse::Bad;
    size_t need = 2 + size_t(buf[1]);
    if (len < need)
        return Parse::NeedMore;
    out->methods.assign(buf + 2, buf + need);
    *used = need;
    return Parse::Done;
}

// VER, ULEN, UNAME, PLEN, PASSWD; each length one byte, so each part is at most 255 bytes and the
// whole can never outgrow what was read.
Parse parseCredentials(const uint8_t* buf, size_t len, Credentials* out, size_t* used)
{
    if (len >= 1 && buf[0] != USERPASS_VERSION)
        return Parse::Bad;
    if (len < 2)
        return Parse::NeedMore;
    size_t ulen = buf[1];
    if (len < 2 + ulen + 1)
        return Parse::NeedMore;
    size_t plen = buf[2 + ulen];
    size_t need = 3 + ulen + plen;
    if (len < need)
        return Parse::NeedMore;
    out->user.assign(reinterpret_cast<const char*>(buf + 2), ulen);
    out->password.assign(reinterpret_cast<const char*>(buf + 3 + ulen), plen);
    *used = need;
    return Parse::Done;
}

namespace {
// The address and port that follow the command (or FRAG) byte of a request or a UDP header:
// ATYP at offset 3, the address from offset 4. A Bad with unknown=true means an address
// type whose length cannot be known.
Parse parseAddress(const uint8_t* buf, size_t len, Request* out, size_t* used, bool* unknown)
{
    *unknown = false;
    if (len < 5)
        return Parse::NeedMore;
    out->addrType = buf[3];
    size_t addrLen;
    size_t addrStart = 4;
    switch (buf[3]) {
    case ATYP_IPV4:
        addrLen = 4;
        break;
    case ATYP_IPV6:
        addrLen = 16;
        break;
    // A name is preceded by its length; an empty name names nothing.
    case ATYP_DOMAIN:
        if (buf[4] == 0)
            return Parse::Bad;
        addrLen = buf[4];
        addrStart = 5;
        break;
    default:
        *unknown = true;
        return Parse::Bad;
    }
    size_t need = addrStart + addrLen + 2;
    if (len < need)
        return Parse::NeedMore;
    if (buf[3] == ATYP_IPV4)
        std::memcpy(&out->ipv4, buf + 4, 4);
    else if (buf[3] == ATYP_IPV6)
        std::memcpy(out->ipv6, buf + 4, 16);
    else
        out->host.assign(reinterpret_cast<const char*>(buf + 5), addrLen);
    // The port is the last two bytes, in network order.
    out->port = uint16_t(buf[need - 2] << 8 | buf[need - 1]);
    *used = need;
    return Parse::Done;
}
} // namespace

// The request: VER, CMD, RSV, then the address. The reserved byte carries nothing and is not
// checked.
Parse parseRequest(const uint8_t* buf, size_t len, Request* out, size_t* used)
{
    if (len >= 1 && buf[0] != VERSION)
        return Parse::Bad;
    if (len < 5)
        return Parse::NeedMore;
    out->command = buf[1];
    bool unknown;
    Parse p = parseAddress(buf, len, out, used, &unknown);
    if (unknown) {
        // The length of an unknown address cannot be known; the request still counts as
        // read so that the client gets the "address type not supported" reply.
        *used = len;
        return Parse::Done;
    }
    return p;
}

// A relayed datagram: RSV (two zero bytes), FRAG, then the address. Fragments (FRAG not zero) are
// not reassembled; such datagrams are dropped, as the protocol allows.
bool parseUdpHeader(const uint8_t* buf, size_t len, Request* out, size_t* used)
{
    bool unknown;
    return len >= 4 && buf[0] == 0 && buf[1] == 0 && buf[2] == 0
        && parseAddress(buf, len, out, used, &unknown) == Parse::Done;
}

// With a users file, only username/password will do; without, only no authentication:
// a client is never let in with less than the configuration asks.
uint8_t chooseMethod(const Greeting& g, bool passwordRequired)
{
    uint8_t wanted = passwordRequired ? METHOD_USERPASS : METHOD_NONE;
    for (uint8_t m : g.methods)
        if (m == wanted)
            return wanted;
    return METHOD_REFUSED;
}

std::vector<uint8_t> methodReply(uint8_t method)
{
    return {VERSION, method};
}

// Status 0 lets the client in; any other value refuses it, and the connection is closed.
std::vector<uint8_t> credentialsReply(bool accepted)
{
    return {USERPASS_VERSION, uint8_t(accepted ? 0 : 1)};
}

// Both values arrive in network order and are copied as they are.
std::vector<uint8_t> requestReply(uint8_t rep, uint32_t boundAddr, uint16_t boundPortNet)
{
    std::vector<uint8_t> r = {VERSION, rep, 0, ATYP_IPV4, 0, 0, 0, 0, 0, 0};
    std::memcpy(&r[4], &boundAddr, 4);
    std::memcpy(&r[8], &boundPortNet, 2);
    return r;
}

std::vector<uint8_t> requestReply(uint8_t rep, const sockaddr_storage& bound)
{
    // An unset address (a failure before anything was bound) is sent as 0.0.0.0:0.
    if (bound.ss_family != AF_INET6) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(bound);
        return requestReply(rep, v4.sin_addr.s_addr, v4.sin_port);
    }
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(bound);
    std::vector<uint8_t> r = {VERSION, rep, 0, ATYP_IPV6};
    const auto* addr = reinterpret_cast<const uint8_t*>(&v6.sin6_addr);
    r.insert(r.end(), addr, addr + 16);
    const auto* port = reinterpret_cast<const uint8_t*>(&v6.sin6_port);
    r.insert(r.end(), port, port + 2);
    return r;
}

std::vector<uint8_t> udpHeader(const sockaddr_storage& from)
{
    // A reply without its version and code bytes: RSV, FRAG, then the same address.
    std::vector<uint8_t> h = requestReply(0, from);
    h[0] = 0;
    return h;
}

// The words the rules and the log use for the commands.
const char* commandName(uint8_t command)
{
    switch (command) {
    case CMD_CONNECT:
        return "connect";
    case CMD_BIND:
        return "bind";
    case CMD_UDP_ASSOCIATE:
        return "udpassociate";
    default:
        return "";
    }
}

// The reply codes' meanings, for the log.
const char* replyText(uint8_t rep)
{
    switch (rep) {
    case REP_SUCCEEDED:
        return "Succeeded";
    case REP_GENERAL_FAILURE:
        return "General SOCKS server failure";
    case REP_NOT_ALLOWED:
        return "Connection not allowed by ruleset";
    case REP_NET_UNREACHABLE:
        return "Network unreachable";
    case REP_HOST_UNREACHABLE:
        return "Host unreachable";
    case REP_CONN_REFUSED:
        return "Connection refused";
    case REP_TTL_EXPIRED:
        return "TTL expired";
    case REP_CMD_NOT_SUPPORTED:
        return "Command not supported";
    case REP_ATYP_NOT_SUPPORTED:
        return "Address type not supported";
    default:
        return "Unknown error";
    }
}

// The SOCKS reply that tells the client why its connect failed, from the errno of the
// proxy's own connect.
uint8_t replyForErrno(int err)
{
    switch (err) {
    case ECONNREFUSED:
        return REP_CONN_REFUSED;
    case ENETUNREACH:
    case ENETDOWN:
        return REP_NET_UNREACHABLE;
    case EHOSTUNREACH:
    case EHOSTDOWN:
    // A timeout most likely means the host is down or filtered: "host unreachable" is the nearest
    // code.
    case ETIMEDOUT:
        return REP_HOST_UNREACHABLE;
    case EACCES:
    // A local firewall said no.
    case EPERM:
        return REP_NOT_ALLOWED;
    default:
        return REP_GENERAL_FAILURE;
    }
}

} // namespace socks5
