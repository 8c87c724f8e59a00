// Private files for tests: a fresh directory under /tmp that goes away with the object,
// and the whole text of a file.
#ifndef VANTOR_TEST_TEMP_DIR_H
#define VANTOR_TEST_TEMP_DIR_H

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // The number of entries in the directory, so that a test sees what was left behind.
    int EntryCount() const;

private:
    std::string path_;
};

// The whole content of a file ("" if it cannot be read).
std::string FileText(const std::string& path);

#endif
