// Escaping of untrusted text for terminals and logs (see TerminalText.h).
#include "tools/common/TerminalText.h"

#include <cstdio>
#include <cstring>

namespace {

// Each byte as \xNN, so the reader sees exactly what was sent.
void escapeBytes(const unsigned char* p, size_t n, std::string* out)
{
    for (size_t i = 0; i < n; ++i) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02x", p[i]);
        *out += hex;
    }
}

// The length of the valid UTF-8 sequence of two or more bytes at p (at most n bytes), or 0.
// Overlong forms, surrogates and code points beyond U+10FFFF are not valid.
size_t sequenceLength(const unsigned char* p, size_t n)
{
    unsigned char b = p[0];
    size_t len;
    unsigned char lo = 0x80, hi = 0xbf; // the range of the second byte
    // 0xc0 and 0xc1 could only start overlong forms of ASCII, so two-byte sequences start at 0xc2.
    if (b >= 0xc2 && b <= 0xdf) {
        len = 2;
    } else if (b >= 0xe0 && b <= 0xef) {
        len = 3;
        if (b == 0xe0)
            lo = 0xa0;
        if (b == 0xed)
            hi = 0x9f;
    } else if (b >= 0xf0 && b <= 0xf4) {
        len = 4;
        if (b == 0xf0)
            lo = 0x90;
        if (b == 0xf4)
            hi = 0x8f;
    } else {
        return 0;
    }
    if (n < len || p[1] < lo || p[1] > hi)
        return 0;
    for (size_t i = 2; i < len; ++i)
        if (p[i] < 0x80 || p[i] > 0xbf)
            return 0;
    return len;
}

// Whether the 3-byte sequence at p is a bidirectional embedding, override or isolate
// (U+202A to U+202E, U+2066 to U+2069): shown as it is, it reorders the rest of the line, so
// a record could make another record's text read differently.
bool directionControl(const unsigned char* p)
{
    return p[0] == 0xe2
        && ((p[1] == 0x80 && p[2] >= 0xaa && p[2] <= 0xae)
            || (p[1] == 0x81 && p[2] >= 0xa6 && p[2] <= 0xa9));
}

} // namespace

std::string terminalText(const char* text, size_t cap)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    // The text ends at its zero or at cap, whichever comes first: fields from the wire need not end
    // in a zero.
    size_t n = strnlen(text, cap);
    std::string out;
    for (size_t i = 0; i < n;) {
        // Printable ASCII passes; every control byte, escape sequences included, is escaped below.
        if (p[i] >= 0x20 && p[i] < 0x7f) {
            out += char(p[i++]);
            continue;
        }
        size_t len = p[i] < 0x80 ? 0 : sequenceLength(p + i, n - i);
        // U+0080 to U+009F, the C1 controls, are encoded as 0xc2 0x80 to 0xc2 0x9f.
        bool c1 = len == 2 && p[i] == 0xc2 && p[i + 1] <= 0x9f;
        if (len == 0 || c1 || (len == 3 && directionControl(p + i))) {
            len = len ? len : 1;
            escapeBytes(p + i, len, &out);
        } else {
            // Valid UTF-8 passes, so names in any script read as they were meant.
            out.append(text + i, len);
        }
        i += len;
    }
    return out;
}
