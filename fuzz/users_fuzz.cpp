// fuzz-libs: vantor_proxy
// Feeds arbitrary bytes to the proxy's users file reader: it never crashes, a refused file
// changes nothing, and an accepted one lets in each user it names with the password named.
#include "tools/proxy/UserFile.h"

#include <stddef.h>
#include <stdint.h>

#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    UserFile users;
    std::string error;
    if (!users.parse("alice secret\n", "before", &error))
        __builtin_trap();
    if (!users.parse(text, "fuzz", &error)) {
        if (error.empty() || !users.check("alice", "secret") || users.size() != 1)
            __builtin_trap(); // a refused file keeps the users there were
        return 0;
    }
    if (users.empty())
        __builtin_trap();
    // The last line that names a user gives the password.
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string name, password;
        if (!(words >> name) || name[0] == '#')
            continue;
        words >> password;
        std::string later =
            text.substr(size_t(lines.tellg() < 0 ? text.size() : size_t(lines.tellg())));
        if (later.find(name) == std::string::npos && !users.check(name, password))
            __builtin_trap();
    }
    return 0;
}
