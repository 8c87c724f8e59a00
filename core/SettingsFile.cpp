// Reading and writing monitor.ini and socks5.dat.
#include "core/SettingsFile.h"

#include <ctype.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <locale.h>
#include <pwd.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/monServerName.h"

namespace {

enum WordResult {
    WORD_NONE, // the file ended
    WORD_OK,
    WORD_TOO_LONG, // consumed whole; the buffer holds its beginning
    WORD_BINARY    // holds a NUL or another control byte: no text file
};

bool IsControl(int c)
{
    return (c < 0x20 && !isspace(c)) || c == 0x7f;
}

// Reads blank-separated words and counts lines, so that damage can be told by its line.
class WordReader {
public:
    explicit WordReader(FILE* in) : in_(in) {}

    // Reads the next word into buf (size bytes, NUL-terminated).
    WordResult Next(char* buf, size_t size)
    {
        int c;
        while ((c = getc(in_)) != EOF && isspace(c)) {
            if (c == '\n')
                line_++;
        }
        wordLine_ = line_;
        if (c == EOF) {
            buf[0] = '\0';
            return WORD_NONE;
        }
        words_++;
        size_t length = 0;
        bool tooLong = false, binary = false;
        for (; c != EOF && !isspace(c); c = getc(in_)) {
            binary = binary || c == '\0' || IsControl(c);
            if (length + 1 < size) {
                buf[length++] = static_cast<char>(c);
            } else {
                tooLong = true;
            }
        }
        if (c == '\n')
            line_++;
        buf[length] = '\0';
        return binary ? WORD_BINARY : tooLong ? WORD_TOO_LONG : WORD_OK;
    }

