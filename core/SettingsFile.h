// The two settings files of a user, monitor.ini (the settings of every server) and
// socks5.dat (the server list): paths, reading, writing. Nothing here touches X, so the
// formats can be tested on their own.
#ifndef VANTOR_SETTINGSFILE_H
#define VANTOR_SETTINGSFILE_H

#include <stdio.h>

#include <functional>
#include <string>
#include <vector>

#include "core/Setting.h"

// The longest server name a server object holds.
enum { SERVER_NAME_MAX = 255 };

// Whether a server name "host", "host:port", "[IPv6 address]:port" or an IPv6 address alone
// gives, if any, a port from 1 to 65535 in decimal digits; otherwise the port text (what
// follows the "]" of a bracket that no colon follows) is put in badPort.
bool ServerPortValid(const char* name, std::string* badPort);

// The home directory that holds the settings directory: home (the value of HOME) when it is
// an absolute path, else passwordHome (the user's home in the password database) when that
// is one; "" when neither names a home, and then no settings file is read or written.
std::string ChooseSettingsHome(const char* home, const char* passwordHome);
// The same for this process: HOME, or the password database's entry of its user.
std::string SettingsHome();
// SettingsHome() + "/.vantorrc"; "" without a home.
std::string SettingsDirectory();
// The two files in the settings directory; "" without a home.
std::string MonitorIniPath();
std::string Socks5DatPath();

enum SettingsOpenResult {
    SETTINGS_OPENED,
    SETTINGS_ABSENT,      // missing or unreadable
    SETTINGS_NOT_REGULAR, // there, but no regular file (a link, a FIFO, a directory): not read
    SETTINGS_FOREIGN      // a regular file that another user owns: never trusted
};

// What stands at path when it is no regular file: "a symbolic link", "a directory", "a
// FIFO", "a socket" or "a device"; NULL for a regular file or nothing.
const char* SpecialFileKind(const std::string& path);

// Opens a settings file for reading without ever blocking on it or following a link:
// only a regular file of this process's user is opened. NULL otherwise (see *result).
FILE* OpenSettingsFile(const std::string& path, SettingsOpenResult* result);

// Where reading monitor.ini stopped at damage: the line of the first word that the format
// does not allow there (0 when the file was sound) and the index of the server whose block
// it lies in (-1 for the server count).
struct SettingsDamage {
    int line;
    int server;
    // Values beyond what the window can show, bounded where they were read.
    struct Bounded {
        int line;
        const char* field; // "cell height", ...
        long read;
        int used;
    };
    std::vector<Bounded> bounded;
};

// Reads monitor.ini into the settings of the first count servers, whose service buffers must
// exist. Stops after the file's server count or after count servers, whichever comes first,
// and at the first damage: a word that is no number where a number belongs, a word with
// control bytes, a negative service count, a service whose selection is not 0 or 1, or the
// end of the file inside a block. A block is committed only when everything before its
// services is whole, and then with the services read whole; the services from the new count
// on keep what they held. A number out of its field's range leaves that field as it was; a
// size beyond what the window can show (SETTING_..._MAX) is bounded to it and listed.
SettingsDamage ReadSettingsFrom(FILE* in, Setting* const* settings, int count);
// Writes the server count and one block per server. Every service text is written as one
// word, so that whatever was read is read back the same.
void WriteSettingsTo(FILE* out, const Setting* const* settings, int count);

// Reads socks5.dat: false when its first word is not "socks5s" or "socks5" (in any case).
// Names longer than SERVER_NAME_MAX characters, and names with control bytes or NULs, are
// skipped.
bool ReadServerNamesFrom(FILE* in, std::vector<std::string>* names);
// Writes "SOCKS5s" and one name per line.
void WriteServerNamesTo(FILE* out, const std::vector<std::string>& names);

enum SafeWriteResult {
    SAFE_WRITE_OK,
    SAFE_WRITE_NOT_REGULAR, // the path exists and is not a regular file (a symbolic link)
    SAFE_WRITE_FAILED       // the file could not be created or written completely
};

// Writes a file through a fresh temporary file in the same directory that is renamed over
// the old one, so that a symbolic link at path is never followed and a failed write never
// leaves a half-written file behind.
SafeWriteResult WriteFileSafely(const std::string& path, const std::function<void(FILE*)>& body);

#endif
