// The menu's part of the server list: reading socks5.dat, and the server entries and tool
// buttons (placeholders until the tool bar is built).
#include "app/MonMenu.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/SettingsFile.h"

char** MonMenu::OpenSOCKS5Data(const char* path)
{
    serverNameCount = 0;
    SettingsOpenResult opened;
    FILE* in = OpenSettingsFile(path, &opened);
    if (!in) {
        return NULL;
    }
    std::vector<std::string> names;
    bool isList = ReadServerNamesFrom(in, &names);
    fclose(in);
    if (!isList || names.empty()) {
        return NULL;
    }
    char** result = static_cast<char**>(calloc(names.size(), sizeof(char*)));
    if (!result) {
        return NULL;
    }
    for (size_t i = 0; i < names.size(); i++) {
        result[i] = static_cast<char*>(calloc(1, SERVER_NAME_MAX + 1));
        if (!result[i]) {
            for (size_t j = 0; j < i; j++) free(result[j]);
            free(result);
            return NULL;
        }
        snprintf(result[i], SERVER_NAME_MAX + 1, "%s", names[i].c_str());
    }
    serverNameCount = static_cast<int>(names.size());
    return result;
}

void MonMenu::AddSOCKS5Bn(const char*) {}

void MonMenu::addToolBn(const char*, int) {}

void MonMenu::removeToolBn(int) {}

void MonMenu::EnableToolBn(int) {}

void MonMenu::DisableToolBn(int) {}
