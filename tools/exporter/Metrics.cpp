// Writing the exposition that Prometheus scrapes: one family per metric, a series per
// server and label set, label values escaped.
#include "tools/exporter/Metrics.h"

#include <inttypes.h>
#include <stdio.h>
#include <time.h>

#include <functional>

namespace {

// A sample's labels after server="...": empty or ",name=\"value\"".
std::string Label(const char* name, const std::string& value)
{
    return std::string(",") + name + "=\"" + EscapeLabelValue(value) + "\"";
}

// One line of the text format: name{server="...",more labels} value. Every sample carries the
// server label, so one scrape can hold any number of servers apart.
void Sample(std::string* out, const char* metric, const ServerSnapshot& server,
            const std::string& labels, const std::string& value)
{
    *out += metric;
    *out += "{server=\"" + EscapeLabelValue(server.name) + "\"" + labels + "} " + value + "\n";
}

std::string Whole(uint64_t n)
{
    char text[24];
    snprintf(text, sizeof text, "%" PRIu64, n);
    return text;
}

// Microseconds are as fine as a poll's timing means anything.
std::string Real(double x)
{
    char text[40];
    snprintf(text, sizeof text, "%.6f", x);
    return text;
}

// One family: its header, then the samples that each server gives through emit.
struct Family {
    const char* name;
    const char* type;
    const char* help;
    std::function<void(std::string*, const char*, const ServerSnapshot&)> emit;
};

// A family drawn from the tallies by service or by user.
Family TallyFamily(const char* name, const char* type, const char* help, bool byUser,
                   uint64_t Tally::*field)
{
    return {name, type, help,
            [byUser, field](std::string* out, const char* metric, const ServerSnapshot& s) {
                for (const auto& [label, tally] : byUser ? s.byUser : s.byService)
                    Sample(out, metric, s, Label(byUser ? "user" : "service", label),
                           Whole(tally.*field));
            }};
}

// A family of the server's own totals, given while the server is up.
Family TotalsFamily(const char* name, const char* help,
                    std::vector<std::pair<const char*, S5Count S5MonTot_t::*>> states)
{
    return {name, "gauge", help,
            [states](std::string* out, const char* metric, const ServerSnapshot& s) {
                // A server that did not answer has no totals; leaving the samples out, rather than
                // writing zeros, keeps a graph from dropping to zero when only the poll failed.
                if (!s.up)
                    return;
                for (const auto& [state, field] : states)
                    Sample(out, metric, s, Label("state", state), Whole(s.totals.*field));
            }};
}

// A family of one of the server's own totals, without a state label.
Family TotalFamily(const char* name, const char* help, S5Count S5MonTot_t::*field)
{
    return {name, "gauge", help,
            [field](std::string* out, const char* metric, const ServerSnapshot& s) {
                if (s.up)
                    Sample(out, metric, s, "", Whole(s.totals.*field));
            }};
}

// The families in the order they are written. Gauges are what the server lists now; counters only
// grow while the exporter runs, so Prometheus's rate() works on them across the servers' own list
// clearing.
const std::vector<Family>& Families()
{
    static const std::vector<Family> families = {
        {"vantor_up", "gauge",
         "1 when the last poll of the server's monitoring service succeeded, else 0.",
         [](std::string* out, const char* metric, const ServerSnapshot& s) {
             Sample(out, metric, s, "", s.up ? "1" : "0");
         }},
        {"vantor_poll_duration_seconds", "gauge",
         "How long the last poll of the server took, successful or not.",
         [](std::string* out, const char* metric, const ServerSnapshot& s) {
             if (s.polled)
                 Sample(out, metric, s, "", Real(s.pollDurationSeconds));
         }},
        {"vantor_last_poll_timestamp_seconds", "gauge",
         "When the last successful poll of the server ended, in seconds since the Epoch.",
         [](std::string* out, const char* metric, const ServerSnapshot& s) {
             if (s.lastPollSeconds > 0)
                 Sample(out, metric, s, "", Real(s.lastPollSeconds));
         }},
        TallyFamily("vantor_connections", "gauge",
                    "Connections open now, by the service of their destination port.", false,
                    &Tally::open),
        TallyFamily("vantor_listed_failed_connections", "gauge",
                    "Failed connections the server lists now, by service.", false, &Tally::failed),
        TallyFamily("vantor_failed_connections_total", "counter",
                    "Connections seen to fail, by service.", false, &Tally::failedTotal),
        TallyFamily("vantor_in_bytes_total", "counter",
                    "Bytes from destinations to clients, by service; each connection's once.",
                    false, &Tally::inBytes),
        TallyFamily("vantor_out_bytes_total", "counter",
                    "Bytes from clients to destinations, by service; each connection's once.",
                    false, &Tally::outBytes),
        // The same tallies by user. Users past the cap are summed under one label, so a server with
        // thousands of users cannot make the scrape grow without bound.
        TallyFamily("vantor_user_connections", "gauge",
                    "Connections open now, by user (past the user cap under user=\"other\").", true,
                    &Tally::open),
        TallyFamily("vantor_user_listed_failed_connections", "gauge",
                    "Failed connections the server lists now, by user.", true, &Tally::failed),
        TallyFamily("vantor_user_failed_connections_total", "counter",
                    "Connections seen to fail, by user.", true, &Tally::failedTotal),
        TallyFamily("vantor_user_in_bytes_total", "counter",
                    "Bytes from destinations to clients, by user; each connection's once.", true,
                    &Tally::inBytes),
        TallyFamily("vantor_user_out_bytes_total", "counter",
                    "Bytes from clients to destinations, by user; each connection's once.", true,
                    &Tally::outBytes),
        // The server's own counts, as it sends them: 32 bits wide, so they may wrap on a busy
        // server; the tallies above are the exporter's own, 64 bits wide.
        TotalsFamily("vantor_server_users",
                     "Users as the server's totals count them (32-bit, as the server sends).",
                     {{"current", &S5MonTot_t::curUsers},
                      {"failed", &S5MonTot_t::errUsers},
                      {"ended", &S5MonTot_t::endUsers},
                      {"deleted", &S5MonTot_t::delUsers},
                      {"total", &S5MonTot_t::totUsers}}),
        TotalsFamily("vantor_server_connections",
                     "Connections as the server's totals count them (32-bit, as the server "
                     "sends).",
                     {{"current", &S5MonTot_t::curConns},
                      {"failed", &S5MonTot_t::errConns},
                      {"ended", &S5MonTot_t::endConns},
                      {"deleted", &S5MonTot_t::delConns},
                      {"total", &S5MonTot_t::totConns}}),
        TotalFamily("vantor_server_in_bytes",
                    "The server's own total of bytes in, a 32-bit count that may wrap.",
                    &S5MonTot_t::inTotBytes),
        TotalFamily("vantor_server_out_bytes",
                    "The server's own total of bytes out, a 32-bit count that may wrap.",
                    &S5MonTot_t::outTotBytes),
        {"vantor_server_start_time_seconds", "gauge",
         "When the server's monitoring service started, in seconds since the Epoch.",
         [](std::string* out, const char* metric, const ServerSnapshot& s) {
             if (s.up)
                 Sample(out, metric, s, "", Whole(uint64_t(int64_t(s.totals.startTime))));
         }},
    };
    return families;
}

// Names come from the command line and errors from the network; neither may inject markup.
std::string HtmlEscaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// An empty text if the time cannot be converted.
std::string LocalTime(double seconds)
{
    time_t t = static_cast<time_t>(seconds);
    struct tm tm;
    char text[32] = "";
    if (localtime_r(&t, &tm))
        strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

} // namespace

// The three escapes the text format defines for label values: backslash, quote and newline.
std::string EscapeLabelValue(const std::string& value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string RenderMetrics(const Snapshots& servers)
{
    std::string out;
    // A guess at the size, so a typical scrape is built without reallocating.
    out.reserve(4096 + servers.size() * 8192);
    for (const Family& family : Families()) {
        out += std::string("# HELP ") + family.name + " " + family.help + "\n";
        out += std::string("# TYPE ") + family.name + " " + family.type + "\n";
        for (const auto& server : servers)
            family.emit(&out, family.name, *server);
    }
    return out;
}

// The page a person sees at "/": each server's state at a glance, and a link to the metrics.
std::string RenderIndexPage(const Snapshots& servers)
{
    std::string page =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>vantor-exporter</title>"
        "</head>\n<body><h1>vantor-exporter</h1>\n<p><a href=\"/metrics\">Metrics</a></p>\n"
        "<table border=\"1\"><tr><th>Server</th><th>Address</th><th>State</th>"
        "<th>Last successful poll</th></tr>\n";
    for (const auto& s : servers) {
        std::string state = s->up ? "up" : !s->polled ? "not polled yet" : "down: " + s->lastError;
        page += "<tr><td>" + HtmlEscaped(s->name) + "</td><td>" + HtmlEscaped(s->address)
            + "</td><td>" + HtmlEscaped(state) + "</td><td>"
            + (s->lastPollSeconds > 0 ? LocalTime(s->lastPollSeconds) : "never") + "</td></tr>\n";
    }
    page += "</table>\n</body></html>\n";
    return page;
}
