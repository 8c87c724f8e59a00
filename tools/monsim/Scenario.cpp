// The records vantor-monsim serves: read from a script or generated, one list per pass.
#include "tools/monsim/Scenario.h"

#include <arpa/inet.h>
#include <fstream>
#include <map>
#include <sstream>
#include <string.h>
#include <time.h>

namespace {

// The process id the keys claim; any fixed number does, as keys only need to be unique.
const uint32_t kSimPid = 4242;
// State bits as the monitor protocol defines them: ended, and (with ended) failed.
const uint32_t kEnded = 8, kFailed = 4;

// A script's words cannot hold spaces, so "~" stands for one. Longer names are cut to fit.
void CopyName(char* field, const std::string& value)
{
    std::string text = value;
    for (char& c : text)
        if (c == '~')
            c = ' ';
    snprintf(field, S5_NAME_LEN, "%s", text.c_str());
}

// A name the simulator itself supplies, shorter than any name field.
void CopyConstantName(char* field, const char* name)
{
    memcpy(field, name, strlen(name) + 1);
}

// One "name=value" word of a "conn" line. Numbers may be decimal, hex (0x) or octal (0), as strtoul
// reads them; false for a field name that does not exist.
bool SetField(S5MonData& d, const std::string& name, const std::string& value)
{
    auto number = [&]() { return static_cast<uint32_t>(strtoul(value.c_str(), nullptr, 0)); };
    auto time = [&]() { return static_cast<S5Time>(strtol(value.c_str(), nullptr, 0)); };
    if (name == "key")
        d.key = MakeKey(number());
    else if (name == "state")
        d.state = number();
    else if (name == "start")
        d.startTime = time();
    else if (name == "cur")
        d.curTime = time();
    else if (name == "end")
        d.endTime = time();
    else if (name == "in")
        d.inTotBytes = number();
    else if (name == "out")
        d.outTotBytes = number();
    else if (name == "err")
        d.socksErr = number();
    else if (name == "authen")
        d.authen = static_cast<uint16_t>(number());
    else if (name == "cmd")
        d.socksCmd = static_cast<uint16_t>(number());
    else if (name == "src")
        d.srcSockAddr = MakeAddress(value);
    else if (name == "dst")
        d.dstSockAddr = MakeAddress(value);
    else if (name == "proxy")
        d.proxySockAddr = MakeAddress(value);
    else if (name == "srchost")
        CopyName(d.srcHostName, value);
    else if (name == "dsthost")
        CopyName(d.dstHostName, value);
    else if (name == "proxyhost")
        CopyName(d.proxyHostName, value);
    else if (name == "user")
        CopyName(d.userName, value);
    else if (name == "app")
        CopyName(d.appName, value);
    else if (name == "errmsg")
        CopyName(d.socksErrMsg, value);
    else
        return false;
    return true;
}

// A small repeatable generator (xorshift), so that runs with one seed are the same.
uint32_t Mix(uint32_t x)
{
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
}

// Services and their ports side by side; a service is picked by one index into both.
const int kPorts[] = {23, 21, 80, 79, 20, 1525, 80, 443, 8080, 25};
const char* kServices[] = {"telnet", "ftp",  "http",  "finger",   "ftp-data",
                           "archie", "http", "https", "http-alt", "smtp"};
// The empty name stands for connections made without authentication.
const char* kUsers[] = {"alice", "bob", "carol", "dave", ""};

} // namespace

// A key as a server makes it: process id, then a 32-bit and a 16-bit counter, in host byte order
// (keys are opaque to clients and only compared).
S5MonKey MakeKey(uint32_t number)
{
    S5MonKey key;
    uint32_t high = number >> 16;
    uint16_t low = static_cast<uint16_t>(number & 0xffff);
    memcpy(key.key, &kSimPid, 4);
    memcpy(key.key + 4, &high, 4);
    memcpy(key.key + 8, &low, 2);
    return key;
}

void SetInternetAddress(S5NetAddr* addr, uint32_t address, int port)
{
    memset(addr, 0, sizeof *addr);
    addr->sin.sin_family = AF_INET;
    addr->sin.sin_port = htons(static_cast<uint16_t>(port));
    addr->sin.sin_addr.s_addr = htonl(address);
}

void SetNamedAddress(S5NetAddr* addr, const char* name, int port)
{
    memset(addr, 0, sizeof *addr);
    addr->sn.sn_family = 255;
    addr->sn.sn_port = htons(static_cast<uint16_t>(port));
    snprintf(addr->sn.sn_name, sizeof addr->sn.sn_name, "%s", name);
}

