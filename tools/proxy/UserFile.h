// The users file: who may use the proxy with username/password authentication.
// One "NAME PASSWORD" pair per line (separated by blanks or tabs); blank lines and lines
// starting with '#' are ignored. Names and passwords hold no blanks and no control bytes,
// at most 255 bytes each. A file that names nobody is refused: nobody could log in.
#ifndef VANTOR_PROXY_USERFILE_H
#define VANTOR_PROXY_USERFILE_H

#include <map>
#include <string>

class UserFile {
public:
    // The largest users file read; a larger one is refused.
    static const size_t MAX_FILE_SIZE = 16 << 20;

    // Reads the file, which must be a regular file (never a FIFO, a device, a directory or
    // a symbolic link: nothing blocks the start); on failure returns false, describes the
    // problem in *error and keeps the users it had.
    bool load(const std::string& path, std::string* error);
    // The same for the text of a file; name is how errors call it.
    bool parse(const std::string& text, const std::string& name, std::string* error);
    bool check(const std::string& user, const std::string& password) const;
    // Whether the file names this user.
    bool has(const std::string& user) const { return passwords_.count(user) != 0; }
    bool empty() const { return passwords_.empty(); }
    size_t size() const { return passwords_.size(); }

private:
    std::map<std::string, std::string> passwords_;
};

#endif
