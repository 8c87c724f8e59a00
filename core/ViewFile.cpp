// Reading and writing view.ini (see ViewFile.h for its format). A damaged file is refused
// whole, with the number of its first bad line, rather than half applied.
#include "core/ViewFile.h"

#include <string.h>

#include "core/SettingsFile.h"

namespace {

const char kHeader[] = "vantor-view 1";
// Longer lines are no line of this file.
enum { LINE_MAX_BYTES = 1024 };

// The sort keys as view.ini names them. "menu" stands for whatever key monitor.ini holds,
// so that the two files never disagree about a key the menu can choose.
const struct {
    const char* word;
    SortKey sortType;
} kKeys[] = {{"menu", SORT_BY_NONE},
             {"in", SORT_BY_IN_TRAFFIC},
             {"out", SORT_BY_OUT_TRAFFIC},
             {"duration", SORT_BY_DURATION}};

const char* KeyWord(SortKey sortType)
{
    for (const auto& key : kKeys)
        if (key.sortType == sortType)
            return key.word;
    return "menu";
}

bool KeyOfWord(const std::string& word, SortKey* sortType)
{
    for (const auto& key : kKeys)
        if (word == key.word) {
            *sortType = key.sortType;
            return true;
        }
    return false;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

bool HasControlBytes(const std::string& text)
{
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7f)
            return true;
    }
    return false;
}

// One server's line; false when it breaks the format.
bool ParseLine(const std::string& line, ServerView* view)
{
    std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() != 4 || fields[0].empty() || fields[0].size() > SERVER_NAME_MAX
        || fields[3].size() >= SETTING_FILTER_SIZE || !KeyOfWord(fields[1], &view->sortType)
        || (fields[2] != "ascending" && fields[2] != "descending"))
        return false;
    view->server = fields[0];
    view->descending = fields[2] == "descending";
    view->filter = fields[3];
    return true;
}

// The next line without its end; false at the end of the file, or when the line is too long
// or holds a NUL or another control byte (*bad set).
bool NextLine(FILE* in, std::string* line, bool* bad)
{
    line->clear();
    int c;
    while ((c = getc(in)) != EOF && c != '\n') {
        if (line->size() >= LINE_MAX_BYTES || c == '\0')
            *bad = true;
        else
            *line += static_cast<char>(c);
    }
    if (c == EOF && line->empty())
        return false;
    *bad = *bad || HasControlBytes(*line);
    return true;
}

} // namespace

std::string ViewIniPath()
{
    std::string dir = SettingsDirectory();
    return dir.empty() ? "" : dir + "/view.ini";
}

// What view.ini keeps of a server's setting: a heading-only key (a menu key is monitor.ini's
// to keep), the direction and the filter.
ServerView ViewOfSetting(const char* server, const Setting& s)
{
    return {server, IsMenuSortKey(s.sortType) ? SORT_BY_NONE : s.sortType, s.sortDescending ? 1 : 0,
            s.filter};
}

void ApplyView(const ServerView& view, Setting* s)
{
    if (view.sortType != SORT_BY_NONE) {
        // The key monitor.ini gave stays what it will be saved as.
        s->menuSortType = SavedSortKey(*s);
        s->sortType = view.sortType;
    }
    s->sortDescending = view.descending;
    snprintf(s->filter, sizeof s->filter, "%s", view.filter.c_str());
}

// 0 when read; otherwise the number of the first bad line (1 for a bad header), with no
// view kept.
int ReadViewsFrom(FILE* in, std::vector<ServerView>* views)
{
    views->clear();
    std::string line;
    bool bad = false;
    if (!NextLine(in, &line, &bad) || bad || line != kHeader)
        return 1;
    for (int number = 2; NextLine(in, &line, &bad); number++) {
        ServerView view;
        if (bad || !ParseLine(line, &view)) {
            views->clear();
            return number;
        }
        views->push_back(view);
    }
    return 0;
}

void WriteViewsTo(FILE* out, const std::vector<ServerView>& views)
{
    fprintf(out, "%s\n", kHeader);
    for (const ServerView& view : views)
        fprintf(out, "%s\t%s\t%s\t%s\n", view.server.c_str(), KeyWord(view.sortType),
                view.descending ? "descending" : "ascending", view.filter.c_str());
}
