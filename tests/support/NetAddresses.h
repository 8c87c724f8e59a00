// Monitor-record addresses for tests: IPv4 and IPv6 ones from their texts, and one given by
// name.
#ifndef VANTOR_TESTS_NETADDRESSES_H
#define VANTOR_TESTS_NETADDRESSES_H

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <string.h>

#include "lib/monMsg.h"

inline S5NetAddr IPv4(const char* dotted)
{
    S5NetAddr a;
    memset(&a, 0, sizeof a);
    a.sin.sin_family = AF_INET;
    a.sin.sin_addr.s_addr = inet_addr(dotted);
    return a;
}

inline S5NetAddr IPv6(const char* text)
{
    S5NetAddr a;
    memset(&a, 0, sizeof a);
    a.sin6.sin6_family = AF_INET6;
    EXPECT_EQ(inet_pton(AF_INET6, text, &a.sin6.sin6_addr), 1) << text;
    return a;
}

inline S5NetAddr Named(const char* name)
{
    S5NetAddr a;
    memset(&a, 0, sizeof a);
    a.sn.sn_family = ADDRESS_BY_NAME;
    strncpy(a.sn.sn_name, name, sizeof a.sn.sn_name - 1);
    return a;
}

#endif