void SetIPv6Address(S5NetAddr* addr, const struct in6_addr& address, int port)
{
    memset(addr, 0, sizeof *addr);
    addr->sin6.sin6_family = AF_INET6;
    addr->sin6.sin6_port = htons(static_cast<uint16_t>(port));
    addr->sin6.sin6_addr = address;
}

// A numeric address of either family, or else a name; a missing port is 0.
S5NetAddr MakeAddress(const std::string& text)
{
    S5NetAddr addr;
    std::string host = text;
    int port = 0;
    // The port follows the last colon, or the bracket that closes an IPv6 address.
    size_t close = text[0] == '[' ? text.find(']') : std::string::npos;
    size_t colon = close != std::string::npos ? text.find(':', close) : text.rfind(':');
    if (close != std::string::npos)
        host = text.substr(1, close - 1);
    else if (colon != std::string::npos)
        host = text.substr(0, colon);
    if (colon != std::string::npos)
        port = atoi(text.c_str() + colon + 1);
    struct in_addr in;
    struct in6_addr in6;
    if (inet_pton(AF_INET, host.c_str(), &in) == 1)
        SetInternetAddress(&addr, ntohl(in.s_addr), port);
    else if (inet_pton(AF_INET6, host.c_str(), &in6) == 1)
        SetIPv6Address(&addr, in6, port);
    else
        SetNamedAddress(&addr, host.c_str(), port);
    return addr;
}

// A script is a list of passes: "pass" starts one, "conn" adds a record, "close" makes the
// simulator hang up instead of answering that pass. Blank lines and "#" comments are skipped.
bool Scenario::loadScript(const std::string& path, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = "cannot read script " + path;
        return false;
    }
    scripted_.clear();
    int lineNo = 0;
    for (std::string line; std::getline(in, line);) {
        lineNo++;
        std::istringstream words(line);
        std::string directive;
        if (!(words >> directive) || directive[0] == '#')
            continue;
        if (directive == "pass") {
            scripted_.emplace_back();
            continue;
        }
        // An empty script still serves: one empty pass.
        if (scripted_.empty()) {
            error =
                "line " + std::to_string(lineNo) + ": \"" + directive + "\" before the first pass";
            return false;
        }
        if (directive == "close") {
            scripted_.back().closeInstead = true;
        } else if (directive == "conn") {
            S5MonData d;
            memset(&d, 0, sizeof d);
            for (std::string word; words >> word;) {
                size_t eq = word.find('=');
                if (eq == std::string::npos
                    || !SetField(d, word.substr(0, eq), word.substr(eq + 1))) {
                    error = "line " + std::to_string(lineNo) + ": bad field \"" + word + "\"";
                    return false;
                }
            }
            scripted_.back().conns.push_back(d);
        } else {
            error = "line " + std::to_string(lineNo) + ": unknown directive \"" + directive + "\"";
            return false;
        }
    }
    if (scripted_.empty())
        scripted_.emplace_back();
    return true;
}

// Times count from now, so the clients' durations look real.
void Scenario::generate(int connectionCount, unsigned seed)
{
    generated_ = true;
    slots_ = connectionCount;
    seed_ = seed ? seed : 1;
    baseTime_ = static_cast<S5Time>(time(nullptr));
}

Pass Scenario::pass(int n) const
{
    Pass p;
    pass(n, p);
    return p;
}

void Scenario::pass(int n, Pass& into) const
{
    if (generated_) {
        generatedPass(n, into);
        return;
    }
    if (scripted_.empty()) {
        into = Pass(); // neither generated nor scripted: an empty list
        return;
    }
    // Passes count from 1; past the last scripted pass, the last one repeats.
    int index = n - 1;
    if (index >= static_cast<int>(scripted_.size()))
        index = static_cast<int>(scripted_.size()) - 1;
    into = scripted_[index < 0 ? 0 : index];
}

