// Server names: a host, a host and a port, or an IPv6 address in brackets or alone.
#include "lib/monServerName.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string.h>

namespace {

void CopyHost(const char* from, size_t length, char* host, size_t hostSize)
{
    if (hostSize == 0)
        return;
    if (length > hostSize - 1)
        length = hostSize - 1;
    memcpy(host, from, length);
    host[length] = '\0';
}

bool IsIPv6Literal(const char* text)
{
    struct in6_addr address;
    return inet_pton(AF_INET6, text, &address) == 1;
}

} // namespace

// A name with brackets is split at the bracket; one without is split at its first colon,
// unless it has more than one and is an IPv6 address as a whole ("::1", "fe80::2"), which
// can carry no port without brackets.
int Mon_SplitServerName(const char* name, char* host, size_t hostSize, const char** port)
{
    *port = NULL;
    if (name[0] == '[') {
        const char* close = strchr(name, ']');
        if (close == NULL) {
            *port = name + strlen(name);
            return 0;
        }
        CopyHost(name + 1, static_cast<size_t>(close - name - 1), host, hostSize);
        if (close[1] == '\0')
            return 1;
        if (close[1] != ':') {
            *port = close + 1;
            return 0;
        }
        *port = close + 2;
        return 1;
    }
    // "h:1:2" is a host with a bad port, as it always was; only a real address is taken whole.
    const char* colon = strchr(name, ':');
    if (colon == NULL || (strchr(colon + 1, ':') != NULL && IsIPv6Literal(name))) {
        CopyHost(name, strlen(name), host, hostSize);
        return 1;
    }
    CopyHost(name, static_cast<size_t>(colon - name), host, hostSize);
    *port = colon + 1;
    return 1;
}
