// The menu's part of the server list: reading socks5.dat at start-up, and the server
// entries of the SOCKS5Server menu.
#include "app/MonMenu.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include <Xm/ToggleBG.h>
#include <Xm/Xm.h>

#include "app/MonitorApp.h"
#include "app/MonSOCKS5.h"
#include "core/SettingsFile.h"
#include "app/util.h"

// The names of socks5.dat as a list the caller frees, each cut to what a server name may hold; NULL
// when there is no file, no list in it, or no memory. Nothing half-made is returned.
char** MonMenu::OpenSOCKS5Data(const char* path)
{
    serverNameCount = 0;
    SettingsOpenResult opened;
    FILE* in = OpenSettingsFile(path, &opened);
    if (opened == SETTINGS_NOT_REGULAR)
        app->WarnNotRead(path);
    if (!in) {
        return NULL;
    }
    std::vector<std::string> names;
    bool isList = ReadServerNamesFrom(in, &names);
    fclose(in);
    // A file that is not a server list (another program's, say) is ignored rather than guessed at.
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
            for (size_t j = 0; j < i; j++)
                free(result[j]);
            free(result);
            return NULL;
        }
        snprintf(result[i], SERVER_NAME_MAX + 1, "%s", names[i].c_str());
    }
    serverNameCount = static_cast<int>(names.size());
    return result;
}

// At start-up: the servers of socks5.dat become the server list and the SOCKS5Server
// menu's entries, the first one current; then their settings are read, monitor.ini first
// and view.ini over it.
void MonMenu::ReadServerList()
{
    // Only a regular file is read: not a directory, a FIFO, a device or a symbolic link.
    serverNames = OpenSOCKS5Data(Socks5DatPath().c_str());
    if (!serverNames)
        return;
    // One warning for all the servers beyond what the window monitors, not one each.
    int ignored = 0;
    for (int i = 0; i < serverNameCount; i++) {
        if (app->serverCount >= MAX_SERVERS)
            ignored++;
        else if (app->AddSOCKS5(serverNames[i]))
            AddSOCKS5Bn(serverNames[i]);
    }
    if (ignored > 0) {
        snprintf(app->message, sizeof app->message,
                 "socks5.dat lists %d SOCKS5Servers; at most %d can be monitored, so the last %d "
                 "were ignored.",
                 serverNameCount, MAX_SERVERS, ignored);
        KesWarningPost(app->shell, app->message, NULL, NULL, "Warning");
    }
    // The settings are read only now, when there are servers to match them to.
    if (serverNameCount > 0) {
        app->ReadSettingFile();
        app->ReadViewFile();
        XtSetSensitive(actionItems[ACTION_START], True);
    }
    for (int i = 0; i < serverNameCount; i++)
        free(serverNames[i]);
    free(serverNames);
    serverNames = NULL;
}

// The menu entry of the server just added, a one-of-many toggle; its user data is its
// place in the list, counted from 1.
void MonMenu::AddSOCKS5Bn(const char* name)
{
    int n = app->serverCount - 1;
    if (n < 0 || n >= MAX_SERVERS)
        return;
    Widget entry =
        XtVaCreateManagedWidget(name, xmToggleButtonGadgetClass, serverMenu, XmNindicatorType,
                                XmONE_OF_MANY, XmNvisibleWhenOff, True, XmNset,
                                n == 0 ? True : False, XmNuserData, (XtPointer)(long)(n + 1), NULL);
    XtAddCallback(entry, XmNvalueChangedCallback, MenuCallback, (XtPointer)this);
    app->servers[n]->button = entry;
}
