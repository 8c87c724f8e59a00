// The texts of a row's addresses. A row keeps the dotted text of each IPv4 address, made once
// when the address changes; IPv6 texts are too long for the row's fields and are made when
// shown, into a buffer of the caller's.
#include "core/AddressTexts.h"

#include <arpa/inet.h>
#include <stdio.h>
#include <sys/socket.h>

namespace {

enum AddressKind { KIND_BY_NAME, KIND_IPV4, KIND_IPV6 };

AddressKind KindOf(const S5NetAddr& address)
{
    if (address.sn.sn_family == ADDRESS_BY_NAME)
        return KIND_BY_NAME;
    return IsIPv6Address(address) ? KIND_IPV6 : KIND_IPV4;
}

} // namespace

bool IsIPv6Address(const S5NetAddr& address)
{
    return address.sa.sa_family == AF_INET6;
}

void AddressText(char* text, size_t size, const S5NetAddr& address)
{
    char dotted[INET_ADDRSTRLEN] = "";
    switch (KindOf(address)) {
    case KIND_BY_NAME:
        snprintf(text, size, "%s", "0.0.0.0");
        break;
    case KIND_IPV6:
        snprintf(text, size, "%s", ""); // too long for the row: made when shown
        break;
    default:
        inet_ntop(AF_INET, &address.sin.sin_addr, dotted, sizeof dotted);
        snprintf(text, size, "%s", dotted);
        break;
    }
}

// Whether two addresses give the same kept text, so that an update can skip formatting.
bool SameAddressText(const S5NetAddr& a, const S5NetAddr& b)
{
    AddressKind kind = KindOf(a);
    return kind == KindOf(b)
        && (kind != KIND_IPV4 || a.sin.sin_addr.s_addr == b.sin.sin_addr.s_addr);
}

const char* ShownAddressText(const char* keptText, const S5NetAddr& address,
                             AddressTextBuffer* buffer)
{
    if (!IsIPv6Address(address))
        return keptText;
    // Any 16 bytes have a text, and the buffer holds the longest.
    inet_ntop(AF_INET6, &address.sin6.sin6_addr, buffer->text, sizeof buffer->text);
    return buffer->text;
}
