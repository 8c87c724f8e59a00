// The log facility: one line per message to standard error, syslog and/or a rotated file.
#include "lib/log.h"

#include <errno.h>
#include <nl_types.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <syslog.h>
#include <time.h>
#include <unistd.h>

namespace {

// A line is cut at LOG_LINE_LEN (prefix included) rather than allocated: logging must not
// fail, nor allocate, in the error paths that call it.
enum { LOG_NAME_LEN = 1024, LOG_LINE_LEN = 2068 };
const uint32_t kDefaultMaxSize = 1048576u * 1024u; // 1 GiB, as 1048576 kilobytes
const long kMaxOldFiles = 1000;

struct S5LogHandle {
    nl_catd catalog;
    char fileName[LOG_NAME_LEN];
    uint32_t maxSize;
    int oldFiles;
    FILE* stream;
    int level;
    int how;
};

// A message logged while logging (a failing catalog or file) would recurse: dontLoop drops it.
// syslog and the log file are process-wide, so they are opened once whatever the handles.
int dontLoop = 0;
int logopened = 0;
int fileopened = 0;

// SOCKS5_DEBUG=n logs levels up to 5 n + 4; set but empty means everything up to 29; unset
// means nothing (-1).
int LevelFromEnvironment()
{
    const char* debug = getenv("SOCKS5_DEBUG");
    if (debug == NULL)
        return -1;
    if (*debug == '\0')
        return 29;
    // Bounded so that 5 n + 4 cannot overflow; every n below 0 logs nothing anyway.
    long n = strtol(debug, NULL, 10);
    if (n < -1)
        n = -1;
    if (n > 400000000)
        n = 400000000;
    return static_cast<int>(5 * n + 4);
}

// Where lines go is chosen by which variables are set at all, whatever their values.
int FlagsFromEnvironment()
{
    int how = 0;
    if (getenv("SOCKS5_LOG_SYSLOG") != NULL)
        how |= S5_LOG_SYSLOG;
    if (getenv("SOCKS5_LOG_STDERR") != NULL)
        how |= S5_LOG_STDERR;
    if (getenv("SOCKS5_LOG_FILE") != NULL)
        how |= S5_LOG_FILE;
    return how;
}

// SOCKS5_LOG_NUMBER old files are kept beside the log; one when it is not set.
int OldFilesFromEnvironment()
{
    const char* number = getenv("SOCKS5_LOG_NUMBER");
    if (number == NULL)
        return 1;
    long n = strtol(number, NULL, 10);
    // A negative count keeps no old files; a huge one would make every rotation run for hours.
    if (n < 0)
        return 0;
    return n > kMaxOldFiles ? kMaxOldFiles : static_cast<int>(n);
}

// SOCKS5_LOG_SIZE is in kilobytes; nothing, zero or a negative number keep the 1 GiB default.
uint32_t MaxSizeFromEnvironment()
{
    const char* size = getenv("SOCKS5_LOG_SIZE");
    if (size == NULL)
        return kDefaultMaxSize;
    long kb = atol(size);
    if (kb <= 0)
        kb = 1048576;
    else if (kb > 2097151)
        kb = 2097152;
    // 2097152 kilobytes is exactly 2^31 bytes, which still fits the unsigned 32-bit field.
    return static_cast<uint32_t>(kb) * 1024u;
}

// The file is opened for appending, so that several processes may share one log.
void SetUpFile(S5LogHandle* h)
{
    const char* name = getenv("SOCKS5_LOG_FILE");
    snprintf(h->fileName, sizeof h->fileName, "%s", name ? name : "");
    h->oldFiles = OldFilesFromEnvironment();
    h->maxSize = MaxSizeFromEnvironment();
    if (h->stream != NULL) {
        fclose(h->stream);
        h->stream = NULL;
    }
    h->stream = h->fileName[0] ? fopen(h->fileName, "a") : NULL;
    if (h->stream == NULL)
        fprintf(stderr, "can't open `%s' for logging%s\n", h->fileName,
                h->fileName[0] ? "" : ", please set SOCKS5_LOG_FILE");
}

// Rotation keeps oldFiles old logs as name1 (newest) to nameN. The file is reopened and
// measured first, because another process writing to the same log may have rotated it
// already; renaming again would throw away its fresh file.
void RotateFiles(S5LogHandle* h)
{
    fclose(h->stream);
    h->stream = fopen(h->fileName, "a");
    if (h->stream == NULL) {
        fprintf(stderr, "can't open `%s' for logging\n", h->fileName);
        return;
    }
    fseek(h->stream, 0, SEEK_END);
    long size = ftell(h->stream);
    if (size >= 0 && static_cast<unsigned long>(size) <= h->maxSize)
        return; // another process has rotated it meanwhile
    fclose(h->stream);
    h->stream = NULL;

    char target[LOG_NAME_LEN + 16], source[LOG_NAME_LEN + 16];
    for (int n = h->oldFiles; n >= 1; n--) {
        snprintf(target, sizeof target, "%s%d", h->fileName, n);
        if (n == 1)
            snprintf(source, sizeof source, "%s", h->fileName);
        else
            snprintf(source, sizeof source, "%s%d", h->fileName, n - 1);
        remove(target);
        rename(source, target);
    }
    h->stream = fopen(h->fileName, "a");
    if (h->stream == NULL)
        fprintf(stderr, "can't open %s for logging\n", h->fileName);
}

// Maps the library's levels onto syslog priorities: 0-1 errors, 2 notices, 3-8 warnings,
// 9-13 notices, 14-18 information, the rest debugging.
int SyslogPriority(int level)
{
    if (level <= 1)
        return LOG_ERR;
    if (level == 2)
        return LOG_NOTICE;
    if (level <= 8)
        return LOG_WARNING;
    if (level <= 13)
        return LOG_NOTICE;
    if (level <= 18)
        return LOG_INFO;
    return LOG_DEBUG;
}

// Cuts text at a conversion that the length limit left unfinished ("%", "%l", "%-0"), which
// the formatter would otherwise read as a conversion.
void DropUnfinishedConversion(char* text)
{
    for (char* p = text; *p; p++) {
        if (*p != '%')
            continue;
        if (p[1] == '%') {
            p++;
            continue;
        }
        char* q = p + 1;
        while (*q && strchr("#0- +'123456789.*hlLqjzt", *q))
            q++;
        if (*q == '\0') {
            *p = '\0';
            return;
        }
        p = q;
    }
}

// Copies format behind the prefix, replacing each "%m" by the text of errnoValue.
void ExpandFormat(char* out, size_t used, const char* format, int errnoValue)
{
    const size_t limit = LOG_LINE_LEN - 1; // prefix and text hold at most 2067 characters
    const char* errText = strerror(errnoValue);
    for (const char* p = format; *p && used < limit; p++) {
        if (p[0] == '%' && p[1] == '%') {
            if (used + 2 > limit)
                break; // never split a "%%" into a lone '%'
            out[used++] = '%';
            out[used++] = '%';
            p++;
        } else if (p[0] == '%' && p[1] == 'm') {
            // The error text becomes part of a format: its '%' signs must stay literal.
            for (const char* e = errText; *e && used < limit; e++) {
                if (*e == '%') {
                    if (used + 2 > limit)
                        break;
                    out[used++] = '%';
                }
                out[used++] = *e;
            }
            p++;
        } else if (p[0] == '%' && p[1] == '\0') {
            break; // a lone trailing '%' is not a conversion
        } else {
            out[used++] = *p;
        }
    }
    out[used] = '\0';
}

} // namespace

