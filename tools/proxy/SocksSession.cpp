// One SOCKS client from greeting to close (see SocksSession.h). The session is a state
// machine driven by the poller's events and the once-a-second tick; it never blocks.
#include "tools/proxy/SocksSession.h"

#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/common/SendAtOnce.h"
#include "tools/proxy/ConnectionLog.h"
#include "tools/proxy/NetUtil.h"
#include "tools/proxy/OwnAddress.h"
#include "tools/proxy/Socks5Proto.h"

using namespace socks5;

namespace {
// Per direction, for the handshake and the bytes that are copied rather than spliced. An
// idle session costs little, since a buffer is only held while bytes wait in it.
const size_t RELAY_BUFFER = 128 * 1024;
// The relay of each direction is bounded: a side stops being read while its bytes wait for
// the other side to take them (a full buffer or pipe), so a fast sender and a slow receiver
// cost a session at most one buffer and one pipe per direction, never more memory.
} // namespace

SocksSession::SocksSession(ProxyContext& ctx, int clientFd, const sockaddr_storage& peer,
                           std::function<void(SocksSession*)> onDone)
    : ctx_(ctx), onDone_(std::move(onDone)), settings_(ctx.settings),
      record_(ctx.table.open(peer, localAddress(clientFd), time(nullptr))),
      deadline_(monotonicSeconds() + settings_->options.handshakeTimeout), toDest_(RELAY_BUFFER),
      toClient_(RELAY_BUFFER)
{
    // The record is opened at once, so even a client that never finishes its handshake is listed
    // (and shows as failed when it is dropped).
    client_ = Watch{this, clientFd, CLIENT, 0, false};
    dest_ = Watch{this, -1, DEST, 0, false};
    updateInterest();
}

SocksSession::~SocksSession()
{
    ctx_.poller.closeWatch(client_);
    ctx_.poller.closeWatch(dest_);
}

