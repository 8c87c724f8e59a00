// The columns vantor-mon prints for connections, users and totals, and how each field of a
// record becomes text: the human form for the table, the machine form (plain numbers,
// seconds since the Epoch) for CSV.
#include "tools/mon/RecordFormat.h"

#include "tools/common/TerminalText.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {
// The address family of an address carried as a host name rather than as numbers.
const uint16_t NAMED_FAMILY = 255;

std::string num(unsigned long long v)
{
    return std::to_string(v);
}

// Local time, as the operator reads the clock on the wall. 0 means "not yet" (a connection that has
// not ended) and shows as an empty cell.
std::string clockText(S5Time t)
{
    if (t == 0)
        return "";
    time_t tt = t;
    struct tm tm;
    char buf[32];
    localtime_r(&tt, &tm);
    strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

// Hours are not wrapped into days: a long connection reads "50:00:00". A negative span (clocks out
// of step) shows as zero.
std::string durationText(long seconds)
{
    if (seconds < 0)
        seconds = 0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return buf;
}

// CSV keeps seconds since the Epoch, which a spreadsheet or script can compute with.
std::string timeField(S5Time t, Style style)
{
    return style == Style::Csv ? std::to_string(t) : clockText(t);
}
} // namespace

std::string netAddrText(const S5NetAddr& a)
{
    // Servers differ in whether they send the family in host or network byte order; both are taken.
    uint16_t family = a.sa.sa_family;
    if (family == AF_INET || family == htons(AF_INET)) {
        char ip[INET_ADDRSTRLEN] = "";
        inet_ntop(AF_INET, &a.sin.sin_addr, ip, sizeof ip);
        return std::string(ip) + ":" + std::to_string(ntohs(a.sin.sin_port));
    }
    if (family == AF_INET6 || family == htons(AF_INET6)) {
        char ip[INET6_ADDRSTRLEN] = "";
        inet_ntop(AF_INET6, &a.sin6.sin6_addr, ip, sizeof ip);
        return "[" + std::string(ip) + "]:" + std::to_string(ntohs(a.sin6.sin6_port));
    }
    // A name from the wire is cleaned of control characters before it reaches the terminal.
    if (family == NAMED_FAMILY || family == htons(NAMED_FAMILY))
        return terminalText(a.sn.sn_name, sizeof a.sn.sn_name) + ":"
            + std::to_string(ntohs(a.sn.sn_port));
    // An unset or unknown address leaves the cell empty rather than printing garbage.
    return "";
}

// Bit 8 of the state marks an ended connection; bit 4, with it, one that failed.
const char* statusText(uint32_t state)
{
    if (state & 8)
        return (state & 4) ? "failed" : "ended";
    return "active";
}

// CSV carries every field, for scripts; the table keeps the twelve an operator reads at a glance.
Row connColumns(Style style)
{
    if (style == Style::Csv)
        return {"key",         "state", "status",  "start",   "cur",       "end",  "source",
                "destination", "proxy", "srchost", "dsthost", "proxyhost", "user", "service",
                "authen",      "cmd",   "in",      "out",     "socks_err", "error"};
    return {"KEY",  "STATUS", "START",   "DURATION", "SOURCE", "DESTINATION",
            "HOST", "USER",   "SERVICE", "IN",       "OUT",    "ERROR"};
}

Row connRow(const S5MonData& d, Style style)
{
    char key[64];
    MonKeyStr(d.key, key);
    if (style == Style::Csv)
        return {key,
                num(d.state),
                statusText(d.state),
                timeField(d.startTime, style),
                timeField(d.curTime, style),
                timeField(d.endTime, style),
                netAddrText(d.srcSockAddr),
                netAddrText(d.dstSockAddr),
                netAddrText(d.proxySockAddr),
                terminalText(d.srcHostName, S5_NAME_LEN),
                terminalText(d.dstHostName, S5_NAME_LEN),
                terminalText(d.proxyHostName, S5_NAME_LEN),
                terminalText(d.userName, S5_NAME_LEN),
                terminalText(d.appName, S5_NAME_LEN),
                num(d.authen),
                num(d.socksCmd),
                num(d.inTotBytes),
                num(d.outTotBytes),
                num(d.socksErr),
                terminalText(d.socksErrMsg, S5_NAME_LEN)};
    // A live connection has lasted until the server's current time, an ended one until its end.
    S5Time until = (d.state & 8) ? d.endTime : d.curTime;
    std::string error;
    // The error cell stays empty for a connection without error, so failures stand out.
    if (d.socksErr != 0 || d.socksErrMsg[0] != '\0')
        error = num(d.socksErr) + " " + terminalText(d.socksErrMsg, S5_NAME_LEN);
    return {key,
            statusText(d.state),
            clockText(d.startTime),
            durationText(long(until) - d.startTime),
            netAddrText(d.srcSockAddr),
            netAddrText(d.dstSockAddr),
            terminalText(d.dstHostName, S5_NAME_LEN),
            terminalText(d.userName, S5_NAME_LEN),
            terminalText(d.appName, S5_NAME_LEN),
            num(d.inTotBytes),
            num(d.outTotBytes),
            error};
}

Row userColumns(Style style)
{
    if (style == Style::Csv)
        return {"user", "cur_conns", "err_conns", "end_conns", "tot_conns",
                "in",   "out",       "start",     "cur",       "end"};
    return {"USER", "CURRENT", "FAILED", "ENDED", "TOTAL", "IN", "OUT", "FIRST", "LAST_END"};
}

Row userRow(const S5MonUser_t& u, Style style)
{
    // The connections without a user name are one row too; a table names it "-".
    std::string user = terminalText(u.userName, S5_NAME_LEN);
    if (user.empty() && style != Style::Csv)
        user = "-";
    Row row = {user,
               num(u.curConns),
               num(u.errConns),
               num(u.endConns),
               num(u.totConns),
               num(u.inTotBytes),
               num(u.outTotBytes),
               timeField(u.startTime, style)};
    // The user's last-seen time says little to a reader of the table, so only CSV has it.
    if (style == Style::Csv)
        row.push_back(timeField(u.curTime, style));
    row.push_back(timeField(u.endTime, style));
    return row;
}

// The totals are printed one per line, name and value, so the names serve as both heading forms.
Row totColumns(Style)
{
    return {"cur_users", "err_users", "end_users", "del_users", "tot_users",
            "cur_conns", "err_conns", "end_conns", "del_conns", "tot_conns",
            "in",        "out",       "start",     "cur",       "end"};
}

Row totRow(const S5MonTot_t& t, Style style)
{
    return {num(t.curUsers),
            num(t.errUsers),
            num(t.endUsers),
            num(t.delUsers),
            num(t.totUsers),
            num(t.curConns),
            num(t.errConns),
            num(t.endConns),
            num(t.delConns),
            num(t.totConns),
            num(t.inTotBytes),
            num(t.outTotBytes),
            timeField(t.startTime, style),
            timeField(t.curTime, style),
            timeField(t.endTime, style)};
}
