// vantor-monsim: a monitoring service that serves a repeatable scenario, for tests and demos.
#include "tools/monsim/Session.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

const char kUsage[] =
    "usage: vantor-monsim [--bind ADDR] [--port N] [--port-file FILE] [--request-log FILE]\n"
    "                     [--script FILE | --connections N [--seed S]] [--fault MODE]\n"
    "Serves the monitor protocol on ADDR:N (default 127.0.0.1:5051). --port 0 picks a free\n"
    "port and writes it to --port-file. Fault modes: close-before-answer, close-inside-frame,\n"
    "oversize, split-prefix, bad-descriptors, user-version-1.1, stall, endless.\n";

struct Options {
    std::string bind = "127.0.0.1";
    int port = 5051;
    std::string portFile, requestLog, script;
    int connections = 20;
    unsigned seed = 1;
    std::string fault = "none";
};

bool ParseOptions(int argc, char **argv, Options &o)
{
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            fputs(kUsage, stdout);
            exit(0);
        }
        if (i + 1 >= argc)
            return false;
        std::string v = argv[++i];
        if (a == "--bind") o.bind = v;
        else if (a == "--port") o.port = atoi(v.c_str());
        else if (a == "--port-file") o.portFile = v;
        else if (a == "--request-log") o.requestLog = v;
        else if (a == "--script") o.script = v;
        else if (a == "--connections") o.connections = atoi(v.c_str());
        else if (a == "--seed") o.seed = static_cast<unsigned>(strtoul(v.c_str(), nullptr, 10));
        else if (a == "--fault") o.fault = v;
        else return false;
    }
    return o.port >= 0 && o.port <= 65535 && o.connections >= 0;
}

int Listen(const Options &o)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    struct sockaddr_in addr;
    memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(o.port));
    if (inet_pton(AF_INET, o.bind.c_str(), &addr.sin_addr) != 1) {
        fprintf(stderr, "vantor-monsim: bad bind address %s\n", o.bind.c_str());
        return -1;
    }
    if (bind(fd, reinterpret_cast<struct sockaddr *>(&addr), sizeof addr) < 0 || listen(fd, 16) < 0) {
        fprintf(stderr, "vantor-monsim: cannot listen on %s:%d: %s\n", o.bind.c_str(), o.port, strerror(errno));
        return -1;
    }
    return fd;
}

void WritePortFile(const std::string &path, int listenFd)
{
    struct sockaddr_in addr;
    socklen_t len = sizeof addr;
    getsockname(listenFd, reinterpret_cast<struct sockaddr *>(&addr), &len);
    std::string tmp = path + ".tmp";
    FILE *f = fopen(tmp.c_str(), "w");
    if (f) {
        fprintf(f, "%d\n", ntohs(addr.sin_port));
        fclose(f);
        rename(tmp.c_str(), path.c_str());  // readers never see a half-written number
    }
}

} // namespace

int main(int argc, char **argv)
{
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        fputs(kUsage, stderr);
        return 2;
    }
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
        sim.scenario.generate(o.connections, o.seed);
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
    for (;;) {
        int fd = accept(listenFd, nullptr, nullptr);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            perror("vantor-monsim: accept");
            return 1;
        }
        std::thread(ServeClient, std::ref(sim), fd).detach();
    }
}