    // The line on which the last word began, or on which the file ended.
    int WordLine() const { return wordLine_; }
    // How many words were read.
    int Words() const { return words_; }

private:
    FILE* in_;
    int words_ = 0;
    int line_ = 1;
    int wordLine_ = 1;
};

// Long enough for any number the writer produces; longer words are no number anyway.
enum { NUMBER_WORD_SIZE = 64 };

// Reads one word that must be a whole decimal number; false when it is not (or the file ended).
bool ReadNumber(WordReader& in, long* value)
{
    char word[NUMBER_WORD_SIZE];
    if (in.Next(word, sizeof word) != WORD_OK) {
        return false;
    }
    char* end;
    errno = 0;
    *value = strtol(word, &end, 10);
    return errno == 0 && end != word && *end == '\0';
}

// Reads a number into field when it lies within lo..hi; a number outside keeps the field as
// it was (a value from another display or an edit by hand). False when the word is no number.
bool ReadInt(WordReader& in, int* field, long lo, long hi)
{
    long value;
    if (!ReadNumber(in, &value)) {
        return false;
    }
    if (value >= lo && value <= hi) {
        *field = static_cast<int>(value);
    }
    return true;
}

// Reads a code (a sort key, node or unit type) like ReadInt: one out of [lo, hi] leaves it.
template <typename Code>
bool ReadCode(WordReader& in, Code* code, Code lo, Code hi)
{
    int value = *code;
    if (!ReadInt(in, &value, lo, hi))
        return false;
    *code = static_cast<Code>(value);
    return true;
}

// Reads a size like ReadInt, then bounds one beyond what the window can show to shown,
// noting it in bounded.
bool ReadSize(WordReader& in, int* field, long lo, long hi, int shown, const char* name,
              std::vector<SettingsDamage::Bounded>* bounded)
{
    if (!ReadInt(in, field, lo, hi))
        return false;
    if (*field > shown) {
        bounded->push_back({in.WordLine(), name, *field, shown});
        *field = shown;
    }
    return true;
}

// The stored unit factor: any decimal number (the factor itself follows from the unit).
bool SkipDecimal(WordReader& in)
{
    char word[NUMBER_WORD_SIZE];
    if (in.Next(word, sizeof word) != WORD_OK) {
        return false;
    }
    char* end;
    strtod(word, &end);
    return end != word && *end == '\0';
}

// One service as read, before the block it belongs to is committed.
struct ServiceLine {
    char name[SETTING_TEXT_SIZE];
    char portText[SETTING_TEXT_SIZE];
    int selected;
    int port;
};

// Reads one word of text, cut to what a service buffer holds; false at the end of the file
// or for a word with control bytes.
bool ReadServiceText(WordReader& in, char* buffer)
{
    WordResult r = in.Next(buffer, SETTING_TEXT_SIZE);
    return r == WORD_OK || r == WORD_TOO_LONG;
}

// The selection is 0 or 1 and the port a number: anything else shows that the words are out
// of step (a short service list followed by the next block), so it is damage, not a value.
bool ReadServiceLine(WordReader& in, ServiceLine* line)
{
    long selected, port;
    if (!ReadServiceText(in, line->name) || !ReadServiceText(in, line->portText)
        || !ReadNumber(in, &selected) || (selected != 0 && selected != 1) || !ReadNumber(in, &port)
        || port < INT_MIN || port > INT_MAX) {
        return false;
    }
    if (strcmp(line->portText, "-1") == 0) {
        line->portText[0] = '\0';
    }
    line->selected = static_cast<int>(selected);
    line->port = static_cast<int>(port);
    return true;
}

const long PIXELS_MAX = 32767;     // X window sizes
const long ROWS_MAX = 10000000;    // the table's rows follow the list on show
const long INTERVAL_MIN_MS = 1000; // a shorter timer would spin the processor
const long INTERVAL_MAX_MS = 999999000L;
const long REJECTED_MAX = 5000;

int ColumnsOf(const Setting* s)
{
    return s->columnCount < 0              ? 0
        : s->columnCount > SETTING_COLUMNS ? SETTING_COLUMNS
                                           : s->columnCount;
}

int ServicesOf(const Setting* s)
{
    return s->serviceCount < 0               ? 0
        : s->serviceCount > SETTING_SERVICES ? SETTING_SERVICES
                                             : s->serviceCount;
}

// Everything of a block before its services; false at the first damage.
bool ReadFixedPart(WordReader& in, Setting* s, std::vector<SettingsDamage::Bounded>* bounded)
{
    auto size = [&](int* field, long lo, long hi, int shown, const char* name) {
        return ReadSize(in, field, lo, hi, shown, name, bounded);
    };
    int columns = ColumnsOf(s);
    for (int i = 0; i < columns; i++) {
        if (!ReadInt(in, &s->columnType[i], 0, SETTING_COLUMNS - 1))
            return false;
    }
    for (int i = 0; i < columns; i++) {
        if (!ReadInt(in, &s->columnVisible[i], 0, 1))
            return false;
    }
    for (int i = 0; i < columns; i++) {
        if (!size(&s->columnWidth[i], 1, PIXELS_MAX, SETTING_PIXELS_MAX, "column width"))
            return false;
    }
    // The column dialog stores a negative count as typed (it freezes nothing) and never
    // freezes every column.
    bool whole = ReadInt(in, &s->frozenColumns, INT_MIN, columns - 1)
        && size(&s->cellHeight, 1, PIXELS_MAX, SETTING_CELL_HEIGHT_MAX, "cell height")
        && size(&s->tableWidth, 1, PIXELS_MAX, SETTING_PIXELS_MAX, "table width")
        && size(&s->tableHeight, 1, PIXELS_MAX, SETTING_PIXELS_MAX, "table height")
        && size(&s->tableRows, 0, ROWS_MAX, SETTING_TABLE_ROWS_MAX, "table rows")
        && ReadInt(in, &s->tableColumns, 1, SETTING_COLUMNS)
        && size(&s->chartWidth, 1, PIXELS_MAX, SETTING_PIXELS_MAX, "chart width")
        && size(&s->chartHeight, 1, PIXELS_MAX, SETTING_PIXELS_MAX, "chart height")
        && ReadCode(in, &s->sortType, SORT_BY_SOURCE, SORT_BY_TOTAL_TRAFFIC)
        && ReadCode(in, &s->nodeType, NODE_HOST_NAMES, NODE_IP_ADDRESSES)
        && ReadInt(in, &s->showFailed, 0, 1)
        && ReadCode(in, &s->unitType, UNIT_BYTES, UNIT_MEGABYTES) && SkipDecimal(in)
        && ReadInt(in, &s->updateInterval, INTERVAL_MIN_MS, INTERVAL_MAX_MS)
        && ReadInt(in, &s->maxRejected, 1, REJECTED_MAX) && ReadInt(in, &s->showToolbar, 0, 1);
    s->unitFactor = UnitFactorOf(s->unitType);
    return whole;
}

// One server's block; false at the first damage. A block is committed only when its fixed
// part is whole, and then with the services read whole before any damage; the services
// from the new count on are left as they were. Services beyond the record's 20 are read
// past, so that the next block stays in step. The sizes it bounded go to bounded when it
// is committed.
bool ReadBlock(WordReader& in, Setting* s, std::vector<SettingsDamage::Bounded>* bounded)
{
    Setting read = *s; // the plain fields; the service buffers remain s's
    std::vector<SettingsDamage::Bounded> bounds;
    long count;
    if (!ReadFixedPart(in, &read, &bounds) || !ReadNumber(in, &count) || count < 0) {
        return false;
    }
    bounded->insert(bounded->end(), bounds.begin(), bounds.end());
    ServiceLine lines[SETTING_SERVICES];
    int kept = 0;
    bool whole = true;
    for (long k = 0; k < count; k++) {
        ServiceLine line;
        if (!ReadServiceLine(in, &line)) {
            whole = false;
            break;
        }
        if (kept < SETTING_SERVICES) {
            lines[kept++] = line;
        }
    }
    *s = read;
    s->serviceCount = kept;
    for (int k = 0; k < kept; k++) {
        if (s->serviceName[k])
            memcpy(s->serviceName[k], lines[k].name, SETTING_TEXT_SIZE);
        if (s->servicePortText[k])
            memcpy(s->servicePortText[k], lines[k].portText, SETTING_TEXT_SIZE);
        s->serviceSelected[k] = lines[k].selected;
        s->servicePort[k] = lines[k].port;
    }
    return whole;
}

// Numbers are written in the C locale whatever locale the toolkit chose.
class CNumericLocale {
public:
    CNumericLocale()
        : c_(newlocale(LC_ALL_MASK, "C", (locale_t)0)), old_(c_ ? uselocale(c_) : (locale_t)0)
    {}
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

// A service text as one word: blanks and control bytes inside become '_', and a text that is
// empty or blank is written as empty (the reader reads words, so a blank word would shift
// every later value).
std::string OneWord(const char* text, const char* empty)
{
    std::string word = text ? text : "";
    size_t first = word.find_first_not_of(" \t");
    size_t last = word.find_last_not_of(" \t");
    if (first == std::string::npos) {
        return empty;
    }
    word = word.substr(first, last - first + 1);
    for (char& c : word) {
        if (isspace(static_cast<unsigned char>(c)) || IsControl(static_cast<unsigned char>(c)))
            c = '_';
    }
    return word;
}

void WriteBlock(FILE* out, const Setting* s)
{
    int columns = ColumnsOf(s);
    for (int i = 0; i < columns; i++)
        fprintf(out, "%d  ", s->columnType[i]);
    fprintf(out, "\n");
    for (int i = 0; i < columns; i++)
        fprintf(out, "%d  ", s->columnVisible[i]);
    fprintf(out, "\n");
    for (int i = 0; i < columns; i++)
        fprintf(out, "%d  ", s->columnWidth[i]);
    fprintf(out, "\n");
    fprintf(out, "%d  %d  \n", s->frozenColumns, s->cellHeight);
    fprintf(out, "%d  %d  %d  \n", s->tableWidth, s->tableHeight, s->tableRows);
    fprintf(out, "%d  %d  %d  \n", s->tableColumns, s->chartWidth, s->chartHeight);
    fprintf(out, "%d  %d  %d  \n", SavedSortKey(*s), s->nodeType, s->showFailed);
    fprintf(out, "%d  %f  %d  \n", s->unitType, static_cast<double>(s->unitFactor),
            s->updateInterval);
    int services = ServicesOf(s);
    fprintf(out, "%d  %d  %d  ", s->maxRejected, s->showToolbar, services);
    for (int k = 0; k < services; k++) {
        std::string name = OneWord(s->serviceName[k], "-");
        std::string portText = OneWord(s->servicePortText[k], "-1");
        fprintf(out, "\n%s  %s  %d  %d  ", name.c_str(), portText.c_str(), s->serviceSelected[k],
                s->servicePort[k]);
    }
}

} // namespace

std::string ChooseSettingsHome(const char* home, const char* passwordHome)
{
    if (home && home[0] == '/') {
        return home;
    }
    if (passwordHome && passwordHome[0] == '/') {
        return passwordHome;
    }
    return "";
}

std::string SettingsHome()
{
    const char* home = getenv("HOME");
    if (home && home[0] == '/') {
        return home;
    }
    struct passwd* entry = getpwuid(geteuid());
    return ChooseSettingsHome(home, entry ? entry->pw_dir : nullptr);
}

std::string SettingsDirectory()
{
    std::string home = SettingsHome();
    return home.empty() ? "" : home + "/.vantorrc";
}

std::string MonitorIniPath()
{
    std::string dir = SettingsDirectory();
    return dir.empty() ? "" : dir + "/monitor.ini";
}

std::string Socks5DatPath()
{
    std::string dir = SettingsDirectory();
    return dir.empty() ? "" : dir + "/socks5.dat";
}

const char* SpecialFileKind(const std::string& path)
{
    struct stat st;
    if (path.empty() || lstat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode))
        return NULL;
    return S_ISLNK(st.st_mode) ? "a symbolic link"
        : S_ISDIR(st.st_mode)  ? "a directory"
        : S_ISFIFO(st.st_mode) ? "a FIFO"
        : S_ISSOCK(st.st_mode) ? "a socket"
                               : "a device";
}

