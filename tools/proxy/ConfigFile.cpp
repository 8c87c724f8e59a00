// Splitting the configuration file into directive lines (see ConfigFile.h).
#include "tools/proxy/ConfigFile.h"

#include "tools/proxy/TextFile.h"

// Every error is counted, but only the first MAX_LISTED are kept: a binary file given as the
// configuration must not produce a report of a million lines.
void ConfigErrors::add(const std::string& place, const std::string& message)
{
    if (listed_.size() < MAX_LISTED)
        listed_.push_back(ConfigError{place, message});
    ++count_;
}

// Words are separated by blanks and tabs; there is no quoting, as no value needs a blank.
std::vector<std::string> splitWords(const std::string& s)
{
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = s.find_first_not_of(" \t", at)) != std::string::npos) {
        size_t end = s.find_first_of(" \t", at);
        words.push_back(s.substr(at, end - at));
        at = end;
    }
    return words;
}

std::string joinWords(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& w : words)
        text += (text.empty() ? "" : " ") + w;
    return text;
}

std::vector<ConfigLine> splitConfigText(const std::string& text)
{
    std::vector<ConfigLine> lines;
    int number = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        // A file written on another system may end its lines in CR LF.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ConfigLine parsed{number, {}, ""};
        // A line too long or holding control bytes is refused; otherwise a "#" starts a comment
        // anywhere on it.
        if (line.size() > kConfigMaxLine)
            parsed.problem = "longer than " + std::to_string(kConfigMaxLine) + " bytes";
        else if (hasControlByte(line))
            parsed.problem = "holds a control byte or a NUL";
        else
            parsed.words = splitWords(line.substr(0, line.find('#')));
        // Blank and comment lines are left out, but every line keeps its own number for the
        // messages.
        if (!parsed.words.empty() || !parsed.problem.empty())
            lines.push_back(std::move(parsed));
    }
    return lines;
}

std::vector<ConfigLine> readConfigFile(const std::string& path, ConfigErrors* errors)
{
    std::string text, error;
    // Bounded in size and refused if not a regular file, so a device or fifo given by mistake
    // cannot hang the start or a reload.
    if (!readRegularFile(path, kConfigMaxSize, &text, &error)) {
        errors->add("", error);
        return {};
    }
    return splitConfigText(text);
}
