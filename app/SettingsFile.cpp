// Reading and writing monitor.ini and socks5.dat.
#include "app/SettingsFile.h"

#include <ctype.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <locale.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Home()
{
    const char* home = getenv("HOME");
    return home ? home : "";
}

enum WordResult { WORD_NONE, WORD_OK, WORD_TOO_LONG };

// Reads the next blank-separated word into buf (size bytes, NUL-terminated). A longer word
// is consumed whole; buf then holds its first size - 1 characters.
WordResult ReadWord(FILE* in, char* buf, size_t size)
{
    int c;
    while ((c = getc(in)) != EOF && isspace(c)) {
    }
    if (c == EOF) {
        buf[0] = '\0';
        return WORD_NONE;
    }
    size_t length = 0;
    bool tooLong = false;
    for (; c != EOF && !isspace(c); c = getc(in)) {
        if (length + 1 < size) {
            buf[length++] = static_cast<char>(c);
        } else {
            tooLong = true;
        }
    }
    buf[length] = '\0';
    return tooLong ? WORD_TOO_LONG : WORD_OK;
}

// Long enough for any number the writer produces; longer words are no number anyway.
enum { NUMBER_WORD_SIZE = 64 };

// Reads one number word; the field keeps its value unless the word is a whole decimal
// number within lo..hi. Returns false at the end of the file.
bool ReadInt(FILE* in, int* field, long lo, long hi)
{
    char word[NUMBER_WORD_SIZE];
    WordResult r = ReadWord(in, word, sizeof word);
    if (r == WORD_NONE) {
        return false;
    }
    if (r == WORD_OK) {
        char* end;
        errno = 0;
        long value = strtol(word, &end, 10);
        if (errno == 0 && end != word && *end == '\0' && value >= lo && value <= hi) {
            *field = static_cast<int>(value);
        }
    }
    return true;
}

bool SkipWord(FILE* in)
{
    char word[NUMBER_WORD_SIZE];
    return ReadWord(in, word, sizeof word) != WORD_NONE;
}

// Reads one word into a service text buffer, cut to what the buffer holds.
bool ReadServiceText(FILE* in, char* buffer)
{
    char word[SETTING_TEXT_SIZE];
    if (ReadWord(in, word, sizeof word) == WORD_NONE) {
        return false;
    }
    if (buffer) {
        memcpy(buffer, word, sizeof word);
    }
    return true;
}

void MarkServiceUnused(Setting* s, int k)
{
    s->serviceSelected[k] = 0;
    s->servicePort[k] = -1;
    if (s->serviceName[k]) {
        strcpy(s->serviceName[k], " ");
    }
    if (s->servicePortText[k]) {
        strcpy(s->servicePortText[k], " ");
    }
}

const long PIXELS_MAX = 32767;        // X window sizes
const long ROWS_MAX = 10000000;  // the table's rows follow the list on show
const long INTERVAL_MIN_MS = 1000;    // a shorter timer would spin the processor
const long INTERVAL_MAX_MS = 999999000L;
const long REJECTED_MAX = 5000;
const long PORT_MAX = 65535;
// A damaged count must not make the reader allocate or loop beyond the file.
const long COUNT_MAX = INT_MAX;

int ColumnsOf(const Setting* s)
{
    return s->columnCount < 0 ? 0
         : s->columnCount > SETTING_COLUMNS ? SETTING_COLUMNS : s->columnCount;
}

