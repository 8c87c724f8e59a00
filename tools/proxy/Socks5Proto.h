// The SOCKS version 5 handshake messages (RFC 1928) and username/password
// sub-negotiation (RFC 1929): parsing what a client sends and building the answers.
#ifndef VANTOR_PROXY_SOCKS5PROTO_H
#define VANTOR_PROXY_SOCKS5PROTO_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include <sys/socket.h>

namespace socks5 {

enum Method : uint8_t { METHOD_NONE = 0x00, METHOD_USERPASS = 0x02, METHOD_REFUSED = 0xff };
enum Command : uint8_t { CMD_CONNECT = 1, CMD_BIND = 2, CMD_UDP_ASSOCIATE = 3 };
enum AddrType : uint8_t { ATYP_IPV4 = 1, ATYP_DOMAIN = 3, ATYP_IPV6 = 4 };

// Reply codes of RFC 1928.
enum Reply : uint8_t {
    REP_SUCCEEDED = 0,
    REP_GENERAL_FAILURE = 1,
    REP_NOT_ALLOWED = 2,
    REP_NET_UNREACHABLE = 3,
    REP_HOST_UNREACHABLE = 4,
    REP_CONN_REFUSED = 5,
    REP_TTL_EXPIRED = 6,
    REP_CMD_NOT_SUPPORTED = 7,
    REP_ATYP_NOT_SUPPORTED = 8
};

// Result of parsing a message from the start of a buffer.
enum class Parse { NeedMore, Bad, Done };

struct Greeting {
    std::vector<uint8_t> methods;
};

struct Credentials {
    std::string user;
    std::string password;
};

struct Request {
    uint8_t command = 0;
    uint8_t addrType = 0;
    uint32_t ipv4 = 0;     // network byte order, for ATYP_IPV4
    uint8_t ipv6[16] = {}; // for ATYP_IPV6
    std::string host;      // for ATYP_DOMAIN
    uint16_t port = 0;     // host byte order
};

// Each parser sets *used to the bytes the message occupies when it returns Done.
Parse parseGreeting(const uint8_t* buf, size_t len, Greeting* out, size_t* used);
Parse parseCredentials(const uint8_t* buf, size_t len, Credentials* out, size_t* used);
Parse parseRequest(const uint8_t* buf, size_t len, Request* out, size_t* used);
// The header of a UDP datagram relayed for a UDP ASSOCIATE (RSV, FRAG, ATYP, DST.ADDR,
// DST.PORT). Fragments (FRAG other than 0) are not supported: false for them, for a
// datagram shorter than its header and for an unknown address type; else *used is the
// header's size and out holds the address (its command stays 0).
bool parseUdpHeader(const uint8_t* buf, size_t len, Request* out, size_t* used);

// The method the server selects from the client's offer.
uint8_t chooseMethod(const Greeting& g, bool passwordRequired);

std::vector<uint8_t> methodReply(uint8_t method);
std::vector<uint8_t> credentialsReply(bool accepted);
// Reply to a request; the bound address is IPv4 (both in network byte order).
std::vector<uint8_t> requestReply(uint8_t rep, uint32_t boundAddr, uint16_t boundPortNet);
// Reply to a request with the bound socket address, IPv4 (ATYP 1) or IPv6 (ATYP 4).
std::vector<uint8_t> requestReply(uint8_t rep, const sockaddr_storage& bound);

// The header that comes before a datagram relayed back to the client, naming the address
// it came from.
std::vector<uint8_t> udpHeader(const sockaddr_storage& from);

// The command's name as the rules write it ("connect", "bind", "udpassociate"), or "" for
// any other value.
const char* commandName(uint8_t command);

// Text of a reply code, as shown to monitors.
const char* replyText(uint8_t rep);
// Reply code for a failed connect to the destination.
uint8_t replyForErrno(int err);

} // namespace socks5

#endif
