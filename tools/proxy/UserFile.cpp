#include "tools/proxy/UserFile.h"

#include <fstream>
#include <sstream>

bool UserFile::load(const std::string &path, std::string *error)
{
    std::ifstream in(path);
    if (!in) {
        *error = path + ": cannot be read";
        return false;
    }
    std::map<std::string, std::string> read;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream words(line);
        std::string name, password, extra;
        if (!(words >> name) || name[0] == '#')
            continue;
        if (!(words >> password) || (words >> extra) || name.size() > 255 || password.size() > 255) {
            *error = path + ":" + std::to_string(number) + ": expected \"NAME PASSWORD\"";
            return false;
        }
        read[name] = password;
    }
    passwords_.swap(read);
    return true;
}

bool UserFile::check(const std::string &user, const std::string &password) const
{
    auto it = passwords_.find(user);
    return it != passwords_.end() && it->second == password;
}