// One server's block; false when the file ended.
bool ReadBlock(FILE* in, Setting* s)
{
    int columns = ColumnsOf(s);
    for (int i = 0; i < columns; i++) {
        if (!ReadInt(in, &s->columnType[i], 0, SETTING_COLUMNS - 1)) return false;
    }
    for (int i = 0; i < columns; i++) {
        if (!ReadInt(in, &s->columnVisible[i], 0, 1)) return false;
    }
    for (int i = 0; i < columns; i++) {
        if (!ReadInt(in, &s->columnWidth[i], 1, PIXELS_MAX)) return false;
    }
    int unitType = s->unitType;
    // At least one column scrolls: the column dialog never freezes them all.
    bool more = ReadInt(in, &s->frozenColumns, 0, columns - 1)
        && ReadInt(in, &s->cellHeight, 1, PIXELS_MAX)
        && ReadInt(in, &s->tableWidth, 1, PIXELS_MAX)
        && ReadInt(in, &s->tableHeight, 1, PIXELS_MAX)
        && ReadInt(in, &s->tableRows, 0, ROWS_MAX)
        && ReadInt(in, &s->tableColumns, 1, SETTING_COLUMNS)
        && ReadInt(in, &s->chartWidth, 1, PIXELS_MAX)
        && ReadInt(in, &s->chartHeight, 1, PIXELS_MAX)
        && ReadInt(in, &s->sortType, 3, 8)
        && ReadInt(in, &s->nodeType, 12, 13)
        && ReadInt(in, &s->showFailed, 0, 1)
        && ReadInt(in, &unitType, 9, 11)
        // The factor follows from the unit; the stored copy is only skipped.
        && SkipWord(in);
    s->unitType = unitType;
    s->unitFactor = UnitFactorOf(unitType);
    if (!more) return false;

    int serviceCount = -1;
    more = ReadInt(in, &s->updateInterval, INTERVAL_MIN_MS, INTERVAL_MAX_MS)
        && ReadInt(in, &s->maxRejected, 1, REJECTED_MAX)
        && ReadInt(in, &s->showToolbar, 0, 1)
        && ReadInt(in, &serviceCount, 0, COUNT_MAX);
    if (!more || serviceCount < 0) return more;

    // Services beyond the record's 20 are read past, so that the next block stays in step.
    int kept = serviceCount < SETTING_SERVICES ? serviceCount : SETTING_SERVICES;
    s->serviceCount = kept;
    for (int k = kept; k < SETTING_SERVICES; k++) {
        MarkServiceUnused(s, k);
    }
    for (long k = 0; k < serviceCount; k++) {
        bool stored = k < SETTING_SERVICES;
        int ignored = 0;
        char* name = stored ? s->serviceName[k] : nullptr;
        char* portText = stored ? s->servicePortText[k] : nullptr;
        if (!ReadServiceText(in, name) || !ReadServiceText(in, portText)) return false;
        if (portText && strcmp(portText, "-1") == 0) {
            portText[0] = '\0';
        }
        if (!ReadInt(in, stored ? &s->serviceSelected[k] : &ignored, 0, 1)) return false;
        if (!ReadInt(in, stored ? &s->servicePort[k] : &ignored, -1, PORT_MAX)) return false;
    }
    return true;
}

// Numbers are written in the C locale whatever locale the toolkit chose.
class CNumericLocale {
public:
    CNumericLocale() : c_(newlocale(LC_ALL_MASK, "C", (locale_t)0)), old_(c_ ? uselocale(c_) : (locale_t)0) {}
    ~CNumericLocale()
    {
        if (c_) {
            uselocale(old_);
            freelocale(c_);
        }
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    locale_t c_;
    locale_t old_;
};

void WriteBlock(FILE* out, const Setting* s)
{
    int columns = ColumnsOf(s);
    for (int i = 0; i < columns; i++) fprintf(out, "%d  ", s->columnType[i]);
    fprintf(out, "\n");
    for (int i = 0; i < columns; i++) fprintf(out, "%d  ", s->columnVisible[i]);
    fprintf(out, "\n");
    for (int i = 0; i < columns; i++) fprintf(out, "%d  ", s->columnWidth[i]);
    fprintf(out, "\n");
    fprintf(out, "%d  %d  \n", s->frozenColumns, s->cellHeight);
    fprintf(out, "%d  %d  %d  \n", s->tableWidth, s->tableHeight, s->tableRows);
    fprintf(out, "%d  %d  %d  \n", s->tableColumns, s->chartWidth, s->chartHeight);
    fprintf(out, "%d  %d  %d  \n", s->sortType, s->nodeType, s->showFailed);
    fprintf(out, "%d  %f  %d  \n", s->unitType, static_cast<double>(s->unitFactor), s->updateInterval);
    fprintf(out, "%d  %d  %d  ", s->maxRejected, s->showToolbar, s->serviceCount);
    int services = s->serviceCount < 0 ? 0
                 : s->serviceCount > SETTING_SERVICES ? SETTING_SERVICES : s->serviceCount;
    for (int k = 0; k < services; k++) {
        const char* portText = s->servicePortText[k] && s->servicePortText[k][0] ? s->servicePortText[k] : "-1";
        fprintf(out, "\n%s  %s  %d  %d  ", s->serviceName[k] ? s->serviceName[k] : "", portText,
                s->serviceSelected[k], s->servicePort[k]);
    }
}

} // namespace

