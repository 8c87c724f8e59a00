// Reading the proxy's text files safely (see TextFile.h).
#include "tools/proxy/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool readRegularFile(const std::string& path, size_t maxSize, std::string* text, std::string* error)
{
    // O_NONBLOCK so that opening a fifo given by mistake cannot hang the proxy; O_NOFOLLOW so a
    // link planted in place of the file is refused; O_NOCTTY so a terminal cannot become ours.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *error = path + ": "
            + (errno == ELOOP ? std::string("is a symbolic link; give the file itself")
                              : "cannot be read: " + std::string(std::strerror(errno)));
        return false;
    }
    struct stat st;
    // Checked on the open file itself, so nothing can be swapped in between the check and the read.
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        *error = path + ": not a regular file";
        return false;
    }
    if (st.st_size > off_t(maxSize)) {
        close(fd);
        *error = path + ": larger than " + std::to_string(maxSize) + " bytes";
        return false;
    }
    // The size may grow while it is read: never take more than the limit and one buffer.
    text->clear();
    char buf[65536];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0 && text->size() <= maxSize)
        text->append(buf, size_t(n));
    int readErrno = errno;
    close(fd);
    if (n < 0) {
        *error = path + ": cannot be read: " + std::strerror(readErrno);
        return false;
    }
    if (text->size() > maxSize) {
        *error = path + ": larger than " + std::to_string(maxSize) + " bytes";
        return false;
    }
    return true;
}

// Tabs are allowed as blanks; every other control byte, and DEL, would make the log and the
// messages lie about what the file says.
bool hasControlByte(const std::string& line)
{
    for (unsigned char c : line)
        if ((c < 0x20 && c != '\t') || c == 0x7f)
            return true;
    return false;
}
