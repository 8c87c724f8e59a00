// vantor-mon: prints what a SOCKS5 server's monitoring service reports, once or repeatedly.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "tools/common/CommandLine.h"
#include "tools/mon/MonOptions.h"
#include "tools/mon/TextTable.h"
#include "lib/monAPI.h"
#include "lib/monUnixTcp.h"

namespace {

enum class Fetched { Ok, Failed, TooMany };

// One pass of the chosen request. A pass longer than a desktop can hold is given up: the
// rows are printed only once the pass is complete, so they would all stay in memory.
Fetched fetch(S5MonHandle h, const MonOptions& opt, Style style, Row* columns,
              std::vector<Row>* rows)
{
    switch (opt.what) {
    // Records come one at a time until the library says the list is over (0) or failed (-1).
    case MonOptions::What::Conns: {
        *columns = connColumns(style);
        S5MonData d;
        int r;
        while ((r = S5MonRecvNextData(h, 0, &d)) == 1) {
            if (rows->size() >= MON_LIST_RECORDS_MAX)
                return Fetched::TooMany;
            rows->push_back(connRow(d, style));
        }
        return r == 0 ? Fetched::Ok : Fetched::Failed;
    }
    case MonOptions::What::Users: {
        *columns = userColumns(style);
        S5MonUser_t u;
        int r;
        while ((r = S5MonGetNextUser(h, &u)) == 1) {
            if (rows->size() >= MON_LIST_RECORDS_MAX)
                return Fetched::TooMany;
            rows->push_back(userRow(u, style));
        }
        return r == 0 ? Fetched::Ok : Fetched::Failed;
    }
    // The totals are one record, asked for in one request.
    case MonOptions::What::Totals: {
        *columns = totColumns(style);
        S5MonTot_t t;
        if (S5MonGetTot(h, &t) != 0)
            return Fetched::Failed;
        rows->push_back(totRow(t, style));
        return Fetched::Ok;
    }
    }
    return Fetched::Failed;
}

// Why the library gave up, in the words an operator needs, from the errno it left.
std::string failureReason(int err)
{
    switch (err) {
    case ECONNREFUSED:
        return "connection refused (is a monitoring service listening on that port?)";
    case ETIMEDOUT:
        return "timed out waiting for the server";
    // The library's own code for a name it could not resolve.
    case ESRCH:
        return "the host name cannot be resolved";
    case ECONNRESET:
    case EPIPE:
        return "the server closed the connection";
    case EMSGSIZE:
    case EPROTO:
    case EBADMSG:
    // Answers that are too long, malformed or of another protocol: most likely the port belongs to
    // some other service.
    case EINVAL:
        return "the server does not answer as a monitoring service";
    // The library gave up without leaving an errno.
    case 0:
        return "the server's answer could not be read";
    default:
        return std::strerror(err);
    }
}

// A table pass under --watch starts with the local time it was read.
void printTimeStamp()
{
    char text[64];
    time_t now = time(nullptr);
    struct tm tm;
    localtime_r(&now, &tm);
    strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    std::printf("== %s ==\n", text);
}

void print(const MonOptions& opt, Style style, const Row& columns, const std::vector<Row>& rows,
           bool first)
{
    if (style == Style::Csv) {
        if (first)
            printCsvRow(stdout, columns); // one header for the whole run
        for (const Row& row : rows)
            printCsvRow(stdout, row);
    } else {
        // Passes are set apart by an empty line so a reader of a watch log sees where one ends.
        if (!first)
            std::fputc('\n', stdout);
        if (opt.watchSeconds > 0)
            printTimeStamp();
        // The totals are one long record, easier to read as name and value per line.
        if (opt.what == MonOptions::What::Totals)
            printVertical(stdout, columns, rows.front());
        else
            printTable(stdout, columns, rows);
    }
    // Flushed at once, so a pipe or a log file sees each pass as it happens.
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    MonOptions opt;
    std::string error;
    bool parsed = parseMonOptions(std::vector<std::string>(argv + 1, argv + argc), &opt, &error);
    int answered = answerStandardOptions({"vantor-mon", monUsage(), VANTOR_VERSION}, parsed, error,
                                         opt.help, opt.version);
    // --help, --version or bad usage has been answered.
    if (answered >= 0)
        return answered;
    Mon_TcpSetTimeout(opt.timeoutSeconds * 1000);
    S5MonHandle h = nullptr;
    // Cleared first so that a failure leaving errno untouched is not blamed on an older error.
    errno = 0;
    if (S5MonNetOpen(opt.server.c_str(), MON_CLIENT_NETWORK, &h) != 0) {
        int err = errno;
        std::fprintf(stderr, "vantor-mon: cannot connect to %s: %s\n", opt.server.c_str(),
                     failureReason(err).c_str());
        return 1;
    }
    Style style = opt.csv ? Style::Csv : Style::Table;
    int status = 0;
    // One connection serves all passes: reconnecting for each would cost a handshake a pass and
    // count against the server's limit on new monitor connections.
    for (int pass = 0; opt.count == 0 || pass < opt.count; ++pass) {
        if (pass > 0)
            sleep(unsigned(opt.watchSeconds));
        Row columns;
        std::vector<Row> rows;
        errno = 0;
        Fetched fetched = fetch(h, opt, style, &columns, &rows);
        if (fetched != Fetched::Ok) {
            int err = errno;
            if (fetched == Fetched::TooMany)
                std::fprintf(stderr, "vantor-mon: %s sent more than %d records in one pass\n",
                             opt.server.c_str(), int(MON_LIST_RECORDS_MAX));
            else
                std::fprintf(stderr, "vantor-mon: reading from %s failed: %s\n", opt.server.c_str(),
                             failureReason(err).c_str());
            // A failed pass ends the watch with status 1, so a script notices; the connection is
            // in an unknown state after it.
            status = 1;
            break;
        }
        print(opt, style, columns, rows, pass == 0);
        if (opt.watchSeconds == 0)
            break;
    }
    S5MonClose(h);
    return status;
}