FILE* OpenSettingsFile(const std::string& path, SettingsOpenResult* result)
{
    *result = SETTINGS_ABSENT;
    struct stat before;
    if (path.empty() || lstat(path.c_str(), &before) != 0) {
        return NULL;
    }
    if (!S_ISREG(before.st_mode)) {
        *result = SETTINGS_NOT_REGULAR;
        return NULL;
    }
    // Not blocking: what is found at open time may no longer be the file looked at.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return NULL;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return NULL;
    }
    if (st.st_uid != geteuid()) {
        close(fd);
        *result = SETTINGS_FOREIGN;
        return NULL;
    }
    FILE* in = fcntl(fd, F_SETFL, 0) == 0 ? fdopen(fd, "r") : NULL;
    if (!in) {
        close(fd);
        return NULL;
    }
    *result = SETTINGS_OPENED;
    return in;
}

SettingsDamage ReadSettingsFrom(FILE* in, Setting* const* settings, int count)
{
    WordReader words(in);
    SettingsDamage damage = {0, -1, {}};
    long fileCount;
    if (!ReadNumber(words, &fileCount) || fileCount < 0) {
        // A file without a single word holds nothing to read, and nothing is damaged.
        if (words.Words() > 0) {
            damage.line = words.WordLine();
        }
        return damage;
    }
    for (int i = 0; i < fileCount && i < count; i++) {
        if (!ReadBlock(words, settings[i], &damage.bounded)) {
            damage.line = words.WordLine();
            damage.server = i;
            return damage;
        }
    }
    return damage;
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
    WordReader words(in);
    char word[SERVER_NAME_MAX + 1];
    if (words.Next(word, sizeof word) != WORD_OK
        || (strcasecmp(word, "socks5s") != 0 && strcasecmp(word, "socks5") != 0)) {
        return false;
    }
    // Names with control bytes or NULs are no host names: they are skipped like names too long.
    WordResult r;
    while ((r = words.Next(word, sizeof word)) != WORD_NONE) {
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

bool ServerPortValid(const char* name, std::string* badPort)
{
    // The name is split as the monitor library splits it.
    char host[SERVER_NAME_MAX + 1];
    const char* digits = NULL;
    if (!Mon_SplitServerName(name, host, sizeof host, &digits)) {
        *badPort = digits;
        return false;
    }
    if (!digits)
        return true;
    long port = 0;
    size_t length = strlen(digits);
    bool valid = length > 0 && length <= 5;
    for (size_t i = 0; valid && i < length; i++) {
        valid = isdigit(static_cast<unsigned char>(digits[i])) != 0;
        port = port * 10 + (digits[i] - '0');
    }
    valid = valid && port >= 1 && port <= 65535;
    if (!valid)
        *badPort = digits;
    return valid;
}
