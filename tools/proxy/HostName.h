// Host names as the access rules compare them: without regard to case and to a final dot,
// and domains matched on label boundaries.
#ifndef VANTOR_PROXY_HOSTNAME_H
#define VANTOR_PROXY_HOSTNAME_H

#include <string>

// Lower case, without the final dot of a fully qualified name.
std::string canonicalHostName(const std::string& name);
// Letters, digits, '-' and '_' in dot-separated labels of 1 to 63 bytes, at most 253 in
// all (a final dot aside): the names a rule may give.
bool validHostName(const std::string& name);
// Whether the canonical name lies in the canonical domain: is it, or ends in "." + domain
// ("a.example.org" is in "example.org", "badexample.org" is not).
bool inDomain(const std::string& name, const std::string& domain);

#endif
