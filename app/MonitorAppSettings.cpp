// The settings files of the user: monitor.ini with the settings of every server, and
// socks5.dat with the server list.
#include "MonitorApp.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <Xm/Xm.h>

#include "MonSOCKS5.h"
#include "MonTable.h"
#include "SettingsFile.h"
#include "util.h"

namespace {

const char kSymbolicLink[] = "is a symbolic link. Can not write to a symbolic link.";

// The table's geometry at the time of saving, which every server stores.
void TakeTableGeometry(Widget table, Setting* s)
{
    if (!table) {
        return;
    }
    Dimension width = static_cast<Dimension>(s->tableWidth);
    Dimension height = static_cast<Dimension>(s->tableHeight);
    int rows = s->tableRows;
    int columns = s->tableColumns;
    XtVaGetValues(table, XmNwidth, &width, XmNheight, &height,
                  "numberOfRows", &rows, "numberOfColumns", &columns, NULL);
    s->tableWidth = width;
    s->tableHeight = height;
    s->tableRows = rows;
    s->tableColumns = columns;
}

} // namespace

void MonitorApp::ReadSettingFile()
{
    std::string path = MonitorIniPath();
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return;
    }
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    FILE* in = fd < 0 ? NULL : fdopen(fd, "r");
    if (!in) {
        if (fd >= 0) close(fd);
        return;
    }
    Setting* settings[MAX_SERVERS];
    for (int i = 0; i < serverCount; i++) {
        settings[i] = &servers[i]->setting;
    }
    ReadSettingsFrom(in, settings, serverCount);
    fclose(in);
}

int MonitorApp::WriteSetting()
{
    std::string path = MonitorIniPath();
    SafeWriteResult result = WriteFileSafely(path, [this](FILE* out) {
        const Setting* settings[MAX_SERVERS];
        for (int i = 0; i < serverCount; i++) {
            TakeTableGeometry(tableView ? tableView->table : NULL, &servers[i]->setting);
            settings[i] = &servers[i]->setting;
        }
        WriteSettingsTo(out, settings, serverCount);
    });
    if (result == SAFE_WRITE_NOT_REGULAR) {
        snprintf(message, sizeof message, "%s %s", path.c_str(), kSymbolicLink);
        KesWarningPost(shell, message, NULL, NULL, "Warning");
        return 0;
    }
    if (result == SAFE_WRITE_FAILED) {
        KesWarningPost(shell, "Cannot open monitor.ini to save changes.", NULL, NULL, "Warning");
        return 0;
    }
    return 1;
}

int MonitorApp::WriteSOCKS5Data()
{
    std::string path = Socks5DatPath();
    std::vector<std::string> names;
    for (int i = 0; i < serverCount; i++) {
        names.push_back(servers[i]->name);
    }
    SafeWriteResult result = WriteFileSafely(path, [&names](FILE* out) { WriteServerNamesTo(out, names); });
    // The dialog closes right after writing, so the message belongs to the main window.
    Widget parent = shell;
    if (result == SAFE_WRITE_NOT_REGULAR) {
        snprintf(message, sizeof message, "%s %s", path.c_str(), kSymbolicLink);
        KesWarningPost(parent, message, NULL, NULL, "Warning");
        return 0;
    }
    if (result == SAFE_WRITE_FAILED) {
        KesWarningPost(parent, "Cannot open socks5.dat to save SOCKS5Server changes.", NULL, NULL, "Warning");
        return 0;
    }
    return 1;
}
