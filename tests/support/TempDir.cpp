#include "tests/support/TempDir.h"

#include <dirent.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <sstream>

#include "tests/support/RunProcess.h"

TempDir::TempDir()
{
    char pattern[] = "/tmp/vantor-test-XXXXXX";
    if (mkdtemp(pattern))
        path_ = pattern;
}

TempDir::~TempDir()
{
    if (!path_.empty())
        RunProcess({"rm", "-rf", path_});
}

int TempDir::EntryCount() const
{
    DIR* dir = opendir(path_.c_str());
    if (!dir)
        return -1;
    int count = 0;
    while (struct dirent* entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            count++;
    }
    closedir(dir);
    return count;
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
