// fuzz-libs: vantor_proxy
// Feeds arbitrary client bytes to the proxy's SOCKS5 parsers, as a hostile client would send
// them over TCP or in a UDP datagram.
#include "tools/proxy/Socks5Proto.h"

#include <stddef.h>
#include <stdint.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exactly sized copy, so that any read beyond the received bytes is caught.
    std::vector<uint8_t> buf(data, data + size);
    const uint8_t* p = buf.empty() ? nullptr : buf.data();
    size_t used = 0;

    socks5::Greeting greeting;
    if (socks5::parseGreeting(p, size, &greeting, &used) == socks5::Parse::Done && used > size)
        __builtin_trap();
    socks5::chooseMethod(greeting, size % 2 == 0);

    socks5::Credentials credentials;
    if (socks5::parseCredentials(p, size, &credentials, &used) == socks5::Parse::Done
        && used > size)
        __builtin_trap();

    socks5::Request request;
    if (socks5::parseRequest(p, size, &request, &used) == socks5::Parse::Done && used > size)
        __builtin_trap();

    // The same bytes as a datagram for a UDP association.
    socks5::Request destination;
    if (socks5::parseUdpHeader(p, size, &destination, &used) && used > size)
        __builtin_trap();
    return 0;
}
