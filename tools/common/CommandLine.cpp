// The option values and the start of main that every tool parses the same way.
#include "tools/common/CommandLine.h"

#include <arpa/inet.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

bool parseWholeNumber(const std::string& text, long lo, long hi, int* out)
{
    char* end = nullptr;
    errno = 0;
    // Base 10 always: "010" is ten, not eight as base 0 would read it. Trailing text, overflow and
    // values outside lo..hi are all refused, never cut to fit.
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || value < lo || value > hi)
        return false;
    *out = int(value);
    return true;
}

// ADDR, ADDR:PORT or :PORT, IPv4 only; what is left out keeps the value *out had, so the caller
// presets the defaults. "ADDR:" with an empty port is a mistake.
bool parseHostPort(const std::string& text, sockaddr_in* out)
{
    std::string host = text;
    std::string port;
    size_t colon = text.rfind(':');
    if (colon != std::string::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (port.empty())
            return false;
    }
    int portNumber = 0;
    if (!port.empty() && !parseWholeNumber(port, 0, 65535, &portNumber))
        return false;
    in_addr ip{};
    if (!host.empty() && inet_pton(AF_INET, host.c_str(), &ip) != 1)
        return false;
    if (!port.empty())
        out->sin_port = htons(static_cast<uint16_t>(portNumber));
    if (!host.empty())
        out->sin_addr = ip;
    out->sin_family = AF_INET;
    return true;
}

// The exit codes every tool shares: 2 for bad usage (with a hint to --help), 0 after --help or
// --version, and -1 to say "go on". Help goes to stdout so it can be paged; errors to stderr.
int answerStandardOptions(const ToolStart& tool, bool parsed, const std::string& error, bool help,
                          bool version)
{
    if (!parsed) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for the options.\n", tool.program,
                     error.c_str(), tool.program);
        return 2;
    }
    if (help) {
        std::fputs(tool.usage, stdout);
        return 0;
    }
    if (version) {
        std::printf("%s %s\n", tool.program, tool.version);
        return 0;
    }
    return -1;
}