void* S5LogDefaultHandle = NULL;
int S5LogShowThreadIDS = 0;

// Starting an existing handle again keeps its destinations and level (read once, from the
// environment when given as -1) and only announces the restart; a new handle opens the
// message catalog named after the program.
void S5LogStart(void** handlePtr, int how, int level, const char* name)
{
    time_t now = time(NULL);
    if (how == -1)
        how = FlagsFromEnvironment();
    if (level == -1)
        level = LevelFromEnvironment();

    S5LogHandle* h = static_cast<S5LogHandle*>(*handlePtr);
    bool restart = h != NULL;
    if (!restart) {
        h = static_cast<S5LogHandle*>(calloc(1, sizeof *h));
        if (h == NULL)
            return;
        *handlePtr = h;
        h->how = how;
        h->level = level;
        h->stream = NULL;
        h->catalog = catopen(name, 0);
    }
    if ((h->how & S5_LOG_SYSLOG) && !logopened) {
        openlog(name, LOG_PID, LOG_DAEMON);
        logopened = 1;
    }
    if ((h->how & S5_LOG_FILE) && !fileopened) {
        fileopened = 1;
        SetUpFile(h);
    }
    if (restart && h->how != 0) {
        char when[128];
        strftime(when, sizeof when, "%c", localtime(&now));
        S5LogUpdate(h, S5_LEVEL_RESTART, S5_MSG_UNCATALOGUED, "%s Logging (re)started at %s", name,
                    when);
    }
}

