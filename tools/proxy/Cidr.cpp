// Parsing and matching CIDR address blocks (see Cidr.h).
#include "tools/proxy/Cidr.h"

#include <sys/socket.h>

#include "tools/common/CommandLine.h"

namespace {

// Whether the first bits of a and b agree.
// Whole bytes first, then the leading bits of the byte the prefix ends in.
bool samePrefix(const uint8_t* a, const uint8_t* b, int bits)
{
    int whole = bits / 8;
    for (int i = 0; i < whole; ++i)
        if (a[i] != b[i])
            return false;
    int rest = bits % 8;
    if (rest == 0)
        return true;
    uint8_t mask = uint8_t(0xff << (8 - rest));
    return (a[whole] & mask) == (b[whole] & mask);
}

} // namespace

// ADDRESS or ADDRESS/PREFIX; an address alone is a block of one (/32 or /128).
bool parseCidr(const std::string& text, Cidr* out, std::string* error)
{
    size_t slash = text.find('/');
    std::string addressText = text.substr(0, slash);
    Cidr c;
    if (!parseIpAddress(addressText, &c.network)) {
        *error = "\"" + addressText + "\" is not a numeric IPv4 or IPv6 address";
        return false;
    }
    int maxPrefix = int(c.network.size()) * 8;
    c.prefix = maxPrefix;
    if (slash != std::string::npos) {
        std::string prefixText = text.substr(slash + 1);
        // Digits only: parseWholeNumber alone would take "+8" and " 8".
        bool digits = !prefixText.empty() && prefixText.size() <= 3
            && prefixText.find_first_not_of("0123456789") == std::string::npos;
        if (!digits || !parseWholeNumber(prefixText, 0, maxPrefix, &c.prefix)) {
            *error = "the prefix length after \"/\" must be a number from 0 to "
                + std::to_string(maxPrefix);
            return false;
        }
    }
    // A block written as mapped IPv6 (::ffff:10.0.0.0/104) is kept as the IPv4 block it means,
    // since addresses are unmapped before they are matched.
    if (c.network.family == AF_INET6 && c.prefix >= 96) {
        IpAddress v4 = unmapped(c.network);
        if (v4.family == AF_INET) {
            c.network = v4;
            c.prefix -= 96;
        }
    }
    // "10.1.2.3/8" is refused rather than silently read as 10.0.0.0/8: it is most likely a typo for
    // another prefix, and the message names the block it would be.
    Cidr zeroed = c;
    for (int bit = c.prefix; bit < int(c.network.size()) * 8; ++bit)
        zeroed.network.bytes[bit / 8] &= uint8_t(~(0x80 >> (bit % 8)));
    if (!(zeroed.network == c.network)) {
        *error =
            "\"" + text + "\" has bits set beyond its prefix; the block is " + cidrText(zeroed);
        return false;
    }
    *out = c;
    return true;
}

std::string cidrText(const Cidr& c)
{
    return ipAddressText(c.network) + "/" + std::to_string(c.prefix);
}

// An IPv4 block never matches an IPv6 address, nor the other way round.
bool cidrContains(const Cidr& c, const IpAddress& address)
{
    IpAddress a = unmapped(address);
    return a.family == c.network.family && samePrefix(a.bytes, c.network.bytes, c.prefix);
}
