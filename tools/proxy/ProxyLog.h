// Where the running proxy says what happens: its start, each ended connection, refused
// clients and monitors, reloads. One line each, on stderr ("vantor-proxy: LINE", where a
// service manager's journal adds the time) or to syslog (facility daemon, tagged with the
// process id), as danted does.
#ifndef VANTOR_PROXY_PROXYLOG_H
#define VANTOR_PROXY_PROXYLOG_H

#include <string>

class ProxyLog {
public:
    ~ProxyLog();
    // From now on to syslog instead of stderr.
    void useSyslog();
    void info(const std::string& line);
    void warning(const std::string& line);

private:
    bool syslog_ = false;

    void write(int priority, const char* prefix, const std::string& line);
};

#endif
