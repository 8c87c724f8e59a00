// What the simulator serves: the connection records of each pass, from a script or generated.
#ifndef VANTOR_MONSIM_SCENARIO_H
#define VANTOR_MONSIM_SCENARIO_H

#include "lib/monMsg.h"

#include <string>
#include <vector>

struct Pass {
    std::vector<S5MonData> conns;
    bool closeInstead = false; // answer by closing the client connection
};

class Scenario {
public:
    // Reads a script; on failure returns false and sets error.
    bool loadScript(const std::string& path, std::string& error);
    // A generated scenario of connectionCount slots, repeatable from seed.
    void generate(int connectionCount, unsigned seed);
    bool generated() const { return generated_; }

    // The records of pass number n (1-based).
    Pass pass(int n) const;
    // The same into a pass whose memory is used again.
    void pass(int n, Pass& into) const;
    // Per-user sums and server totals over the records of pass n.
    std::vector<S5MonUser_t> users(int n) const;
    S5MonTot_t totals(int n) const;

private:
    void generatedPass(int n, Pass& into) const;

    std::vector<Pass> scripted_;
    bool generated_ = false;
    int slots_ = 0;
    unsigned seed_ = 0;
    S5Time baseTime_ = 0;
};

// Key bytes 0-3 a process id, 4-7 the high word of number, 8-9 its low 16 bits (host order).
S5MonKey MakeKey(uint32_t number);
// "a.b.c.d:port" gives an Internet address, "[IPv6 address]:port" an IPv6 one; "name:port"
// a named address of family 255.
S5NetAddr MakeAddress(const std::string& text);
// An Internet address or a named one (family 255); address and port in host order.
void SetInternetAddress(S5NetAddr* addr, uint32_t address, int port);
void SetNamedAddress(S5NetAddr* addr, const char* name, int port);
// An IPv6 address (AF_INET6, the sockaddr_in6 layout); port in host order.
void SetIPv6Address(S5NetAddr* addr, const struct in6_addr& address, int port);

#endif