void S5LogUpdate(void* handle, S5LogLevel level, S5LogMessage msgID, const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    S5LogvUpdate(handle, level, msgID, format, ap);
    va_end(ap);
}

// The format is rewritten before vsnprintf sees it: prefix "[pid]: " (or "pid: " when no
// file is written), "%m" expanded by hand with the errno saved on entry (the catalog look-up
// may change errno), and a conversion cut in half by the length limit dropped, so that
// vsnprintf never reads an argument the caller did not give. errno is kept for the caller.
void S5LogvUpdate(void* handle, S5LogLevel level, S5LogMessage msgID, const char* format,
                  va_list ap)
{
    int savedErrno = errno;
    if (handle == NULL) {
        // The default log starts itself on first use; every later start is a restart,
        // which announces itself at level 4.
        S5LogStart(&S5LogDefaultHandle, -1, -1, "libsocks5");
        handle = S5LogDefaultHandle;
        if (handle == NULL) {
            errno = savedErrno;
            return;
        }
    }
    S5LogHandle* h = static_cast<S5LogHandle*>(handle);
    if (h->how == 0 || h->level == -1 || level > h->level || dontLoop) {
        errno = savedErrno;
        return;
    }
    dontLoop = 1;

    if (h->catalog != reinterpret_cast<nl_catd>(-1))
        format = catgets(h->catalog, 0, msgID, format);
    if (format == NULL) {
        dontLoop = 0;
        errno = savedErrno;
        return;
    }

    char pattern[LOG_LINE_LEN];
    const bool toFile = (h->how & S5_LOG_FILE) != 0;
    int used =
        snprintf(pattern, sizeof pattern, "%s%05d", toFile ? "[" : "", static_cast<int>(getpid()));
    if (S5LogShowThreadIDS)
        used += snprintf(pattern + used, sizeof pattern - used, ":%06d", 0);
    used += snprintf(pattern + used, sizeof pattern - used, "%s", toFile ? "]: " : ": ");
    ExpandFormat(pattern, static_cast<size_t>(used), format, savedErrno);
    DropUnfinishedConversion(pattern);

    char line[LOG_LINE_LEN];
    vsnprintf(line, sizeof line, pattern, ap); // cut to the line buffer, never beyond

    if (h->how & S5_LOG_STDERR) {
        fprintf(stderr, "%s\n", line);
        fflush(stderr);
    }
    if (toFile && h->stream != NULL) {
        time_t now = time(NULL);
        long size = ftell(h->stream);
        if (size > 0 && static_cast<unsigned long>(size) > h->maxSize)
            RotateFiles(h);
        if (h->stream != NULL) {
            char stamp[32];
            ctime_r(&now, stamp);
            fprintf(h->stream, "%.16s%s\n", stamp + 4, line);
            fflush(h->stream);
        }
    }
    // syslog adds its own process id (LOG_PID), so the line's leading one is skipped.
    if (h->how & S5_LOG_SYSLOG) {
        size_t skip = S5LogShowThreadIDS ? 6 : 7;
        size_t len = strlen(line);
        syslog(SyslogPriority(level), "%s", len > skip ? line + skip : "");
    }
    errno = savedErrno;
    dontLoop = 0;
}

// Closes what the handle opened and frees it. syslog is closed for the whole process.
void S5LogEnd(void* handle)
{
    if (handle == NULL)
        return;
    S5LogHandle* h = static_cast<S5LogHandle*>(handle);
    if (h->catalog != reinterpret_cast<nl_catd>(-1)) {
        catclose(h->catalog);
        h->catalog = reinterpret_cast<nl_catd>(-1);
    }
    closelog();
    if ((h->how & S5_LOG_FILE) && h->stream != NULL)
        fclose(h->stream);
    free(h);
}
