// The command-line pieces every tool shares: whole numbers and IPv4 addresses given as
// option values, and the start of main that answers --help, --version and bad usage.
#ifndef VANTOR_TOOLS_COMMANDLINE_H
#define VANTOR_TOOLS_COMMANDLINE_H

#include <netinet/in.h>

#include <string>

// A whole decimal number within lo..hi, nothing else in text; *out is untouched otherwise.
bool parseWholeNumber(const std::string& text, long lo, long hi, int* out);

// Parses "ADDR:PORT", "ADDR" or ":PORT" (IPv4 dotted decimal only); fields not given keep
// the values already in *out. Returns false on a malformed address or port.
bool parseHostPort(const std::string& text, sockaddr_in* out);

// What a tool's main does before its own work, once its options are parsed.
struct ToolStart {
    const char* program; // the name messages start with
    const char* usage;
    const char* version; // printed for --version after the program name
};

// Bad usage prints the error and a pointer to --help to stderr and gives 2; --help prints the usage
// and --version the version to stdout and give 0. Returns -1 when main is to go on.
int answerStandardOptions(const ToolStart& tool, bool parsed, const std::string& error, bool help,
                          bool version);

#endif