// Each slot lives for a few passes, ends (listed as ended for one more pass) and is
// replaced by a new connection with a new key. Some slots hold failed connections.
// Records are made in place and addresses from numbers: a pass of 100,000 is made per poll.
void Scenario::generatedPass(int n, Pass& p) const
{
    p.conns.clear();
    p.closeInstead = false;
    p.conns.reserve(slots_);
    // Each pass is five seconds later than the last, whatever the real time between polls.
    const S5Time now = baseTime_ + 5 * n;
    for (int slot = 0; slot < slots_; slot++) {
        // A slot's fate comes from the seed and its number alone, so any pass can be made on its
        // own without replaying those before it.
        uint32_t r = Mix(seed_ * 2654435761u + static_cast<uint32_t>(slot) * 40503u + 1);
        int lifetime = 4 + static_cast<int>(r % 20);
        int phase = static_cast<int>((r >> 8) % lifetime);
        int generation = (n + phase) / lifetime;
        int age = (n + phase) % lifetime;
        uint32_t g = Mix(r + static_cast<uint32_t>(generation) * 97u);
        // About one connection in nine fails.
        bool failed = g % 9 == 4;

        p.conns.emplace_back(); // zeroed
        S5MonData& d = p.conns.back();
        d.key = MakeKey(static_cast<uint32_t>(slot + slots_ * generation));
        d.startTime = now - 5 * age - static_cast<S5Time>(g % 5);
        d.curTime = now;
        int service = static_cast<int>(g % (sizeof kPorts / sizeof kPorts[0]));
        uint32_t rateIn = 200 + (g >> 4) % 50000, rateOut = 50 + (g >> 12) % 4000;
        d.inTotBytes = rateIn * static_cast<uint32_t>(age + 1);
        d.outTotBytes = rateOut * static_cast<uint32_t>(age + 1);
        d.socksCmd = 1;
        // A failed connection never carried data: it ends as it starts.
        if (failed) {
            d.state = kEnded | kFailed;
            d.endTime = d.startTime;
            d.inTotBytes = d.outTotBytes = 0;
            d.socksErr = 1 + g % 5;
            CopyConstantName(d.socksErrMsg,
                             d.socksErr % 2 ? "Connection refused" : "Host unreachable");
        } else if (age == lifetime - 1) {
            d.state = kEnded;
            d.endTime = now - 2;
        }
        // Sources on a private 192.168 network, destinations named or on 10.x, all made-up
        // addresses that are never connected to.
        SetInternetAddress(&d.srcSockAddr,
                           (192u << 24) | (168u << 16) | ((1 + (g >> 3) % 3) << 8)
                               | (10 + (g >> 6) % 40),
                           30000 + (g >> 9) % 30000);
        if (g % 3 == 0) {
            snprintf(d.dstHostName, S5_NAME_LEN, "host%u.example.net", (g >> 5) % 60);
            SetNamedAddress(&d.dstSockAddr, d.dstHostName, kPorts[service]);
        } else {
            SetInternetAddress(&d.dstSockAddr,
                               (10u << 24) | ((g >> 4) % 4 << 16) | ((g >> 7) % 8 << 8)
                                   | (1 + (g >> 11) % 250),
                               kPorts[service]);
        }
        SetInternetAddress(&d.proxySockAddr, INADDR_LOOPBACK, 1080);
        snprintf(d.srcHostName, S5_NAME_LEN, "ws%u.lan", (g >> 6) % 40);
        CopyConstantName(d.proxyHostName, "proxy.lan");
        CopyConstantName(d.userName, kUsers[(g >> 2) % 5]);
        // Method 2 (user name and password) when there is a user, 0 (none) otherwise.
        d.authen = d.userName[0] ? 2 : 0;
        CopyConstantName(d.appName, kServices[service]);
    }
}

// The users are summed from the pass's connections, so the lists a client gets always agree. A map
// keeps them in name order.
std::vector<S5MonUser_t> Scenario::users(int n) const
{
    std::map<std::string, S5MonUser_t> byName;
    for (const S5MonData& d : pass(n).conns) {
        bool first = byName.count(d.userName) == 0;
        S5MonUser_t& u = byName[d.userName];
        if (first) {
            snprintf(u.userName, S5_NAME_LEN, "%s", d.userName);
            u.startTime = d.startTime;
        }
        u.totConns++;
        if ((d.state & kEnded) && (d.state & kFailed))
            u.errConns++;
        else if (d.state & kEnded)
            u.endConns++;
        else
            u.curConns++;
        u.inTotBytes += d.inTotBytes;
        u.outTotBytes += d.outTotBytes;
        if (d.startTime < u.startTime)
            u.startTime = d.startTime;
        u.curTime = d.curTime;
    }
    std::vector<S5MonUser_t> list;
    for (auto& entry : byName)
        list.push_back(entry.second);
    return list;
}

// The totals are summed from the users in turn. A simulated server deletes nothing, so the deleted
// counts stay zero.
S5MonTot_t Scenario::totals(int n) const
{
    S5MonTot_t t;
    memset(&t, 0, sizeof t);
    for (const S5MonUser_t& u : users(n)) {
        t.totUsers++;
        if (u.curConns)
            t.curUsers++;
        t.curConns += u.curConns;
        t.errConns += u.errConns;
        t.endConns += u.endConns;
        t.totConns += u.totConns;
        t.inTotBytes += u.inTotBytes;
        t.outTotBytes += u.outTotBytes;
        if (t.startTime == 0 || u.startTime < t.startTime)
            t.startTime = u.startTime;
        t.curTime = u.curTime;
    }
    return t;
}
