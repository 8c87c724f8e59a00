// The users file: who may use the proxy with username/password authentication.
// One "NAME PASSWORD" pair per line (separated by blanks or tabs); blank lines and lines
// starting with '#' are ignored. Names and passwords hold no blanks, at most 255 bytes each.
#ifndef VANTOR_PROXY_USERFILE_H
#define VANTOR_PROXY_USERFILE_H

#include <map>
#include <string>

class UserFile {
public:
    // Reads the file; on failure returns false and describes the problem in *error.
    bool load(const std::string &path, std::string *error);
    bool check(const std::string &user, const std::string &password) const;
    bool empty() const { return passwords_.empty(); }

private:
    std::map<std::string, std::string> passwords_;
};

#endif