// Events of the client's socket, the destination's, or the UDP relay's (tags from
// UdpRelay::CLIENT_SIDE on). The destination's socket means different things by phase: a
// connect completing, a BIND's peer arriving, or bytes to relay.
void SocksSession::onEvents(int tag, uint32_t events)
{
    const uint32_t readable = EPOLLIN | EPOLLHUP | EPOLLERR;
    const uint32_t writable = EPOLLOUT | EPOLLERR;
    if (tag >= UdpRelay::CLIENT_SIDE) {
        if (!udp_->onEvents(tag, events))
            finish();
        return;
    }
    if (tag == CLIENT) {
        if ((events & writable) && waiting(toClient_, toClientPipe_))
            flushClient();
        if (!retired() && (events & readable))
            pump(true);
    } else if (phase_ == Phase::Connecting) {
        int err = 0;
        socklen_t len = sizeof err;
        // A non-blocking connect reports its outcome through SO_ERROR once the socket is writable.
        if (getsockopt(dest_.fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
            err = errno;
        if (err == 0) {
            onConnected(localAddress(dest_.fd));
        } else if (err != EINPROGRESS) {
            ctx_.poller.closeWatch(dest_);
            failure_ = Failure{replyForErrno(err), Decision{}};
            tryNextAddress();
        }
    } else if (phase_ == Phase::Binding) {
        acceptPeer();
    } else {
        if ((events & writable) && waiting(toDest_, toDestPipe_))
            flushDest();
        if (!retired() && (events & readable))
            pump(false);
    }
    updateInterest();
}

// The limits in time: a relaying session only gives back idle pipes; an association ends
// after --udp-timeout without datagrams; every other phase must be over by deadline_ (the
// handshake timeout, or --bind-timeout while a BIND waits), or the client is answered
// with the failure that fits the phase.
void SocksSession::onTick(time_t monotonicNow)
{
    // Relaying sessions have no deadline: a quiet connection (an idle ssh, say) may last for days.
    if (phase_ == Phase::Relaying) {
        toDestPipe_.closeIfIdle();
        toClientPipe_.closeIfIdle();
        return;
    }
    if (phase_ == Phase::Associated) {
        if (monotonicNow - udp_->lastActivity() >= settings_->options.udpTimeout)
            finish();
        return;
    }
    if (monotonicNow < deadline_)
        return;
    if (phase_ == Phase::Closing) {
        finish();
    } else if (phase_ == Phase::Binding) {
        refuse(REP_TTL_EXPIRED,
               "No connection to BIND within " + std::to_string(settings_->options.bindTimeout)
                   + " s",
               requestReply(REP_TTL_EXPIRED, 0, 0));
    } else if (phase_ == Phase::Connecting || phase_ == Phase::Resolving) {
        refuseRequest(REP_HOST_UNREACHABLE);
    } else {
        refuse(REP_GENERAL_FAILURE, "Handshake timed out", {});
    }
    updateInterest();
}

// ---- handshake ----

// The handshake is parsed from toDest_, which collects what the client sent. A client may
// send greeting, credentials and request at once, or each a byte at a time: each step
// takes what it can and the loop goes on while a step moves the phase or takes bytes.
void SocksSession::handshake()
{
    for (;;) {
        Phase before = phase_;
        size_t pending = toDest_.size();
        switch (phase_) {
        case Phase::Greeting:
            handleGreeting();
            break;
        case Phase::Credentials:
            handleCredentials();
            break;
        case Phase::Request:
            handleRequest();
            break;
        default:
            return;
        }
        if (retired() || (phase_ == before && toDest_.size() == pending))
            return; // waiting for more bytes, or finished
    }
}

// The method: username/password when a users file is in force, else no authentication;
// a client offering neither is told no method is acceptable and closed.
void SocksSession::handleGreeting()
{
    Greeting g;
    size_t used = 0;
    Parse p = parseGreeting(toDest_.data(), toDest_.size(), &g, &used);
    if (p == Parse::NeedMore)
        return;
    if (p == Parse::Bad) {
        refuse(REP_GENERAL_FAILURE, "Not a SOCKS version 5 client", {});
        return;
    }
    toDest_.consume(used);
    uint8_t method = chooseMethod(g, settings_->authentication() != nullptr);
    record_->authen = method;
    // The refusal (method 0xFF) is still sent, so the client knows why it is closed.
    if (method == METHOD_REFUSED) {
        refuse(REP_GENERAL_FAILURE, "No acceptable authentication method", methodReply(method));
        return;
    }
    phase_ = method == METHOD_USERPASS ? Phase::Credentials : Phase::Request;
    sendReply(methodReply(method));
}

void SocksSession::handleCredentials()
{
    Credentials c;
    size_t used = 0;
    Parse p = parseCredentials(toDest_.data(), toDest_.size(), &c, &used);
    if (p == Parse::NeedMore)
        return;
    if (p == Parse::Bad) {
        refuse(REP_GENERAL_FAILURE, "Malformed authentication request", credentialsReply(false));
        return;
    }
    toDest_.consume(used);
    const UserFile& users = *settings_->authentication();
    if (!users.check(c.user, c.password)) {
        // Shown, so that the administrator sees who was refused; counted as a failed
        // connection of the user only for a name of the users file, so that made-up names
        // cannot grow the list of users.
        if (users.has(c.user))
            ctx_.table.setUser(record_, c.user);
        else
            record_->user = c.user;
        refuse(REP_GENERAL_FAILURE, "Authentication failed", credentialsReply(false));
        return;
    }
    ctx_.table.setUser(record_, c.user);
    phase_ = Phase::Request;
    sendReply(credentialsReply(true));
}

// The request: a numeric destination is used as it is, a name is looked up off the loop
// (unless the rules refuse it first), and a UDP ASSOCIATE names the client, not a
// destination. Bytes behind the request are early data and wait in the buffer for the
// destination.
void SocksSession::handleRequest()
{
    Request r;
    size_t used = 0;
    Parse p = parseRequest(toDest_.data(), toDest_.size(), &r, &used);
    if (p == Parse::NeedMore)
        return;
    // A zero byte in a name would make the look-up see a shorter name than the rules judged.
    if (p == Parse::Bad || r.host.find('\0') != std::string::npos) {
        refuse(REP_GENERAL_FAILURE, "Malformed request", requestReply(REP_GENERAL_FAILURE, 0, 0));
        return;
    }
    toDest_.consume(used); // what follows is early data for the destination
    record_->socksCmd = r.command;
    IpAddress ip;
    if (r.addrType == ATYP_IPV4) {
        ip = ipv4Address(in_addr{r.ipv4});
    } else if (r.addrType == ATYP_IPV6) {
        ip.family = AF_INET6;
        std::memcpy(ip.bytes, r.ipv6, 16);
    } else if (r.addrType == ATYP_DOMAIN) {
        parseIpAddress(r.host, &ip); // a numeric name needs no look-up
    } else {
        refuseRequest(REP_ATYP_NOT_SUPPORTED);
        return;
    }
    // The address of a UDP ASSOCIATE is the client's own, not a destination.
    if (r.command == CMD_UDP_ASSOCIATE) {
        startAssociation(ip, r.port);
        return;
    }
    if (r.addrType == ATYP_DOMAIN)
        ctx_.table.setDestinationName(record_, r.host, r.port);
    if (ip.family != 0)
        ctx_.table.setDestination(record_, socketAddress(Endpoint{ip, r.port}));
    // What the proxy cannot do is refused as such, without asking the rules (and so
    // without a look-up that an address block of theirs could ask for). The peer of a BIND
    // is named by address: a name is not looked up for it.
    if (r.command != CMD_CONNECT && r.command != CMD_BIND) {
        refuseRequest(REP_CMD_NOT_SUPPORTED);
        return;
    }
    if (r.command == CMD_BIND && ip.family == 0) {
        refuseRequest(REP_ATYP_NOT_SUPPORTED);
        return;
    }
    if (!allowedByRules())
        return;
    if (r.command == CMD_BIND) {
        startBind(ip);
        return;
    }
    if (ip.family != 0) {
        tryAddresses({ip});
    } else {
        if (!ctx_.resolver.lookup(record_->serial, r.host)) {
            refuseRequest(REP_GENERAL_FAILURE); // too many look-ups waiting already
            return;
        }
        phase_ = Phase::Resolving;
        lookupQueued_ = true;
    }
}

void SocksSession::onResolved(bool found, const std::vector<IpAddress>& addrs)
{
    // An association's look-ups are for its datagrams; the relay handles them.
    if (udp_) {
        if (!udp_->onResolved(found, addrs))
            finish();
        return;
    }
    lookupQueued_ = false;
    // The session was refused or timed out while the name was being looked up.
    if (phase_ != Phase::Resolving)
        return;
    if (!found)
        refuseRequest(REP_HOST_UNREACHABLE);
    else
        tryAddresses(addrs);
    updateInterest();
}

AccessRequest SocksSession::accessRequest() const
{
    AccessRequest request;
    request.source = ipAddressOf(record_->src.storage());
    request.host = record_->dstName;
    if (record_->dstKnown)
        request.destination = ipAddressOf(record_->dst.storage());
    request.port = record_->dstPort;
    request.command = uint8_t(record_->socksCmd);
    request.user = record_->user;
    return request;
}

Decision SocksSession::decideByRules() const
{
    return settings_->options.rules.decideRequest(accessRequest());
}

// The client hears only "not allowed"; the log says which rule decided, for the administrator.
void SocksSession::refuseBlocked(const Decision& d)
{
    refuse(REP_NOT_ALLOWED,
           d.rule == 0 ? "blocked: no rule passes it" : "blocked by rule " + std::to_string(d.rule),
           requestReply(REP_NOT_ALLOWED, 0, 0));
}

// A rule that needs the address lets the request go on; it is asked again for each address the name
// gives, before connecting to it.
bool SocksSession::allowedByRules()
{
    Decision d = decideByRules();
    rulesNeedAddress_ = d.verdict == Verdict::NeedsAddress;
    if (d.verdict != Verdict::Block)
        return true;
    refuseBlocked(d);
    return false;
}

// A name may give several addresses: they are tried in turn, each with a non-blocking
// connect whose completion comes as a writable event, until one answers.
void SocksSession::tryAddresses(const std::vector<IpAddress>& addrs)
{
    candidates_.clear();
    for (const IpAddress& ip : addrs)
        candidates_.push_back(socketAddress(Endpoint{ip, record_->dstPort}));
    nextCandidate_ = 0;
    failure_ = Failure{REP_HOST_UNREACHABLE, Decision{}};
    tryNextAddress();
}

// The record shows the address being tried, and in the end the one connected to or the
// last that failed.
void SocksSession::tryNextAddress()
{
    while (nextCandidate_ < candidates_.size()) {
        const sockaddr_storage& dst = candidates_[nextCandidate_++];
        ctx_.table.setDestination(record_, dst);
        if (rulesNeedAddress_) {
            Decision d = decideByRules();
            if (d.verdict == Verdict::Block) {
                failure_ = Failure{REP_NOT_ALLOWED, d};
                continue;
            }
        }
        // A connect back to the proxy's own ports would let a client loop through us, or reach the
        // monitoring port from outside the monitor-allow blocks.
        if (reachesListener(dst, ctx_.listeners)) {
            failure_ = Failure{REP_NOT_ALLOWED, Decision{}};
            continue;
        }
        if (startConnect(dst))
            return;
    }
    if (failure_.blockedBy.verdict == Verdict::Block)
        refuseBlocked(failure_.blockedBy);
    else
        refuseRequest(failure_.reply);
}

bool SocksSession::startConnect(const sockaddr_storage& dst)
{
    int fd = socket(dst.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        failure_ = Failure{REP_GENERAL_FAILURE, Decision{}};
        return false;
    }
    dest_.fd = fd;
    SendAtOnce(fd);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&dst), addrSize(dst)) == 0) {
        onConnected(localAddress(fd));
        return true;
    }
    // The usual case: the outcome comes later as a writable event.
    if (errno == EINPROGRESS) {
        phase_ = Phase::Connecting;
        return true;
    }
    failure_ = Failure{replyForErrno(errno), Decision{}};
    ctx_.poller.closeWatch(dest_);
    return false;
}

