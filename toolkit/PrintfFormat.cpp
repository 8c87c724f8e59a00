#include "toolkit/PrintfFormat.h"

#include <string.h>

int XomParseOneConversion(const char* format, const char* letters, XomConversion* conversion)
{
    conversion->letter = 0;
    conversion->length[0] = 0;
    for (const char* p = format; *p; p++) {
        if (*p != '%')
            continue;
        p++;
        if (*p == '%')
            continue;
        if (conversion->letter)
            return 0;
        while (*p && strchr("-+ #0'", *p))
            p++;
        while (*p >= '0' && *p <= '9')
            p++;
        if (*p == '.') {
            p++;
            while (*p >= '0' && *p <= '9')
                p++;
        }
        size_t n = 0;
        while (*p && strchr("hlL", *p) && n < 2)
            conversion->length[n++] = *p++;
        conversion->length[n] = 0;
        if (!*p || !strchr(letters, *p))
            return 0;
        conversion->letter = *p;
    }
    return 1;
}
