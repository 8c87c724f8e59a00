// The two settings files of a user, monitor.ini (the settings of every server) and
// socks5.dat (the server list): paths, reading, writing. Nothing here touches X, so the
// formats can be tested on their own.
#ifndef VANTOR_SETTINGSFILE_H
#define VANTOR_SETTINGSFILE_H

#include <stdio.h>

#include <functional>
#include <string>
#include <vector>

#include "app/Setting.h"

// The longest server name a server object holds.
enum { SERVER_NAME_MAX = 255 };

// HOME + "/.vantorrc/monitor.ini"; "/tmp/monitor.ini" when HOME is empty or not set.
std::string MonitorIniPath();
// HOME + "/.vantorrc/socks5.dat".
std::string Socks5DatPath();

// Reads monitor.ini into the settings of the first count servers. Words are read with a
// bound, values outside their range leave the field as it was, and reading stops after the
// file's server count or after count servers, whichever comes first.
void ReadSettingsFrom(FILE* in, Setting* const* settings, int count);
// Writes the server count and one block per server.
void WriteSettingsTo(FILE* out, const Setting* const* settings, int count);

// Reads socks5.dat: false when its first word is not "socks5s" or "socks5" (in any case).
// Names longer than SERVER_NAME_MAX characters are skipped.
bool ReadServerNamesFrom(FILE* in, std::vector<std::string>* names);
// Writes "SOCKS5s" and one name per line.
void WriteServerNamesTo(FILE* out, const std::vector<std::string>& names);

enum SafeWriteResult {
    SAFE_WRITE_OK,
    SAFE_WRITE_NOT_REGULAR,  // the path exists and is not a regular file (a symbolic link)
    SAFE_WRITE_FAILED        // the file could not be created or written completely
};

// Writes a file through a fresh temporary file in the same directory that is renamed over
// the old one, so that a symbolic link at path is never followed and a failed write never
// leaves a half-written file behind.
SafeWriteResult WriteFileSafely(const std::string& path, const std::function<void(FILE*)>& body);

#endif
