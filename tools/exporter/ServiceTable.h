// The services that name destination ports, read from a settings file of the window.
#ifndef VANTOR_EXPORTER_SERVICETABLE_H
#define VANTOR_EXPORTER_SERVICETABLE_H

#include <string>

#include "core/Setting.h"

// Fills s with the window's defaults and, when path is not empty, the first server's block
// of that monitor.ini, so that ports are named as the window names them for that server.
// False, with the reason, when the file cannot be read or is damaged.
bool LoadServiceTable(const std::string& path, Setting* s, std::string* error);

#endif
