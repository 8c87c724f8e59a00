// bench-libs: vantor_tools_testsupport
// Relay throughput: the same 64 MiB HTTP download straight over loopback and through
// vantor-proxy, in one run, and through danted and microsocks where they are installed; the
// ratio of each proxy's rate to the direct one is printed at the end, and every proxy's CPU
// time per GiB relayed is a counter. vantor-proxy also with ten request rules, for the
// download and for short requests, where the rules' cost per request would show. And what
// an idle relayed connection costs vantor-proxy once its buffers and pipes have drained:
// memory and descriptors.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/MonsimProcess.h"
#include "tests/tools/ProxyProcess.h"
#include "tests/tools/SocksClient.h"
#include "tests/tools/TestHttpServer.h"

namespace {

const size_t BODY = 64u << 20;
const std::string REQUEST = "GET /file HTTP/1.0\r\n\r\n";

TestHttpServer& server()
{
    static TestHttpServer http(patternBody(BODY));
    return http;
}

ProxyProcess& proxy()
{
    static ProxyProcess p;
    return p;
}

// Nine block rules that match no request here, then a pass: every request is checked
// against all ten.
std::vector<std::string> tenRules()
{
    std::vector<std::string> args;
    for (int i = 1; i <= 9; ++i)
        args.insert(args.end(), {"--rule", "block to 192.0.2." + std::to_string(i)});
    args.insert(args.end(), {"--rule", "pass"});
    return args;
}

ProxyProcess& proxyWithRules()
{
    static ProxyProcess p(tenRules());
    return p;
}

// For requests whose answer is small, so that the cost of each request shows.
TestHttpServer& smallServer()
{
    static TestHttpServer http(patternBody(1024));
    return http;
}

// Another SOCKS5 server, started in a process group of its own so that all the processes
// it forks are stopped with it.
class ForeignProxy {
public:
    ForeignProxy(std::vector<std::string> argv, int port) : port_(port)
    {
        pid_ = fork();
        if (pid_ == 0) {
            setpgid(0, 0);
            int null = open("/dev/null", O_WRONLY); // microsocks logs every connection
            dup2(null, 1);
            dup2(null, 2);
            std::vector<char*> args;
            for (std::string& a : argv)
                args.push_back(&a[0]);
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        for (int i = 0; i < 100 && pid_ > 0; ++i) { // up to 5 s for the port to listen
            int fd = connectLoopback(port_);
            if (fd >= 0) {
                close(fd);
                ready_ = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~ForeignProxy()
    {
        if (pid_ <= 0)
            return;
        kill(-pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    ForeignProxy(const ForeignProxy&) = delete;
    ForeignProxy& operator=(const ForeignProxy&) = delete;

    bool ready() const { return ready_; }
    int port() const { return port_; }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int port_;
    bool ready_ = false;
};

bool installed(const char* path)
{
    return access(path, X_OK) == 0;
}

ForeignProxy& danted()
{
    static int port = unusedPort();
    // No log, no authentication, loopback only; the settings before the rules.
    const char* rest = "external: 127.0.0.1\n"
                       "clientmethod: none\n"
                       "socksmethod: none\n"
                       "user.privileged: root\n"
                       "user.unprivileged: nobody\n"
                       "client pass { from: 127.0.0.0/8 to: 127.0.0.0/8 }\n"
                       "socks pass { from: 127.0.0.0/8 to: 127.0.0.0/8 }\n";
    static std::string config = MonsimProcess::writeTempFile(
        "danted.conf",
        "logoutput: /dev/null\ninternal: 127.0.0.1 port = " + std::to_string(port) + "\n" + rest);
    static ForeignProxy p({"/usr/sbin/danted", "-f", config, "-p", config + ".pid"}, port);
    return p;
}

ForeignProxy& microsocks()
{
    static int port = unusedPort();
    static ForeignProxy p({"/usr/bin/microsocks", "-i", "127.0.0.1", "-p", std::to_string(port)},
                          port);
    return p;
}

// Fields of /proc/<pid>/stat after the command name, which may hold spaces.
std::vector<std::string> statFields(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(in, line);
    std::vector<std::string> fields;
    size_t close = line.rfind(')');
    if (close == std::string::npos)
        return fields;
    std::istringstream rest(line.substr(close + 2));
    for (std::string f; rest >> f;)
        fields.push_back(f);
    return fields; // [0] is the state, so field N of proc(5) is at N - 3
}

// A process and everything it forked that is still running.
std::vector<pid_t> processTree(pid_t root)
{
    std::map<pid_t, pid_t> parentOf;
    if (DIR* proc = opendir("/proc")) {
        while (dirent* e = readdir(proc)) {
            pid_t pid = std::atoi(e->d_name);
            std::vector<std::string> f = pid > 0 ? statFields(pid) : std::vector<std::string>{};
            if (f.size() > 1)
                parentOf[pid] = std::atoi(f[1].c_str());
        }
        closedir(proc);
    }
    std::vector<pid_t> tree;
    for (const auto& p : parentOf) {
        bool inTree = false;
        for (pid_t up = p.first; up > 1 && !inTree; up = parentOf.count(up) ? parentOf[up] : 0)
            inTree = up == root;
        if (inTree)
            tree.push_back(p.first);
    }
    return tree;
}

// CPU seconds used by a process and everything it forked: the live descendants' own time,
// and through cutime and cstime that of those already gone.
double cpuSecondsOfTree(pid_t root)
{
    long ticks = 0;
    for (pid_t pid : processTree(root)) {
        std::vector<std::string> f = statFields(pid);
        if (f.size() > 14)
            ticks += std::atol(f[11].c_str()) + std::atol(f[12].c_str());
        if (pid == root && f.size() > 14)
            ticks += std::atol(f[13].c_str()) + std::atol(f[14].c_str());
    }
    return double(ticks) / double(sysconf(_SC_CLK_TCK));
}

// With VANTOR_BENCH_PROXY_CPU=N, every thread of the SOCKS server's processes runs on
// processor N only: run the benchmark itself on the others (taskset), and the proxies are
// measured as on a machine where they have a core of their own, beside a direct download
// whose two ends have the same processors as when proxied.
void pinProxy(pid_t root)
{
    const char* cpu = std::getenv("VANTOR_BENCH_PROXY_CPU");
    if (!cpu || !*cpu)
        return;
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(std::atoi(cpu), &set);
    for (pid_t pid : processTree(root))
        if (DIR* tasks = opendir(("/proc/" + std::to_string(pid) + "/task").c_str())) {
            while (dirent* e = readdir(tasks))
                if (pid_t tid = std::atoi(e->d_name))
                    sched_setaffinity(tid, sizeof set, &set);
            closedir(tasks);
        }
}

// Reads the whole answer, counting bytes only: the benchmark measures the transfer.
size_t drain(int fd)
{
    static char buf[1 << 17];
    size_t total = 0;
    ssize_t n;
    while ((n = recv(fd, buf, sizeof buf, 0)) > 0)
        total += size_t(n);
    return total;
}

// The download, repeated; through the SOCKS server on socksPort unless it is 0, whose
// processes' CPU time per GiB is then a counter.
void transfer(benchmark::State& state, int socksPort, pid_t socksPid)
{
    int port = server().port();
    if (socksPort)
        pinProxy(socksPid);
    double cpuBefore = socksPort ? cpuSecondsOfTree(socksPid) : 0;
    for (auto _ : state) {
        int reply = 0;
        int fd = socksPort ? socksOpen(socksPort, port, 1, &reply) : connectLoopback(port);
        if (fd < 0 || reply != 0 || !sendAll(fd, REQUEST)) {
            state.SkipWithError("connection failed");
            break;
        }
        size_t got = drain(fd);
        close(fd);
        if (got < BODY) {
            state.SkipWithError("short transfer");
            break;
        }
    }
    double bytes = double(state.iterations()) * double(BODY);
    state.SetBytesProcessed(int64_t(bytes));
    if (socksPort && bytes > 0)
        state.counters["cpu_s_per_GiB"] =
            (cpuSecondsOfTree(socksPid) - cpuBefore) / (bytes / double(1u << 30));
}

void BM_DirectLoopback(benchmark::State& state)
{
    transfer(state, 0, 0);
}
BENCHMARK(BM_DirectLoopback)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_ThroughProxy(benchmark::State& state)
{
    if (!proxy().started())
        state.SkipWithError("vantor-proxy did not start");
    else
        transfer(state, proxy().socksPort(), proxy().pid());
}
BENCHMARK(BM_ThroughProxy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_ThroughProxyWithRules(benchmark::State& state)
{
    if (!proxyWithRules().started())
        state.SkipWithError("vantor-proxy did not start");
    else
        transfer(state, proxyWithRules().socksPort(), proxyWithRules().pid());
}
BENCHMARK(BM_ThroughProxyWithRules)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Requests for 1 KiB through the proxy, one connection each, counted as items. A fixed
// count: each leaves two connections waiting out TIME_WAIT, and loopback has some 28,000
// ports for them.
void shortRequests(benchmark::State& state, ProxyProcess& p)
{
    if (!p.started()) {
        state.SkipWithError("vantor-proxy did not start");
        return;
    }
    for (auto _ : state) {
        int reply = 0;
        int fd = socksOpen(p.socksPort(), smallServer().port(), 1, &reply);
        if (fd < 0 || reply != 0 || !sendAll(fd, REQUEST)) {
            state.SkipWithError("connection failed");
            break;
        }
        size_t got = drain(fd);
        close(fd);
        if (got < smallServer().body().size()) {
            state.SkipWithError("short transfer");
            break;
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_ShortRequestsThroughProxy(benchmark::State& state)
{
    shortRequests(state, proxy());
}
BENCHMARK(BM_ShortRequestsThroughProxy)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Iterations(3000);

void BM_ShortRequestsThroughProxyWithRules(benchmark::State& state)
{
    shortRequests(state, proxyWithRules());
}
BENCHMARK(BM_ShortRequestsThroughProxyWithRules)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Iterations(3000);

void BM_ThroughDanted(benchmark::State& state)
{
    if (!installed("/usr/sbin/danted"))
        state.SkipWithError("danted is not installed");
    else if (!danted().ready())
        state.SkipWithError("danted did not start");
    else
        transfer(state, danted().port(), danted().pid());
}
BENCHMARK(BM_ThroughDanted)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_ThroughMicrosocks(benchmark::State& state)
{
    if (!installed("/usr/bin/microsocks"))
        state.SkipWithError("microsocks is not installed");
    else if (!microsocks().ready())
        state.SkipWithError("microsocks did not start");
    else
        transfer(state, microsocks().port(), microsocks().pid());
}
BENCHMARK(BM_ThroughMicrosocks)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The proxy's resident memory in KiB, from /proc.
long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, 6, "VmRSS:") == 0)
            return std::stol(line.substr(6));
    return -1;
}

// Connections through the proxy to a local server that sends each 16 KiB and then keeps
// it open; the client reads them, so every relay buffer or pipe has been used and drained.
// Counted once the proxy has let go of what idle connections do not need (a few seconds at
// most): two sockets per connection are all it should keep.
void BM_IdleRelayedConnections(benchmark::State& state)
{
    const int count = int(state.range(0));
    const size_t greeting = 16 * 1024;
    ProxyProcess idleProxy;
    int port = 0;
    int listener = listenLoopback(count, &port);
    if (!idleProxy.started() || listener < 0) {
        state.SkipWithError("no proxy or no listener");
        return;
    }
    std::vector<int> served, clients;
    std::thread acceptor([&] {
        const std::string bytes(greeting, 'x');
        for (int i = 0; i < count; i++) {
            int fd = accept(listener, nullptr, nullptr);
            if (fd < 0)
                break;
            sendAll(fd, bytes);
            served.push_back(fd);
        }
    });
    long before = residentKiB(idleProxy.pid());
    long fdsBefore = long(idleProxy.descriptors().size());
    for (auto _ : state) {
        for (int i = 0; i < count; i++) {
            int reply = -1;
            int fd = socksOpen(idleProxy.socksPort(), port, 1, &reply);
            if (fd < 0 || reply != 0) {
                state.SkipWithError("connection failed");
                break;
            }
            static char buf[1 << 14];
            size_t got = 0;
            ssize_t n;
            while (got < greeting && (n = recv(fd, buf, sizeof buf, 0)) > 0)
                got += size_t(n);
            clients.push_back(fd);
        }
    }
    acceptor.join();
    const long sockets = fdsBefore + 2L * long(clients.size());
    for (int i = 0; i < 50 && long(idleProxy.descriptors().size()) > sockets; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    long after = residentKiB(idleProxy.pid());
    state.counters["KiB_per_connection"] = double(after - before) / count;
    state.counters["fds_per_connection"] =
        double(long(idleProxy.descriptors().size()) - fdsBefore) / count;
    for (int fd : clients)
        close(fd);
    for (int fd : served)
        close(fd);
    close(listener);
}
BENCHMARK(BM_IdleRelayedConnections)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Keeps the rate of each benchmark (the median when repeated) so that the ratios can be
// printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> rates;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            auto it = run.counters.find("bytes_per_second");
            if (it == run.counters.end())
                it = run.counters.find("items_per_second");
            bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (it != run.counters.end() && !run.error_occurred
                && (single || run.aggregate_name == "median"))
                rates[run.run_name.function_name] = it->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double direct = reporter.rates["BM_DirectLoopback"];
    for (const char* name : {"BM_ThroughProxy", "BM_ThroughDanted", "BM_ThroughMicrosocks"}) {
        double proxied = reporter.rates[name];
        if (direct > 0 && proxied > 0)
            std::printf("%s / direct: %.3f\n", name, proxied / direct);
    }
    // What ten rules cost: their rate against the same proxy's without rules.
    for (const auto& pair : {std::make_pair("BM_ThroughProxyWithRules", "BM_ThroughProxy"),
                             std::make_pair("BM_ShortRequestsThroughProxyWithRules",
                                            "BM_ShortRequestsThroughProxy")}) {
        double with = reporter.rates[pair.first], without = reporter.rates[pair.second];
        if (with > 0 && without > 0)
            std::printf("%s / %s: %.3f\n", pair.first, pair.second, with / without);
    }
    return 0;
}
