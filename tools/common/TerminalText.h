// Text from the network made safe for a terminal or a log: names in monitor records are
// chosen by SOCKS clients, so none of their bytes may reach a terminal as a control or
// start a line of a log.
#ifndef VANTOR_COMMON_TERMINALTEXT_H
#define VANTOR_COMMON_TERMINALTEXT_H

#include <cstddef>
#include <string>

// The text up to its first NUL (at most cap bytes) with every C0 control and DEL, every C1
// control (U+0080 to U+009F) and every byte that is not part of valid UTF-8 written as
// "\xNN"; printable ASCII and valid UTF-8 of printable characters pass unchanged.
std::string terminalText(const char* text, size_t cap);

#endif
