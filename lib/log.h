// The library's log facility: standard error, syslog and a rotated file, set by the environment.
#ifndef VANTOR_LOG_H
#define VANTOR_LOG_H

#include <stdarg.h>

// Where lines go ("how"): any sum of these; -1 at S5LogStart asks the environment
// (SOCKS5_LOG_STDERR, SOCKS5_LOG_SYSLOG, SOCKS5_LOG_FILE).
#define S5_LOG_STDERR 1
#define S5_LOG_SYSLOG 2
#define S5_LOG_FILE 4

// The level of a message: the smaller, the more important. A message is written when its
// level is not above the log's threshold; levels other than these are valid too.
enum S5LogLevel : int {
    S5_LEVEL_FAILURE = 1, // every failure the library reports
    S5_LEVEL_RESTART = 4  // the notice that a log was started again
};

// The catalog numbers of the library's messages: the number under which a message catalog
// holds each text, in set 0.
enum S5LogMessage : int {
    S5_MSG_UNCATALOGUED = 0,        // no number of its own: the restart notice
    S5_MSG_BAD_HANDLE = 1,          // a handle of a kind the operation does not take
    S5_MSG_BAD_CLIENT_TYPE = 3,     // S5MonNetOpen with a client type other than 0
    S5_MSG_CONNECT_FAILED = 15,     // the monitor connection could not be opened
    S5_MSG_SYSTEM_CALL_FAILED = 24, // "Error in %s: %m"
    S5_MSG_NOTHING_AVAILABLE = 28,  // a single request answered by an empty frame
    S5_MSG_NO_MEMORY = 35,
    S5_MSG_BAD_VERSION = 52 // a reply newer than the protocol this library speaks
};

// The handle that a NULL handle stands for; it starts itself on the first message.
extern void* S5LogDefaultHandle;
// Non-zero adds a thread field after the process id of each line.
extern int S5LogShowThreadIDS;

// Opens (or, given a started handle, restarts) a log. A level of -1 takes it from
// SOCKS5_DEBUG (n gives 5 n + 4; unset logs nothing); name is the syslog ident and catalog.
void S5LogStart(void** handlePtr, int how, int level, const char* name);
// Writes one line when level is at most the log's level. msgID picks the translated format
// from the message catalog when one is open; format is used otherwise. "%m" is errno's text.
void S5LogUpdate(void* handle, S5LogLevel level, S5LogMessage msgID, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
void S5LogvUpdate(void* handle, S5LogLevel level, S5LogMessage msgID, const char* format,
                  va_list ap);
// Closes the catalog, syslog and the file, and frees the handle.
void S5LogEnd(void* handle);

#endif
