// The proxy's log lines on stderr or syslog (see ProxyLog.h).
#include "tools/proxy/ProxyLog.h"

#include <syslog.h>

#include <cstdio>

ProxyLog::~ProxyLog()
{
    if (syslog_)
        closelog();
}

void ProxyLog::useSyslog()
{
    // LOG_NDELAY connects to syslog now, while the proxy still has the rights it started with,
    // rather than at the first line.
    if (!syslog_)
        openlog("vantor-proxy", LOG_PID | LOG_NDELAY, LOG_DAEMON);
    syslog_ = true;
}

void ProxyLog::info(const std::string& line)
{
    write(LOG_INFO, "", line);
}

void ProxyLog::warning(const std::string& line)
{
    write(LOG_WARNING, "warning: ", line);
}

// On stderr every line is prefixed by the program's name, as syslog does by itself.
void ProxyLog::write(int priority, const char* prefix, const std::string& line)
{
    if (syslog_)
        syslog(priority, "%s%s", prefix, line.c_str());
    else
        std::fprintf(stderr, "vantor-proxy: %s%s\n", prefix, line.c_str());
}
