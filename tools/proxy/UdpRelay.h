// The datagrams of one UDP ASSOCIATE (RFC 1928 section 7). The client sends to a socket
// bound on the proxy's address it connected to, each datagram behind a header naming its
// destination; the relay forwards the payload from a socket of the destination's family
// and sends the answers back behind a header naming their source.
//
// Only datagrams from the client's address (and from its port, once given or first seen)
// are taken; fragments are dropped. Each destination is asked of the request rules once
// (command udpassociate), and a blocked one is logged once; its datagrams are dropped and
// counted. Answers are taken only from destinations the client has sent to.
//
// Nothing is queued beyond the sockets: a datagram is forwarded as it is read, through one
// buffer that all associations share, except one datagram to a name that must be looked up,
// which waits in a buffer of its own while the client socket is not read.
#ifndef VANTOR_PROXY_UDPRELAY_H
#define VANTOR_PROXY_UDPRELAY_H

#include <cstdint>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>
#include <sys/socket.h>

#include "tools/proxy/AccessRules.h"
#include "tools/proxy/ConnTable.h"
#include "tools/proxy/IpAddress.h"
#include "tools/proxy/Poller.h"
#include "tools/proxy/ProxyContext.h"

class UdpRelay {
public:
    // The tags of the relay's watches; its owner hands their events on to onEvents.
    enum Tag { CLIENT_SIDE = 10, IPV4_SIDE = 11, IPV6_SIDE = 12 };

    // owner receives the events of the relay's sockets; settings are those of the session.
    UdpRelay(ProxyContext& ctx, const ProxySettings& settings, ConnRecord* record,
             EventHandler* owner);
    ~UdpRelay();
    UdpRelay(const UdpRelay&) = delete;
    UdpRelay& operator=(const UdpRelay&) = delete;

    // Opens the client's socket on local (its port is chosen) for a client at clientIp that
    // sends from clientPort (0: from the first port it sends from); false with errno.
    bool open(const sockaddr_storage& local, const IpAddress& clientIp, uint16_t clientPort);
    // Where the client sends its datagrams.
    sockaddr_storage clientSide() const { return bound_; }
    // false when a socket can no longer be watched and the association must end.
    bool onEvents(int tag, uint32_t events);
    // The answer of the look-up a datagram waits for; false as onEvents.
    bool onResolved(bool found, const std::vector<IpAddress>& addrs);
    // Monotonic seconds of the last datagram relayed either way.
    time_t lastActivity() const { return lastActivity_; }
    // Closes the sockets, forgets a pending look-up and logs what the rules blocked.
    void close();

private:
    ProxyContext& ctx_;
    const ProxySettings& settings_;
    ConnRecord* record_;
    Watch clientSide_, outSide_[2]; // outSide_: IPv4, IPv6, opened when first needed
    sockaddr_storage bound_{};
    IpAddress clientIp_;
    uint16_t clientPort_ = 0;
    time_t lastActivity_;
    // The datagram that waits for its destination's name to be looked up.
    bool lookupQueued_ = false;
    std::string pendingName_;
    uint16_t pendingPort_ = 0;
    std::vector<uint8_t> pendingPayload_;
    // Bounded memories of one association; each is emptied when it is full.
    std::map<std::string, Decision> decisions_; // by destination, named or not
    std::map<std::string, IpAddress> names_;    // looked-up names
    std::set<std::string> peers_;               // addresses sent to: answers come from them
    uint64_t blocked_ = 0;                      // datagrams the rules dropped

    void readClient();
    void readOutside(Watch& side);
    // Forwards a datagram from the client to a name, or keeps it while the name is looked
    // up.
    void forwardToName(const std::string& name, uint16_t port, const uint8_t* payload, size_t size);
    void forward(const std::string& name, const IpAddress& ip, uint16_t port,
                 const uint8_t* payload, size_t size);
    // The rules' verdict on a destination, asked once; a block is logged then.
    Decision decide(const std::string& name, const IpAddress& ip, uint16_t port);
    bool fromClient(const sockaddr_storage& from);
    Watch* outSideFor(int family);
    bool watchClient();
};

#endif
