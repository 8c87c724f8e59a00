#include "tools/proxy/OwnAddress.h"

#include <ifaddrs.h>

#include "tools/proxy/NetUtil.h"

namespace {
bool isInterfaceAddress(in_addr_t addr)
{
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool found = false;
    for (ifaddrs *i = list; i && !found; i = i->ifa_next)
        found = i->ifa_addr && i->ifa_addr->sa_family == AF_INET
            && reinterpret_cast<const sockaddr_in *>(i->ifa_addr)->sin_addr.s_addr == addr;
    freeifaddrs(list);
    return found;
}
} // namespace

bool reachesListener(const sockaddr_in &dst, const std::vector<sockaddr_in> &listeners)
{
    for (const sockaddr_in &l : listeners) {
        if (l.sin_port != dst.sin_port)
            continue;
        in_addr_t to = dst.sin_addr.s_addr;
        if (to == l.sin_addr.s_addr || to == htonl(INADDR_ANY))
            return true;
        if (l.sin_addr.s_addr == htonl(INADDR_ANY) && (isLoopback(dst) || isInterfaceAddress(to)))
            return true;
    }
    return false;
}
