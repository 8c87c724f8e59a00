// vantor-monsim: a monitoring service that serves a repeatable scenario, for tests and demos.
#include "tools/monsim/Session.h"

#include <arpa/inet.h>
#include <errno.h>
#include <limits.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "tools/common/CommandLine.h"
#include "tools/common/SendAtOnce.h"

namespace {

const char kUsage[] =
    "usage: vantor-monsim [--bind ADDR] [--port N] [--port-file FILE] [--request-log FILE]\n"
    "                     [--script FILE | --connections N [--seed S]] [--fault MODE]\n"
    "                     [--help] [--version]\n"
    "Serves the monitor protocol on ADDR:N (default 127.0.0.1:5051). --port 0 picks a free\n"
    "port and writes it to --port-file, or to standard output without one. Fault modes: "
    "close-before-answer, close-inside-frame,\n"
    "oversize, split-prefix, bad-descriptors, user-version-1.1, stall, endless, trickle, slow.\n";

struct Options {
    sockaddr_in address{}; // --bind and --port
    std::string portFile, requestLog, script;
    int connections = 20;
    int seed = 1;
    std::string fault = "none";
    bool help = false;
    bool version = false;
};

bool ParseOptions(int argc, char **argv, Options &o, std::string &error)
{
    parseHostPort("127.0.0.1:5051", &o.address);
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            o.help = true;
            continue;
        }
        if (a == "--version") {
            o.version = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = "option " + a + " needs a value";
            return false;
        }
        std::string v = argv[++i];
        int port = 0;
        bool ok = true;
        const char *expected = "a whole number";
        if (a == "--bind") {
            ok = v.find(':') == std::string::npos && parseHostPort(v, &o.address);
            expected = "a numeric IPv4 address such as 127.0.0.1";
        } else if (a == "--port") {
            ok = parseWholeNumber(v, 0, 65535, &port);
            expected = "a whole number from 0 to 65535";
            o.address.sin_port = htons(static_cast<uint16_t>(port));
        } else if (a == "--port-file")
            o.portFile = v;
        else if (a == "--request-log")
            o.requestLog = v;
        else if (a == "--script")
            o.script = v;
        else if (a == "--connections") {
            ok = parseWholeNumber(v, 0, 1000000, &o.connections);
            expected = "a whole number from 0 to 1000000";
        } else if (a == "--seed")
            ok = parseWholeNumber(v, 0, INT_MAX, &o.seed);
        else if (a == "--fault")
            o.fault = v;
        else {
            error = "unknown option " + a;
            return false;
        }
        if (!ok) {
            error = "bad value \"" + v + "\" for " + a + ": expected " + expected;
            return false;
        }
    }
    return true;
}

int Listen(const Options &o)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (bind(fd, reinterpret_cast<const struct sockaddr *>(&o.address), sizeof o.address) < 0
        || listen(fd, 16) < 0) {
        char text[INET_ADDRSTRLEN] = "";
        inet_ntop(AF_INET, &o.address.sin_addr, text, sizeof text);
        fprintf(stderr, "vantor-monsim: cannot listen on %s:%d: %s\n", text,
                ntohs(o.address.sin_port), strerror(errno));
        return -1;
    }
    return fd;
}

int ListeningPort(int listenFd)
{
    struct sockaddr_in addr;
    socklen_t len = sizeof addr;
    getsockname(listenFd, reinterpret_cast<struct sockaddr *>(&addr), &len);
    return ntohs(addr.sin_port);
}

void PrintPort(int listenFd)
{
    printf("%d\n", ListeningPort(listenFd));
    fflush(stdout);
}

void WritePortFile(const std::string &path, int listenFd)
{
    std::string tmp = path + ".tmp";
    FILE *f = fopen(tmp.c_str(), "w");
    if (f) {
        fprintf(f, "%d\n", ListeningPort(listenFd));
        fclose(f);
        rename(tmp.c_str(), path.c_str()); // readers never see a half-written number
    }
}

} // namespace

int main(int argc, char **argv)
{
    Options o;
    std::string error;
    bool parsed = ParseOptions(argc, argv, o, error);
    int answered = answerStandardOptions({"vantor-monsim", kUsage, VANTOR_VERSION}, parsed, error,
                                         o.help, o.version);
    if (answered >= 0)
        return answered;
    static Simulator sim;
    if (!ParseFault(o.fault, sim.fault)) {
        fprintf(stderr, "vantor-monsim: unknown fault mode %s\n", o.fault.c_str());
        return 2;
    }
    if (!o.script.empty()) {
        std::string error;
        if (!sim.scenario.loadScript(o.script, error)) {
            fprintf(stderr, "vantor-monsim: %s\n", error.c_str());
            return 2;
        }
    } else {
        sim.scenario.generate(o.connections, static_cast<unsigned>(o.seed));
    }
    if (!o.requestLog.empty() && (sim.requestLog = fopen(o.requestLog.c_str(), "a")) == nullptr) {
        fprintf(stderr, "vantor-monsim: cannot write %s\n", o.requestLog.c_str());
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);
    int listenFd = Listen(o);
    if (listenFd < 0)
        return 1;
    if (!o.portFile.empty())
        WritePortFile(o.portFile, listenFd);
    else if (o.address.sin_port == 0)
        PrintPort(listenFd); // a free port nobody could learn otherwise
    for (;;) {
        int fd = accept(listenFd, nullptr, nullptr);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            perror("vantor-monsim: accept");
            return 1;
        }
        SendAtOnce(fd);
        std::thread(ServeClient, std::ref(sim), fd).detach();
    }
}
