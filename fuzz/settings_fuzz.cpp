// fuzz-libs: vantor_core xomtk
// Feeds arbitrary bytes to the readers of monitor.ini and socks5.dat, and checks the
// round trip: whatever file was read, writing what was read and reading that back gives the
// same settings, and the written file reads without damage. What was read then goes on to
// the table's model, as the window gives it: rows, columns, their widths and height.
#include "core/Setting.h"
#include "core/SettingsFile.h"
#include "toolkit/EditTableModel.h"

#include <limits.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

namespace {

enum { SERVERS = 3 };

struct Servers {
    Setting settings[SERVERS];
    Setting* pointers[SERVERS];
    Servers()
    {
        for (int i = 0; i < SERVERS; i++) {
            memset(&settings[i], 0, sizeof settings[i]);
            FillDefaultSetting(&settings[i]);
            pointers[i] = &settings[i];
        }
    }
    ~Servers()
    {
        for (Setting& s : settings)
            ReleaseSetting(&s);
    }
};

// Files in memory: the fuzzer runs far more inputs than a disk would allow.
FILE* Reading(const void* data, size_t size)
{
    static const char nothing[1] = {0};
    FILE* f = fmemopen(const_cast<void*>(size ? data : nothing), size ? size : 1, "r");
    if (!f)
        __builtin_trap();
    if (!size)
        fgetc(f); // an empty file: at its end from the start
    return f;
}

std::string Written(const std::function<void(FILE*)>& write)
{
    char* buffer = nullptr;
    size_t length = 0;
    FILE* f = open_memstream(&buffer, &length);
    if (!f)
        __builtin_trap();
    write(f);
    fclose(f);
    std::string text(buffer, length);
    free(buffer);
    return text;
}

// The table the window makes of a server's settings: every size within what it shows, and
// the whole table's pixels within an int.
void BuildTable(const Setting& s)
{
    if (s.cellHeight < 1 || s.cellHeight > SETTING_CELL_HEIGHT_MAX || s.tableRows < 0
        || s.tableRows > SETTING_TABLE_ROWS_MAX || s.tableWidth > SETTING_PIXELS_MAX
        || s.tableHeight > SETTING_PIXELS_MAX || s.chartWidth > SETTING_PIXELS_MAX
        || s.chartHeight > SETTING_PIXELS_MAX || s.tableColumns < 1
        || s.tableColumns > SETTING_COLUMNS)
        __builtin_trap();
    // What the window gives the table is never refused.
    struct Refusals : EditTableHooks {
        void Warn(const std::string&) override { __builtin_trap(); }
    } hooks;
    EditTableModel model(&hooks);
    model.SetColumnCount(s.tableColumns);
    model.SetRowCount(s.tableRows);
    model.SetColumnWidths(s.columnWidth, s.tableColumns);
    long long width = 0;
    for (int c = 1; c <= model.Columns(); c++) {
        if (model.ColumnWidth(c) > SETTING_PIXELS_MAX)
            __builtin_trap();
        width += model.ColumnWidth(c);
    }
    if (width > INT_MAX || static_cast<long long>(model.Rows()) * s.cellHeight > INT_MAX)
        __builtin_trap();
}

void CheckSettings(const uint8_t* data, size_t size)
{
    Servers first;
    FILE* in = Reading(data, size);
    ReadSettingsFrom(in, first.pointers, SERVERS);
    fclose(in);
    for (const Setting& s : first.settings) {
        if (s.serviceCount < 0 || s.serviceCount > SETTING_SERVICES)
            __builtin_trap();
        for (int k = 0; k < SETTING_SERVICES; k++) {
            if (strnlen(s.serviceName[k], SETTING_TEXT_SIZE) == SETTING_TEXT_SIZE)
                __builtin_trap();
            if (strnlen(s.servicePortText[k], SETTING_TEXT_SIZE) == SETTING_TEXT_SIZE)
                __builtin_trap();
        }
        BuildTable(s);
    }
    const Setting* const* readOnce = first.pointers;
    std::string written = Written([&](FILE* out) { WriteSettingsTo(out, readOnce, SERVERS); });

    Servers second;
    in = Reading(written.data(), written.size());
    SettingsDamage damage = ReadSettingsFrom(in, second.pointers, SERVERS);
    fclose(in);
    if (damage.line != 0)
        __builtin_trap(); // what the writer wrote is never damaged
    const Setting* const* readTwice = second.pointers;
    if (Written([&](FILE* out) { WriteSettingsTo(out, readTwice, SERVERS); }) != written)
        __builtin_trap();
}

void CheckServerNames(const uint8_t* data, size_t size)
{
    std::vector<std::string> names;
    FILE* in = Reading(data, size);
    bool accepted = ReadServerNamesFrom(in, &names);
    fclose(in);
    if (!accepted)
        return;
    for (const std::string& name : names) {
        if (name.empty() || name.size() > SERVER_NAME_MAX || name.find('\0') != std::string::npos)
            __builtin_trap();
    }
    std::string written = Written([&](FILE* out) { WriteServerNamesTo(out, names); });
    std::vector<std::string> again;
    in = Reading(written.data(), written.size());
    if (!ReadServerNamesFrom(in, &again) || again != names)
        __builtin_trap();
    fclose(in);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 16)
        return 0;
    CheckSettings(data, size);
    CheckServerNames(data, size);
    return 0;
}
