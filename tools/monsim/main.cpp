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
    "Serves the monitor protocol on ADDR:N (default 127.0.0.1:5051; ADDR may be an IPv6\n"
    "address such as ::1). --port 0 picks a free port and writes it to --port-file, or to\n"
    "standard output without one. Fault modes: "
    "close-before-answer, close-inside-frame,\n"
    "oversize, split-prefix, bad-descriptors, user-version-1.1, stall, endless, trickle, slow.\n";

// The address listened on, of either family.
union ListenAddress {
    sockaddr sa;
    sockaddr_in sin;
    sockaddr_in6 sin6;
};

struct Options {
    std::string bind = "127.0.0.1";
    int port = 5051;
    std::string portFile, requestLog, script;
    // Generated connections per pass; a script, when given, replaces them.
    int connections = 20;
    int seed = 1;
    // A way of misbehaving on purpose, to test how clients cope (see the usage text).
    std::string fault = "none";
    bool help = false;
    bool version = false;
};

// A numeric IPv6 address, or an IPv4 one as the tools take it; false for anything else.
bool MakeListenAddress(const std::string& bind, int port, ListenAddress* address)
{
    memset(address, 0, sizeof *address);
    if (inet_pton(AF_INET6, bind.c_str(), &address->sin6.sin6_addr) == 1) {
        address->sin6.sin6_family = AF_INET6;
        address->sin6.sin6_port = htons(static_cast<uint16_t>(port));
        return true;
    }
    address->sin.sin_family = AF_INET;
    address->sin.sin_port = htons(static_cast<uint16_t>(port));
    // A colon that did not make an IPv6 address is refused, rather than read as host:port.
    return bind.find(':') == std::string::npos && parseHostPort(bind, &address->sin);
}

// bind() wants the length of the family actually used.
socklen_t AddressLength(const ListenAddress& address)
{
    return address.sa.sa_family == AF_INET6 ? sizeof address.sin6 : sizeof address.sin;
}

// Every option but --help and --version takes a value; bad values are refused with what was
// expected, before anything is opened or listened on.
bool ParseOptions(int argc, char** argv, Options& o, std::string& error)
{
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
        bool ok = true;
        const char* expected = "a whole number";
        if (a == "--bind") {
            ListenAddress checked;
            o.bind = v;
            ok = MakeListenAddress(v, 0, &checked);
            expected = "a numeric address such as 127.0.0.1 or ::1";
        } else if (a == "--port") {
            ok = parseWholeNumber(v, 0, 65535, &o.port);
            expected = "a whole number from 0 to 65535";
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

int Listen(const Options& o)
{
    ListenAddress address;
    MakeListenAddress(o.bind, o.port, &address); // checked with the options
    // SO_REUSEADDR lets a test restart the simulator on the same port at once, without waiting out
    // TIME_WAIT from the last run.
    int fd = socket(address.sa.sa_family, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (bind(fd, &address.sa, AddressLength(address)) < 0 || listen(fd, 16) < 0) {
        bool ipv6 = address.sa.sa_family == AF_INET6;
        fprintf(stderr, "vantor-monsim: cannot listen on %s%s%s:%d: %s\n", ipv6 ? "[" : "",
                o.bind.c_str(), ipv6 ? "]" : "", o.port, strerror(errno));
        return -1;
    }
    return fd;
}

// The port the kernel chose when asked for port 0.
int ListeningPort(int listenFd)
{
    ListenAddress address;
    socklen_t len = sizeof address;
    getsockname(listenFd, &address.sa, &len);
    return ntohs(address.sa.sa_family == AF_INET6 ? address.sin6.sin6_port : address.sin.sin_port);
}

void PrintPort(int listenFd)
{
    printf("%d\n", ListeningPort(listenFd));
    fflush(stdout);
}

void WritePortFile(const std::string& path, int listenFd)
{
    std::string tmp = path + ".tmp";
    FILE* f = fopen(tmp.c_str(), "w");
    if (f) {
        fprintf(f, "%d\n", ListeningPort(listenFd));
        fclose(f);
        rename(tmp.c_str(), path.c_str()); // readers never see a half-written number
    }
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    std::string error;
    bool parsed = ParseOptions(argc, argv, o, error);
    int answered = answerStandardOptions({"vantor-monsim", kUsage, VANTOR_VERSION}, parsed, error,
                                         o.help, o.version);
    if (answered >= 0)
        return answered;
    // Static: the detached client threads use it until the process ends, after main's frame.
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
    // The log is appended to, so several runs against one file keep every request.
    if (!o.requestLog.empty() && (sim.requestLog = fopen(o.requestLog.c_str(), "a")) == nullptr) {
        fprintf(stderr, "vantor-monsim: cannot write %s\n", o.requestLog.c_str());
        return 2;
    }
    // A client that hangs up mid-answer must end its thread's write with EPIPE, not the process.
    signal(SIGPIPE, SIG_IGN);
    int listenFd = Listen(o);
    if (listenFd < 0)
        return 1;
    if (!o.portFile.empty())
        WritePortFile(o.portFile, listenFd);
    else if (o.port == 0)
        PrintPort(listenFd); // a free port nobody could learn otherwise
    for (;;) {
        int fd = accept(listenFd, nullptr, nullptr);
        if (fd < 0) {
            // A client gone before it was accepted is no reason to stop serving the others.
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            perror("vantor-monsim: accept");
            return 1;
        }
        SendAtOnce(fd);
        // One thread per client, so a stalled client (or a stall fault) cannot hold up the others.
        std::thread(ServeClient, std::ref(sim), fd).detach();
    }
}
