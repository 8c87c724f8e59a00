// log_probe MODE [ARGS]: runs one piece of the library in a fresh process so that a test
// can read what the log facility wrote under the environment it chose.
#include "lib/log.h"
#include "lib/monAPI.h"
#include "lib/monAPIP.h"
#include "lib/monUnixTcp.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <unistd.h>

// The probe stands in for the system log: what the library hands to it goes to standard
// output as "openlog IDENT OPTION FACILITY PID" and "syslog PRIORITY TEXT" lines.
extern "C" {
void openlog(const char* ident, int option, int facility)
{
    printf("openlog %s %d %d %d\n", ident, option, facility, static_cast<int>(getpid()));
}

void vsyslog(int priority, const char* format, va_list ap)
{
    printf("syslog %d ", priority);
    vprintf(format, ap);
    printf("\n");
}

void syslog(int priority, const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    vsyslog(priority, format, ap);
    va_end(ap);
}

void __syslog_chk(int priority, int, const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    vsyslog(priority, format, ap);
    va_end(ap);
}

void closelog()
{}
}

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "connect") { // log_probe connect HOST:PORT
        return Mon_TcpConnect(argv[2], MON_DEFAULT_PORT) < 0 ? 1 : 0;
    }
    if (mode == "lines") { // log_probe lines COUNT: COUNT level-1 messages of about 100 bytes
        for (int i = 0; i < atoi(argv[2]); i++)
            S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_UNCATALOGUED, "line %04d %s", i,
                        std::string(80, 'x').c_str());
        return 0;
    }
    if (mode == "level") { // log_probe level N: one message at level N
        S5LogUpdate(NULL, static_cast<S5LogLevel>(atoi(argv[2])), S5_MSG_UNCATALOGUED,
                    "message at level %d", atoi(argv[2]));
        return 0;
    }
    if (mode == "errno") { // errno survives logging, and %m shows it
        errno = EACCES;
        S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_UNCATALOGUED, "failed: %m");
        printf("errno=%d\n", errno);
        return 0;
    }
    if (mode == "long") { // a line far longer than the line buffer
        std::string big(5000, 'y');
        S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_UNCATALOGUED, "long %s end", big.c_str());
        return 0;
    }
    if (mode == "cut") { // the line limit falls inside a conversion
        std::string format = std::string(2058, 'a') + "%lu tail";
        S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_UNCATALOGUED, format.c_str(), 42UL);
        return 0;
    }
    if (mode == "missing") { // log_probe missing HOST:PORT: records the server does not have
        S5MonHandle h;
        if (S5MonNetOpen(argv[2], 0, &h) != 0)
            return 1;
        S5MonData d;
        memset(&d, 0x7f, sizeof d.key);
        S5MonUser_t u;
        memset(&u, 0, sizeof u);
        strcpy(u.userName, "nobody");
        int rc = (S5MonRecvData(h, &d) == -1 && S5MonGetUser(h, &u) == -1) ? 0 : 1;
        S5MonClose(h);
        S5MonNetOpen("127.0.0.1:1", 0, &h); // nothing listens there
        return rc;
    }
    if (mode == "restart") { // a second start of the default log announces itself
        S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_UNCATALOGUED, "first");
        S5LogStart(&S5LogDefaultHandle, -1, -1, "probe");
        return 0;
    }
    if (mode == "refusals") { // every entry point given handles it does not accept, and a
                              // user reply of a newer version
        MonHand h;
        memset(&h, 0, sizeof h);
        h.flag = 0x12345678;
        S5MonData d;
        S5MonUser_t u;
        S5MonTot_t t;
        S5MonHandle out;
        S5MonClose(&h);
        S5MonSendData(&h, &d);
        S5MonRecvData(&h, &d);
        S5MonRecvNextData(&h, 0, &d);
        S5MonGetUser(&h, &u);
        S5MonGetNextUser(&h, &u);
        S5MonGetTot(&h, &t);
        S5MonNetOpen("127.0.0.1", 1, &out);
        S5MonClose(NULL);              // refused without a message
        h.flag = MON_FLAG_FULL_CLIENT; // a kind this library accepts at the entry but never fills
        S5MonRecvData(&h, &d);
        char reply[MON_USER_MAX_LEN] = {8, 1, 1};
        Mon_MsgToUser(&u, reply);
        return 0;
    }
    fprintf(stderr, "log_probe: unknown mode %s\n", mode.c_str());
    return 2;
}
