// The configuration file's lines: one directive a line, words separated by blanks or tabs,
// '#' starting a comment that runs to the end of the line, blank lines ignored. What the
// directives mean is for Directives.h; here only the lines and their limits.
#ifndef VANTOR_PROXY_CONFIGFILE_H
#define VANTOR_PROXY_CONFIGFILE_H

#include <cstddef>
#include <string>
#include <vector>

struct ConfigLine {
    int number = 0; // from 1
    std::vector<std::string> words;
    std::string problem; // why the line cannot be read; its words are empty then
};

// A mistake in the configuration, with the place it was found.
struct ConfigError {
    std::string place; // "FILE:LINE"; empty for the command line and for the file as a whole
    std::string message;
};

// Collects every mistake, so that one run reports them all; beyond MAX_LISTED they are only
// counted, so that a file of garbage cannot fill the memory with messages.
class ConfigErrors {
public:
    static constexpr size_t MAX_LISTED = 100;

    void add(const std::string& place, const std::string& message);
    bool empty() const { return count_ == 0; }
    size_t count() const { return count_; }
    const std::vector<ConfigError>& listed() const { return listed_; }

private:
    std::vector<ConfigError> listed_;
    size_t count_ = 0;
};

// A line is a directive with a few addresses or names; 4096 bytes leave room for a file
// name of the longest path Linux allows. A file holds at most 10000 rules of each kind
// plus comments, which 4 MiB allows with room to spare.
const size_t kConfigMaxLine = 4096;
const size_t kConfigMaxSize = 4 << 20;

// The words of s, split at blanks and tabs.
std::vector<std::string> splitWords(const std::string& s);
// The words separated by one blank each.
std::string joinWords(const std::vector<std::string>& words);
// The lines of a configuration text that hold words or a problem: a line longer than
// kConfigMaxLine or holding a control byte (CR LF line ends are taken).
std::vector<ConfigLine> splitConfigText(const std::string& text);
// The same for a file, which must be a regular file of at most kConfigMaxSize bytes; what
// keeps it from being read is added to *errors.
std::vector<ConfigLine> readConfigFile(const std::string& path, ConfigErrors* errors);

#endif
