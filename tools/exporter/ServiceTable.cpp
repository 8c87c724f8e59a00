// The service names of destination ports, taken from the window's monitor.ini so that the
// exporter's service labels are the window's.
#include "tools/exporter/ServiceTable.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "core/SettingsFile.h"

bool LoadServiceTable(const std::string& path, Setting* s, std::string* error)
{
    // The window's defaults first, so without a file (or for what it leaves out) the labels are the
    // ones a new window would show.
    FillDefaultSetting(s);
    if (path.empty())
        return true;
    FILE* in = fopen(path.c_str(), "r");
    if (!in) {
        *error = "cannot read the services file " + path + ": " + strerror(errno);
        return false;
    }
    // Only the first server's block is read: one table serves every server polled.
    Setting* first = s;
    SettingsDamage damage = ReadSettingsFrom(in, &first, 1);
    fclose(in);
    if (damage.line != 0) {
        *error = path + ":" + std::to_string(damage.line)
            + ": not a settings file of the window (monitor.ini) as expected";
        return false;
    }
    return true;
}
