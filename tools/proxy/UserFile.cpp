#include "tools/proxy/UserFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

namespace {

// The whole content of a regular file, read without blocking on anything else.
bool readRegularFile(const std::string &path, std::string *text, std::string *error)
{
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *error = path + ": "
            + (errno == ELOOP ? std::string("is a symbolic link; give the file itself")
                              : "cannot be read: " + std::string(std::strerror(errno)));
        return false;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        *error = path + ": not a regular file";
        return false;
    }
    if (st.st_size > off_t(UserFile::MAX_FILE_SIZE)) {
        close(fd);
        *error = path + ": larger than " + std::to_string(UserFile::MAX_FILE_SIZE) + " bytes";
        return false;
    }
    text->clear();
    char buf[65536];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0 && text->size() <= UserFile::MAX_FILE_SIZE)
        text->append(buf, size_t(n));
    int readErrno = errno;
    close(fd);
    if (n < 0) {
        *error = path + ": cannot be read: " + std::strerror(readErrno);
        return false;
    }
    return true;
}

bool hasControlByte(const std::string &line)
{
    for (unsigned char c : line)
        if ((c < 0x20 && c != '\t') || c == 0x7f)
            return true;
    return false;
}

} // namespace

bool UserFile::load(const std::string &path, std::string *error)
{
    std::string text;
    return readRegularFile(path, &text, error) && parse(text, path, error);
}

bool UserFile::parse(const std::string &text, const std::string &name, std::string *error)
{
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
        if (!(words >> password) || (words >> extra) || user.size() > 255
            || password.size() > 255) {
            *error = where + "expected \"NAME PASSWORD\"";
            return false;
        }
        read[user] = password;
    }
    if (read.empty()) {
        *error = name + ": names no user, so nobody could log in";
        return false;
    }
    passwords_.swap(read);
    return true;
}

bool UserFile::check(const std::string &user, const std::string &password) const
{
    auto it = passwords_.find(user);
    return it != passwords_.end() && it->second == password;
}
