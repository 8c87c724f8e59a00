// The library's log facility: standard error, syslog and a rotated file, set by the environment.
#ifndef VANTOR_LOG_H
#define VANTOR_LOG_H

#include <stdarg.h>

#define S5_LOG_STDERR 1
#define S5_LOG_SYSLOG 2
#define S5_LOG_FILE 4

extern void *S5LogDefaultHandle;
extern int S5LogShowThreadIDS;

void S5LogStart(void **handlePtr, int how, int level, const char *name);
void S5LogUpdate(void *handle, int level, int msgID, const char *format, ...)
    __attribute__((format(printf, 4, 5)));
void S5LogvUpdate(void *handle, int level, int msgID, const char *format, va_list ap);
void S5LogEnd(void *handle);

#endif
