// Host-name comparisons of the access rules (see HostName.h).
#include "tools/proxy/HostName.h"

#include <cctype>

// Names are compared without case and without the trailing dot of a fully qualified name, as DNS
// compares them.
std::string canonicalHostName(const std::string& name)
{
    std::string out = name;
    if (!out.empty() && out.back() == '.')
        out.pop_back();
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The limits of DNS: 253 bytes in all, labels of 1 to 63 bytes. The underscore is let in, as some
// service names use it.
bool validHostName(const std::string& name)
{
    std::string bare = name;
    if (!bare.empty() && bare.back() == '.')
        bare.pop_back();
    if (bare.empty() || bare.size() > 253)
        return false;
    size_t label = 0;
    for (char c : bare) {
        if (c == '.') {
            if (label == 0)
                return false;
            label = 0;
            continue;
        }
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_')
            return false;
        if (++label > 63)
            return false;
    }
    return label > 0;
}

// The domain itself, or a name ending in "." plus the domain: "example.com" holds "www.example.com"
// but not "badexample.com".
bool inDomain(const std::string& name, const std::string& domain)
{
    if (name.size() == domain.size())
        return name == domain;
    return name.size() > domain.size() && name[name.size() - domain.size() - 1] == '.'
        && name.compare(name.size() - domain.size(), domain.size(), domain) == 0;
}
