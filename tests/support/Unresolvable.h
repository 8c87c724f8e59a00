// A host name that no lookup can find and that never leaves this machine: its first label
// is longer than the 63 bytes a DNS label may have, so the resolver refuses to build a
// query for it instead of asking a name server.
#ifndef VANTOR_TEST_UNRESOLVABLE_H
#define VANTOR_TEST_UNRESOLVABLE_H

#include <string>

inline std::string UnresolvableHostName()
{
    return std::string(64, 'x') + ".invalid";
}

#endif
