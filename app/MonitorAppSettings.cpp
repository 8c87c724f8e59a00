// The settings files of the user: monitor.ini with the settings of every server, and
// socks5.dat with the server list.
#include "app/MonitorApp.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include <Xm/Xm.h>

#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "core/SettingsFile.h"
#include "core/ViewFile.h"
#include "app/util.h"

namespace {

const char kSymbolicLink[] = "is a symbolic link. Can not write to a symbolic link.";
const char kForeignFile[] = "belongs to another user and was not read.";

// The table's geometry at the time of saving, which every server stores; its rows as
// they are without a filter, so that a filter leaves monitor.ini as it was.
void TakeTableGeometry(MonTable* view, Setting* s)
{
    if (!view || !view->table) {
        return;
    }
    // The stored values stay when the widget does not answer for a resource.
    Dimension width = static_cast<Dimension>(s->tableWidth);
    Dimension height = static_cast<Dimension>(s->tableHeight);
    int rows = view->RowsWithoutFilter();
    int columns = s->tableColumns;
    XtVaGetValues(view->table, XmNwidth, &width, XmNheight, &height, "numberOfColumns", &columns,
                  NULL);
    s->tableWidth = width;
    s->tableHeight = height;
    // A table grown very long is saved at the largest size a settings file may hold. A table
    // cleared of all rows (after Stop, or the removal of the shown server) shows no list at
    // all: saving its 0 would leave every later start without the blank rows of an empty list.
    if (rows > 0) {
        s->tableRows = rows < SETTING_TABLE_ROWS_MAX ? rows : SETTING_TABLE_ROWS_MAX;
    }
    s->tableColumns = columns;
}

} // namespace

// Tells the user why a save failed; 1 when it succeeded. Saving over a link or a special file is
// refused rather than followed, so a planted link cannot make us overwrite another file.
int MonitorApp::ReportWrite(SafeWriteResult result, const std::string& path,
                            const char* openFailure)
{
    if (result == SAFE_WRITE_NOT_REGULAR) {
        // Named for what it is: the text for a link is the one users know.
        const char* kind = SpecialFileKind(path);
        if (!kind || strcmp(kind, "a symbolic link") == 0)
            snprintf(message, sizeof message, "%s %s", path.c_str(), kSymbolicLink);
        else
            snprintf(message, sizeof message, "%s is %s. Can not write to %s.", path.c_str(), kind,
                     kind);
        KesWarningPost(shell, message, NULL, NULL, "Warning");
        return 0;
    }
    if (result == SAFE_WRITE_FAILED) {
        KesWarningPost(shell, openFailure, NULL, NULL, "Warning");
        return 0;
    }
    return 1;
}

// The settings directory may be shared or tampered with: a file owned by another user is
// not trusted, and a FIFO or device would block the start, so neither is read.
FILE* MonitorApp::OpenIniFile(const std::string& path)
{
    SettingsOpenResult opened;
    FILE* in = OpenSettingsFile(path, &opened);
    if (opened == SETTINGS_FOREIGN) {
        snprintf(message, sizeof message, "%s %s", path.c_str(), kForeignFile);
        KesWarningPost(shell, message, NULL, NULL, "Warning");
    }
    // A null return with no warning simply means there is no file yet.
    if (opened == SETTINGS_NOT_REGULAR)
        WarnNotRead(path);
    return in;
}

// monitor.ini holds one block per server, in the order of the server list. A damaged file
// is read up to the damage, and sizes beyond what the window can show are bounded; either
// way the user is told once, with the line.
void MonitorApp::ReadSettingFile()
{
    std::string path = MonitorIniPath();
    FILE* in = OpenIniFile(path);
    if (!in) {
        return;
    }
    // The file's blocks are matched to the servers by position, the order the list was saved in.
    Setting* settings[MAX_SERVERS];
    for (int i = 0; i < serverCount; i++) {
        settings[i] = &servers[i]->setting;
    }
    SettingsDamage damage = ReadSettingsFrom(in, settings, serverCount);
    fclose(in);
    if (damage.line > 0) {
        // One warning, where the damage begins; the servers from there on keep what they had.
        snprintf(message, sizeof message,
                 "%s is damaged at line %d (%s).\nSettings from there on were not read.",
                 path.c_str(), damage.line,
                 damage.server < 0 ? "the server count" : servers[damage.server]->name);
        KesWarningPost(shell, message, NULL, NULL, "Warning");
    }
    if (!damage.bounded.empty()) {
        // One warning naming the lines, the first few of them in full.
        std::string text = path + " holds sizes larger than the window can show:";
        // A whole file of bad sizes would make a warning taller than the screen.
        const size_t shown = 5;
        for (size_t i = 0; i < damage.bounded.size() && i < shown; i++) {
            const SettingsDamage::Bounded& b = damage.bounded[i];
            text += "\nline " + std::to_string(b.line) + ": " + b.field + " "
                + std::to_string(b.read) + ", taken as " + std::to_string(b.used);
        }
        if (damage.bounded.size() > shown)
            text += "\nand " + std::to_string(damage.bounded.size() - shown) + " more.";
        snprintf(message, sizeof message, "%s", text.c_str());
        KesWarningPost(shell, message, NULL, NULL, "Warning");
    }
}