// BIND: the client asks us to listen for one incoming connection (an FTP data connection, say) and
// names the host it expects it from; 0.0.0.0 means any.
void SocksSession::startBind(const IpAddress& peer)
{
    bindPeer_ = isUnspecified(peer) ? IpAddress{} : unmapped(peer);
    // On the address the client reached, so that the peer can reach it the same way.
    sockaddr_storage local = localAddress(client_.fd);
    reinterpret_cast<sockaddr_in&>(local).sin_port = 0; // the same offset in both families
    dest_.fd = listenOn(local, 1);
    if (dest_.fd < 0) {
        refuseRequest(REP_GENERAL_FAILURE);
        return;
    }
    phase_ = Phase::Binding;
    deadline_ = monotonicSeconds() + settings_->options.bindTimeout;
    // The first of a BIND's two replies: where to connect. The second follows when the peer
    // arrives.
    sendReply(requestReply(REP_SUCCEEDED, localAddress(dest_.fd)));
}

// Exactly one connection is taken: the listening socket closes with it.
void SocksSession::acceptPeer()
{
    sockaddr_storage peer{};
    socklen_t len = sizeof peer;
    int fd =
        accept4(dest_.fd, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        // Out of descriptors, say: the waiting connection would wake the loop for ever.
        if (errno != EAGAIN && errno != ECONNABORTED)
            refuseRequest(REP_GENERAL_FAILURE);
        return;
    }
    ctx_.poller.closeWatch(dest_);
    dest_.fd = fd;
    ctx_.table.setDestination(record_, peer);
    // Somebody else got there first: refused, or anyone could take the client's place.
    if (bindPeer_.family != 0 && !(unmapped(ipAddressOf(peer)) == bindPeer_)) {
        refuse(REP_NOT_ALLOWED,
               "BIND: connection from " + addrText(peer) + ", not " + ipAddressText(bindPeer_),
               requestReply(REP_NOT_ALLOWED, 0, 0));
        return;
    }
    SendAtOnce(fd);
    onConnected(peer);
}

