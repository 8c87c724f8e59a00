// The option values and the start of main that every tool parses the same way.
#include "tools/common/CommandLine.h"

#include <arpa/inet.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

bool parseWholeNumber(const std::string &text, long lo, long hi, int *out)
{
    char *end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || value < lo || value > hi)
        return false;
    *out = int(value);
    return true;
}

bool parseHostPort(const std::string &text, sockaddr_in *out)
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

int answerStandardOptions(const ToolStart &tool, bool parsed, const std::string &error, bool help,
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