void MonitorApp::WarnNotRead(const std::string& path)
{
    const char* kind = SpecialFileKind(path);
    snprintf(message, sizeof message, "%s is %s and was not read.", path.c_str(),
             kind ? kind : "no regular file");
    KesWarningPost(shell, message, NULL, NULL, "Warning");
}

// Options > Save Settings: monitor.ini (with the table's present geometry), then view.ini.
// Both are written to a temporary file and renamed, so that a full disk or a crash never
// leaves half a file where the old one was.
int MonitorApp::WriteSetting()
{
    std::string path = MonitorIniPath();
    SafeWriteResult result =
        // The geometry is taken from the table now on screen for every server: there is one table.
        path.empty() ? SAFE_WRITE_FAILED : WriteFileSafely(path, [this](FILE* out) {
            const Setting* settings[MAX_SERVERS];
            for (int i = 0; i < serverCount; i++) {
                TakeTableGeometry(tableView, &servers[i]->setting);
                settings[i] = &servers[i]->setting;
            }
            WriteSettingsTo(out, settings, serverCount);
        });
    return ReportWrite(result, path, "Cannot open monitor.ini to save changes.") && WriteViewFile();
}

// view.ini adds to monitor.ini what only this program knows: each server's filter and a
// heading-only order. A damaged file is refused whole.
void MonitorApp::ReadViewFile()
{
    std::string path = ViewIniPath();
    FILE* in = OpenIniFile(path);
    if (!in)
        return; // none yet: monitor.ini alone gives the settings
    std::vector<ServerView> views;
    int damaged = ReadViewsFrom(in, &views);
    fclose(in);
    if (damaged) {
        snprintf(message, sizeof message,
                 "%s is damaged at line %d and was not read.\nThe tables show all their rows "
                 "in the order of Sort By.",
                 path.c_str(), damaged);
        KesWarningPost(shell, message, NULL, NULL, "Warning");
        return;
    }
    // Views are matched by server name, so a view of a server since removed is dropped, and the
    // list may be reordered without the views following the wrong server.
    for (const ServerView& view : views)
        for (int i = 0; i < serverCount; i++)
            if (view.server == servers[i]->name)
                ApplyView(view, &servers[i]->setting);
}

// One view per server, in the list's order.
int MonitorApp::WriteViewFile()
{
    std::string path = ViewIniPath();
    std::vector<ServerView> views;
    for (int i = 0; i < serverCount; i++)
        views.push_back(ViewOfSetting(servers[i]->name, servers[i]->setting));
    SafeWriteResult result = path.empty()
        ? SAFE_WRITE_FAILED
        : WriteFileSafely(path, [&views](FILE* out) { WriteViewsTo(out, views); });
    return ReportWrite(result, path, "Cannot open view.ini to save changes.");
}

// socks5.dat: the server names, one a line, in the order of the list.
int MonitorApp::WriteSOCKS5Data()
{
    std::string path = Socks5DatPath();
    std::vector<std::string> names;
    for (int i = 0; i < serverCount; i++) {
        names.push_back(servers[i]->name);
    }
    SafeWriteResult result = path.empty()
        ? SAFE_WRITE_FAILED
        : WriteFileSafely(path, [&names](FILE* out) { WriteServerNamesTo(out, names); });
    return ReportWrite(result, path, "Cannot open socks5.dat to save SOCKS5Server changes.");
}