void SocksSession::startAssociation(const IpAddress& stated, uint16_t port)
{
    IpAddress client = unmapped(ipAddressOf(record_->src.storage()));
    // Another host than its own a client cannot name, so that nobody opens a relay for a
    // host the client rules do not let in. A name is not looked up: it counts as none.
    if (!isUnspecified(stated) && !(unmapped(stated) == client)) {
        refuse(REP_NOT_ALLOWED, "UDP from " + ipAddressText(stated) + ", not the client's",
               requestReply(REP_NOT_ALLOWED, 0, 0));
        return;
    }
    Decision d = settings_->options.rules.decideAnyDestination(accessRequest());
    if (d.verdict == Verdict::Block) {
        refuseBlocked(d);
        return;
    }
    udp_.reset(new UdpRelay(ctx_, *settings_, record_, this));
    if (!udp_->open(localAddress(client_.fd), client, port)) {
        refuseRequest(REP_GENERAL_FAILURE);
        return;
    }
    phase_ = Phase::Associated;
    record_->state = STATE_RELAYING;
    sendReply(requestReply(REP_SUCCEEDED, udp_->clientSide()));
}

// The reply tells the client the address we connect from, as the protocol asks.
void SocksSession::onConnected(const sockaddr_storage& bound)
{
    phase_ = Phase::Relaying;
    record_->state = STATE_RELAYING;
    // The addresses not tried are of no more use: a relayed connection keeps only what
    // relaying needs.
    std::vector<sockaddr_storage>().swap(candidates_);
    nextCandidate_ = 0;
    sendReply(requestReply(REP_SUCCEEDED, bound));
    if (!retired() && (!toDest_.empty() || clientEof_))
        flushDest(); // early data, and the half-close if the client has sent it
}

