// One client of the SOCKS port: the handshake, the request rules, the connect to the
// destination (or, for BIND, the one connection it waits for) and then the relay of bytes
// in both directions, all without blocking the loop; or, for UDP ASSOCIATE, the relay of
// datagrams for as long as the client keeps its connection.
// The session follows the settings in force when it started to its end, whatever reloads
// come meanwhile, and logs a line when it ends. The relay moves the
// bytes of each direction through a pipe with splice(), and copies them through a buffer
// where it cannot: bytes left from the handshake, no descriptor for a pipe, no splice.
#ifndef VANTOR_PROXY_SOCKSSESSION_H
#define VANTOR_PROXY_SOCKSSESSION_H

#include <ctime>
#include <functional>
#include <memory>
#include <vector>
#include <sys/socket.h>

#include "tools/proxy/AccessRules.h"
#include "tools/proxy/ByteBuffer.h"
#include "tools/proxy/ConnTable.h"
#include "tools/proxy/IpAddress.h"
#include "tools/proxy/Poller.h"
#include "tools/proxy/ProxyContext.h"
#include "tools/proxy/SplicePipe.h"
#include "tools/proxy/UdpRelay.h"

class SocksSession : public EventHandler {
public:
    // Takes ownership of the accepted client socket. onDone is called once when the
    // session retires itself.
    SocksSession(ProxyContext& ctx, int clientFd, const sockaddr_storage& peer,
                 std::function<void(SocksSession*)> onDone);
    ~SocksSession() override;

    void onEvents(int tag, uint32_t events) override;
    // The answer of a name look-up started by this session.
    void onResolved(bool found, const std::vector<IpAddress>& addrs);
    // Called once a second; ends a handshake that takes too long.
    void onTick(time_t monotonicNow);
    uint64_t serial() const { return record_->serial; }

private:
    enum class Phase {
        Greeting,
        Credentials,
        Request,
        Resolving,
        Connecting,
        Binding, // a BIND waits for its connection
        Relaying,
        Associated, // a UDP ASSOCIATE relays datagrams
        Closing
    };
    enum Tag { CLIENT = 1, DEST = 2 };

    ProxyContext& ctx_;
    std::function<void(SocksSession*)> onDone_;
    std::shared_ptr<const ProxySettings> settings_;
    Watch client_, dest_;
    ConnRecord* record_;
    Phase phase_ = Phase::Greeting;
    time_t deadline_;
    ByteBuffer toDest_, toClient_;
    // At most one of a direction's buffer and pipe holds bytes at any time.
    SplicePipe toDestPipe_, toClientPipe_;
    bool spliceWorks_ = true; // false once splice() was refused: copy from then on
    size_t replyBytes_ = 0;   // bytes at the front of toClient_ that are SOCKS replies
    bool clientEof_ = false, destEof_ = false;
    bool destShut_ = false, clientShut_ = false;
    bool lookupQueued_ = false;     // a name look-up was queued and has not answered yet
    bool rulesNeedAddress_ = false; // the rules decide once the name is resolved
    // The destination's addresses, tried in order until one connects.
    std::vector<sockaddr_storage> candidates_;
    size_t nextCandidate_ = 0;
    // Why the last address tried failed: a reply code, and the rule when one blocked it.
    struct Failure {
        uint8_t reply;
        Decision blockedBy;
    };
    Failure failure_{0, Decision{}};
    IpAddress bindPeer_; // the only address a BIND takes a connection from; family 0: any
    std::unique_ptr<UdpRelay> udp_;

    void handshake();
    void handleGreeting();
    void handleCredentials();
    void handleRequest();
    // Asks the request rules about the request as far as it is known; refuses it when they
    // block it and returns false.
    bool allowedByRules();
    AccessRequest accessRequest() const;
    Decision decideByRules() const;
    void refuseBlocked(const Decision& d);
    // Connects to the first of addrs that the rules let through and that answers.
    void tryAddresses(const std::vector<IpAddress>& addrs);
    void tryNextAddress();
    // Starts connecting to dst; false with failure_ set when that fails at once.
    bool startConnect(const sockaddr_storage& dst);
    // Listens for the connection of a BIND, from peer unless it is 0.0.0.0 or ::.
    void startBind(const IpAddress& peer);
    void acceptPeer();
    // Opens the relay of a UDP ASSOCIATE for datagrams from the address and port the client
    // stated (zeros: its own address, from any port).
    void startAssociation(const IpAddress& stated, uint16_t port);
    // The destination is connected (or the BIND's peer is): the reply names bound.
    void onConnected(const sockaddr_storage& bound);
    void sendReply(const std::vector<uint8_t>& bytes);
    void refuse(uint8_t rep, const std::string& text, const std::vector<uint8_t>& reply);
    // Refuses a request with the reply code and its standard text.
    void refuseRequest(uint8_t rep);
    void pump(bool fromClient);
    // One read from the socket into the direction's pipe or, where that cannot be, its
    // buffer; and one send of what waits in either.
    ssize_t receive(int fd, ByteBuffer& buffer, SplicePipe& pipe);
    static ssize_t transmit(int fd, ByteBuffer& buffer, SplicePipe& pipe);
    static bool canReceive(const ByteBuffer& buffer, const SplicePipe& pipe);
    static bool waiting(const ByteBuffer& buffer, const SplicePipe& pipe);
    void readClient();
    void readDest();
    void flushClient();
    void flushDest();
    void updateInterest();
    void finish();
};

#endif
