// Whether a destination is one of the proxy's own sockets (see OwnAddress.h).
#include "tools/proxy/OwnAddress.h"

#include <ifaddrs.h>

#include <cstring>

#include "tools/proxy/IpAddress.h"
#include "tools/proxy/NetUtil.h"

namespace {
// Whether addr belongs to one of this host's interfaces: a listener on the any-address answers on
// all of them.
bool isInterfaceAddress(const IpAddress& addr)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool found = false;
    for (ifaddrs* i = list; i && !found; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != addr.family)
            continue;
        sockaddr_storage a{};
        a.ss_family = sa_family_t(addr.family);
        // Only as many bytes as the family's own structure, which is all getifaddrs gives.
        std::memcpy(&a, i->ifa_addr, addrSize(a));
        found = ipAddressOf(a) == addr;
    }
    freeifaddrs(list);
    return found;
}
} // namespace

bool reachesListener(const sockaddr_storage& dst, const std::vector<sockaddr_storage>& listeners)
{
    Endpoint to = endpointOf(dst);
    to.ip = unmapped(to.ip);
    for (const sockaddr_storage& l : listeners) {
        Endpoint own = endpointOf(l);
        if (own.port != to.port || own.ip.family != to.ip.family)
            continue;
        // Connecting to 0.0.0.0 or :: reaches this host, so it counts as our own address.
        if (to.ip == own.ip || isUnspecified(to.ip))
            return true;
        if (isUnspecified(own.ip) && (isLoopback(to.ip) || isInterfaceAddress(to.ip)))
            return true;
    }
    return false;
}