// Replies are counted apart so they are not taken for traffic from the destination.
void SocksSession::sendReply(const std::vector<uint8_t>& bytes)
{
    toClient_.append(bytes.data(), bytes.size());
    replyBytes_ += bytes.size();
    flushClient();
}

// Records the failure, answers the client if the handshake has a reply for it, and closes
// once the answer is out.
void SocksSession::refuse(uint8_t rep, const std::string& text, const std::vector<uint8_t>& reply)
{
    ctx_.table.fail(record_, rep, text, time(nullptr));
    ctx_.poller.closeWatch(dest_);
    phase_ = Phase::Closing;
    if (!clientEof_ && !reply.empty())
        sendReply(reply);
    if (!retired() && toClient_.empty())
        finish();
}

void SocksSession::refuseRequest(uint8_t rep)
{
    refuse(rep, replyText(rep), requestReply(rep, 0, 0));
}

// ---- relay ----

// Reads from one side and forwards at once. While the other side takes everything, it goes
// round again without a trip through epoll; a few rounds at most, so that other sessions
// get their turn.
void SocksSession::pump(bool fromClient)
{
    const uint64_t& forwarded = fromClient ? record_->outBytes : record_->inBytes;
    const ByteBuffer& buffer = fromClient ? toDest_ : toClient_;
    const SplicePipe& pipe = fromClient ? toDestPipe_ : toClientPipe_;
    for (int round = 0; round < 4; ++round) {
        uint64_t before = forwarded;
        if (fromClient)
            readClient();
        else
            readDest();
        if (retired() || phase_ != Phase::Relaying || forwarded == before || waiting(buffer, pipe))
            return;
    }
}

// splice() moves the bytes through the kernel without copying them into the proxy; where
// it is refused (EINVAL, ENOSYS: a socket type or kernel without it) the session falls back
// to the buffer for good.
ssize_t SocksSession::receive(int fd, ByteBuffer& buffer, SplicePipe& pipe)
{
    // Bytes in the buffer came first, so the pipe takes more only behind an empty buffer.
    // Without a pipe, the buffer serves until one can be had.
    if (!pipe.empty() || (spliceWorks_ && buffer.empty() && pipe.open())) {
        ssize_t n = pipe.fillFrom(fd);
        if (n >= 0 || !pipe.empty() || (errno != EINVAL && errno != ENOSYS))
            return n;
        spliceWorks_ = false;
    }
    return buffer.readFrom(fd);
}

// What came first goes first: the buffer before the pipe.
ssize_t SocksSession::transmit(int fd, ByteBuffer& buffer, SplicePipe& pipe)
{
    return buffer.empty() ? pipe.drainTo(fd) : buffer.writeTo(fd);
}

bool SocksSession::canReceive(const ByteBuffer& buffer, const SplicePipe& pipe)
{
    return pipe.empty() ? buffer.space() > 0 : !pipe.full();
}

bool SocksSession::waiting(const ByteBuffer& buffer, const SplicePipe& pipe)
{
    return !buffer.empty() || !pipe.empty();
}

void SocksSession::readClient()
{
    if (clientEof_ || phase_ == Phase::Closing || !canReceive(toDest_, toDestPipe_))
        return;
    if (phase_ == Phase::Associated) {
        // The connection only tells how long the association lasts: what the client sends
        // on it is of no use, and its end ends the association.
        ssize_t n = toDest_.readFrom(client_.fd);
        if (n > 0)
            toDest_.consume(toDest_.size());
        else if (n == 0 || errno != EAGAIN)
            finish();
        return;
    }
    // The handshake is parsed from the buffer, and early data waits there behind it.
    ssize_t n = phase_ == Phase::Relaying ? receive(client_.fd, toDest_, toDestPipe_)
                                          : toDest_.readFrom(client_.fd);
    if (n < 0 && errno == EAGAIN)
        return;
    if (n <= 0) {
        clientEof_ = true;
        // A client that has sent its request and then shut its sending side (like
        // "nc -N") still gets the reply and the answer; the half-close is passed on to the
        // destination once connected.
        if (n == 0 && (phase_ == Phase::Resolving || phase_ == Phase::Connecting)) {
            // A close looks the same as a half-close, so the look-up goes on, but behind
            // those of the clients that are certainly still there.
            if (lookupQueued_)
                ctx_.resolver.defer(record_->serial);
            return;
        }
        if (phase_ != Phase::Relaying) {
            refuse(REP_GENERAL_FAILURE, "Client left before the connection was made", {});
            return;
        }
        if (n < 0) {
            finish();
            return;
        }
    }
    if (phase_ == Phase::Relaying)
        flushDest();
    else if (n > 0)
        handshake();
}

