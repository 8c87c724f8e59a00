// view.ini, beside monitor.ini in the settings directory, free of X: per server the table's
// filter and the order of its list (a key that only a heading chooses, and the direction),
// which monitor.ini, read by other programs and older versions, does not hold.
//
// The format: the line "vantor-view 1", then one line per server of four fields apart by
// tabs: the server's name; the sort key, "menu" (monitor.ini's Sort By key), "in", "out"
// or "duration"; "ascending" or "descending"; the filter text, possibly empty. No field
// holds a tab or another control byte. A file that breaks any of this is damaged and is
// read not at all.
#ifndef VANTOR_VIEWFILE_H
#define VANTOR_VIEWFILE_H

#include <stdio.h>

#include <string>
#include <vector>

#include "core/Setting.h"

struct ServerView {
    std::string server;
    SortKey
        sortType;   // SORT_BY_IN_TRAFFIC, _OUT_TRAFFIC, _DURATION, or SORT_BY_NONE: the Sort By key
    int descending; // 0 or 1
    std::string filter;
};

// The file in the settings directory; "" without a home.
std::string ViewIniPath();

// What a server's setting gives the file, and the setting that a line read gives back.
ServerView ViewOfSetting(const char* server, const Setting& s);
void ApplyView(const ServerView& view, Setting* s);

// Reads the lines of every server; 0 when the file is sound, else the first damaged line
// (and views is left empty).
int ReadViewsFrom(FILE* in, std::vector<ServerView>* views);
void WriteViewsTo(FILE* out, const std::vector<ServerView>& views);

#endif
