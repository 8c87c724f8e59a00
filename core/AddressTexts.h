// The texts of a row's addresses. A row keeps the dotted text of an IPv4 address in 16
// bytes of its own; the text of an IPv6 address, up to 45 characters, is made from the
// record's stored address whenever it is shown, so that rows do not grow by 90 bytes.
#ifndef VANTOR_ADDRESSTEXTS_H
#define VANTOR_ADDRESSTEXTS_H

#include <netinet/in.h>
#include <stddef.h>

#include "lib/monMsg.h"

// Family value of an address given by name.
enum { ADDRESS_BY_NAME = 255 };

// Whether the record's address is an IPv6 one. Every family but these two is read as IPv4,
// as the window always has.
bool IsIPv6Address(const S5NetAddr& address);

// Room for the text of any address.
struct AddressTextBuffer {
    char text[INET6_ADDRSTRLEN];
};

// The text a row keeps of an address: dotted, "0.0.0.0" for one given by name, empty for an
// IPv6 one.
void AddressText(char* text, size_t size, const S5NetAddr& address);
// Whether two addresses give the same kept text.
bool SameAddressText(const S5NetAddr& a, const S5NetAddr& b);
// The text shown for an address: the row's kept text, or an IPv6 address's text made in
// buffer.
const char* ShownAddressText(const char* keptText, const S5NetAddr& address,
                             AddressTextBuffer* buffer);

#endif