void SocksSession::readDest()
{
    if (destEof_ || phase_ != Phase::Relaying || !canReceive(toClient_, toClientPipe_))
        return;
    ssize_t n = receive(dest_.fd, toClient_, toClientPipe_);
    if (n < 0 && errno == EAGAIN)
        return;
    if (n < 0) {
        finish();
        return;
    }
    // The destination closed: what is on the way still goes to the client, then the close.
    if (n == 0)
        destEof_ = true;
    flushClient();
}

// Bytes to the client are counted as traffic in only once they are sent, and without the
// SOCKS replies that went the same way. When the destination has closed and everything
// is out, the close is passed on as a half-close; the session ends once both sides are shut.
void SocksSession::flushClient()
{
    if (waiting(toClient_, toClientPipe_)) {
        ssize_t n = transmit(client_.fd, toClient_, toClientPipe_);
        if (n < 0 && errno != EAGAIN) {
            finish();
            return;
        }
        if (n > 0) {
            size_t replies = std::min(size_t(n), replyBytes_);
            replyBytes_ -= replies;
            if (size_t(n) > replies)
                ctx_.table.addIn(record_, size_t(n) - replies);
        }
    }
    if (waiting(toClient_, toClientPipe_))
        return;
    if (phase_ == Phase::Closing) {
        finish();
        return;
    }
    if (destEof_ && !clientShut_) {
        shutdown(client_.fd, SHUT_WR);
        clientShut_ = true;
    }
    if (clientShut_ && destShut_)
        finish();
}

// Bytes to the destination count as traffic out once sent; the client's half-close follows once all
// is out.
void SocksSession::flushDest()
{
    if (waiting(toDest_, toDestPipe_)) {
        ssize_t n = transmit(dest_.fd, toDest_, toDestPipe_);
        if (n < 0 && errno != EAGAIN) {
            finish();
            return;
        }
        if (n > 0)
            ctx_.table.addOut(record_, size_t(n));
    }
    if (waiting(toDest_, toDestPipe_))
        return;
    if (clientEof_ && !destShut_) {
        shutdown(dest_.fd, SHUT_WR);
        destShut_ = true;
    }
    if (clientShut_ && destShut_)
        finish();
}

// Asks the poller for just the events the session can use now: reading only where there
// is room, writing only where bytes wait. This is what bounds the relay's memory.
void SocksSession::updateInterest()
{
    if (retired())
        return;
    uint32_t clientEvents = 0;
    if (!clientEof_ && phase_ != Phase::Closing && canReceive(toDest_, toDestPipe_))
        clientEvents |= EPOLLIN;
    if (waiting(toClient_, toClientPipe_))
        clientEvents |= EPOLLOUT;
    uint32_t destEvents = 0;
    if (phase_ == Phase::Connecting)
        destEvents = EPOLLOUT;
    else if (phase_ == Phase::Binding)
        destEvents = EPOLLIN;
    else if (phase_ == Phase::Relaying) {
        if (!destEof_ && canReceive(toClient_, toClientPipe_))
            destEvents |= EPOLLIN;
        if (waiting(toDest_, toDestPipe_))
            destEvents |= EPOLLOUT;
    }
    if (!ctx_.poller.watch(client_, clientEvents)
        || (dest_.fd >= 0 && !ctx_.poller.watch(dest_, destEvents)))
        finish();
}

// The one way a session ends: its record ends and is logged, its sockets close, and it is
// deleted after the poller's current batch of events.
void SocksSession::finish()
{
    if (retired())
        return;
    if (lookupQueued_)
        ctx_.resolver.cancel(record_->serial); // nobody waits for the answer any more
    if (udp_)
        udp_->close();
    ctx_.table.end(record_, time(nullptr));
    ctx_.log.info(endedConnectionText(*record_));
    ctx_.poller.closeWatch(client_);
    ctx_.poller.closeWatch(dest_);
    onDone_(this);
    ctx_.poller.retire(this);
}