std::string MonitorIniPath()
{
    std::string home = Home();
    return home.empty() ? "/tmp/monitor.ini" : home + "/.vantorrc/monitor.ini";
}

std::string Socks5DatPath()
{
    return Home() + "/.vantorrc/socks5.dat";
}

void ReadSettingsFrom(FILE* in, Setting* const* settings, int count)
{
    int fileCount = 0;
    if (!ReadInt(in, &fileCount, 0, COUNT_MAX)) {
        return;
    }
    for (int i = 0; i < fileCount && i < count; i++) {
        if (!ReadBlock(in, settings[i])) {
            return;
        }
    }
}

void WriteSettingsTo(FILE* out, const Setting* const* settings, int count)
{
    CNumericLocale cLocale;
    fprintf(out, "%d\n", count);
    for (int i = 0; i < count; i++) {
        WriteBlock(out, settings[i]);
    }
}

bool ReadServerNamesFrom(FILE* in, std::vector<std::string>* names)
{
    names->clear();
    char word[SERVER_NAME_MAX + 1];
    if (ReadWord(in, word, sizeof word) != WORD_OK
        || (strcasecmp(word, "socks5s") != 0 && strcasecmp(word, "socks5") != 0)) {
        return false;
    }
    WordResult r;
    while ((r = ReadWord(in, word, sizeof word)) != WORD_NONE) {
        if (r == WORD_OK) {
            names->push_back(word);
        }
    }
    return true;
}

void WriteServerNamesTo(FILE* out, const std::vector<std::string>& names)
{
    fprintf(out, "SOCKS5s\n");
    for (const std::string& name : names) {
        fprintf(out, "%s\n", name.c_str());
    }
}

SafeWriteResult WriteFileSafely(const std::string& path, const std::function<void(FILE*)>& body)
{
    struct stat old;
    bool existed = lstat(path.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) {
        return SAFE_WRITE_NOT_REGULAR;
    }

    // A new name in the same directory, created exclusively: nothing that exists, link or
    // file, is ever opened for writing.
    std::string tmpPath;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; attempt++) {
        tmpPath = path + ".tmp." + std::to_string(getpid()) + "." + std::to_string(attempt);
        fd = open(tmpPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return SAFE_WRITE_FAILED;
        }
    }
    if (fd < 0) {
        return SAFE_WRITE_FAILED;
    }
    if (existed) {
        fchmod(fd, old.st_mode & 07777);
    }
    FILE* out = fdopen(fd, "w");
    if (!out) {
        close(fd);
        unlink(tmpPath.c_str());
        return SAFE_WRITE_FAILED;
    }
    body(out);
    bool written = !ferror(out) && fflush(out) == 0 && fsync(fd) == 0;
    written = (fclose(out) == 0) && written;
    // rename replaces a symbolic link put at path meanwhile, never its target.
    if (!written || rename(tmpPath.c_str(), path.c_str()) != 0) {
        unlink(tmpPath.c_str());
        return SAFE_WRITE_FAILED;
    }
    return SAFE_WRITE_OK;
}
