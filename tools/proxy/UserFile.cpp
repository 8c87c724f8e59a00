// Reading the users file (see UserFile.h); a bad line refuses the whole file.
#include "tools/proxy/UserFile.h"

#include <sstream>

#include "tools/proxy/TextFile.h"

// Read with the same care as the configuration: bounded, and never through a link.
bool UserFile::load(const std::string& path, std::string* error)
{
    std::string text;
    return readRegularFile(path, MAX_FILE_SIZE, &text, error) && parse(text, path, error);
}

bool UserFile::parse(const std::string& text, const std::string& name, std::string* error)
{
    // Read into a new map and swapped in only when the whole file is good, so a reload with a
    // mistake leaves the users as they were.
    std::map<std::string, std::string> read;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string where = name + ":" + std::to_string(number) + ": ";
        if (hasControlByte(line)) {
            *error = where + "holds a control byte or a NUL";
            return false;
        }
        std::istringstream words(line);
        std::string user, password, extra;
        if (!(words >> user) || user[0] == '#')
            continue;
        // 255 bytes is the most a name or password can have in the username/password exchange, so
        // longer ones could never log in.
        if (!(words >> password) || (words >> extra) || user.size() > 255
            || password.size() > 255) {
            *error = where + "expected \"NAME PASSWORD\"";
            return false;
        }
        // A name given twice keeps its last password, as a later line is usually the newer one.
        read[user] = password;
    }
    if (read.empty()) {
        *error = name + ": names no user, so nobody could log in";
        return false;
    }
    passwords_.swap(read);
    return true;
}

bool UserFile::check(const std::string& user, const std::string& password) const
{
    auto it = passwords_.find(user);
    return it != passwords_.end() && it->second == password;
}
