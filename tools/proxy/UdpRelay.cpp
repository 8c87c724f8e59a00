// The datagram relay of a UDP ASSOCIATE (see UdpRelay.h).
#include "tools/proxy/UdpRelay.h"

#include <netinet/in.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/common/TerminalText.h"
#include "tools/proxy/NetUtil.h"
#include "tools/proxy/OwnAddress.h"
#include "tools/proxy/Socks5Proto.h"

using namespace socks5;

namespace {

// The largest datagram, and room before it for the header of an answer (an IPv6 one).
const size_t MAX_DATAGRAM = 65535;
const size_t HEADROOM = 22;
// The loop is single-threaded and forwards each datagram as soon as it is read, so one
// buffer serves every association.
uint8_t datagram[HEADROOM + MAX_DATAGRAM];

// Datagrams read per wake-up, so that other sessions get their turn.
const int BATCH = 16;
// Entries of each of an association's memories.
const size_t MEMORY_LIMIT = 256;

// Name, address and port in one string, the zero byte keeping the name apart from the address.
std::string destinationKey(const std::string& name, const IpAddress& ip, uint16_t port)
{
    std::string key = name;
    key += '\0';
    key.append(reinterpret_cast<const char*>(ip.bytes), ip.size());
    key += char(port >> 8);
    key += char(port & 0xff);
    return key;
}

template <class Memory, class Entry>
// A full memory is simply emptied: a client sending to many destinations costs look-ups again, but
// never memory without bound.
void remember(Memory& memory, Entry&& entry)
{
    if (memory.size() >= MEMORY_LIMIT)
        memory.clear();
    memory.insert(std::forward<Entry>(entry));
}

// A name from the client is cleaned before it goes into the log.
std::string destinationText(const std::string& name, const IpAddress& ip, uint16_t port)
{
    if (name.empty())
        return endpointText(Endpoint{ip, port});
    return terminalText(name.c_str(), name.size()) + ":" + std::to_string(port);
}

} // namespace

// The outgoing sockets are made when first needed, one per address family.
UdpRelay::UdpRelay(ProxyContext& ctx, const ProxySettings& settings, ConnRecord* record,
                   EventHandler* owner)
    : ctx_(ctx), settings_(settings), record_(record), lastActivity_(monotonicSeconds())
{
    clientSide_ = Watch{owner, -1, CLIENT_SIDE, 0, false};
    outSide_[0] = Watch{owner, -1, IPV4_SIDE, 0, false};
    outSide_[1] = Watch{owner, -1, IPV6_SIDE, 0, false};
}

UdpRelay::~UdpRelay()
{
    ctx_.poller.closeWatch(clientSide_);
    ctx_.poller.closeWatch(outSide_[0]);
    ctx_.poller.closeWatch(outSide_[1]);
}

// The relay socket is bound to the address the client reached us on, on a port of the kernel's
// choosing; the SOCKS reply tells the client which.
bool UdpRelay::open(const sockaddr_storage& local, const IpAddress& clientIp, uint16_t clientPort)
{
    clientIp_ = unmapped(clientIp);
    clientPort_ = clientPort;
    sockaddr_storage addr = local;
    reinterpret_cast<sockaddr_in&>(addr).sin_port = 0; // the same offset in both families
    int fd = socket(addr.ss_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&addr), addrSize(addr)) != 0) {
        int saved = errno;
        ::close(fd);
        errno = saved;
        return false;
    }
    clientSide_.fd = fd;
    bound_ = localAddress(fd);
    return watchClient();
}

bool UdpRelay::onEvents(int tag, uint32_t)
{
    if (tag == CLIENT_SIDE)
        readClient();
    else
        readOutside(outSide_[tag == IPV6_SIDE ? 1 : 0]);
    return watchClient();
}

// The client socket is not read while a datagram waits for a look-up: the datagrams behind
// it wait in the socket.
bool UdpRelay::watchClient()
{
    return clientSide_.fd < 0
        || ctx_.poller.watch(clientSide_, lookupQueued_ ? 0u : uint32_t(EPOLLIN));
}

// One log line for all datagrams the rules dropped, rather than one per datagram.
void UdpRelay::close()
{
    if (lookupQueued_)
        ctx_.resolver.cancel(record_->serial);
    lookupQueued_ = false;
    ctx_.poller.closeWatch(clientSide_);
    ctx_.poller.closeWatch(outSide_[0]);
    ctx_.poller.closeWatch(outSide_[1]);
    if (blocked_ > 0)
        ctx_.log.info("udpassociate " + addrPortText(record_->src.storage()) + ": " + std::to_string(blocked_)
                      + " datagrams dropped by the rules");
}

// Datagrams from anyone else are not relayed: the relay must not become an open one for whoever
// finds its port.
bool UdpRelay::fromClient(const sockaddr_storage& from)
{
    if (!(unmapped(ipAddressOf(from)) == clientIp_))
        return false;
    uint16_t port = endpointOf(from).port;
    if (clientPort_ == 0)
        clientPort_ = port; // the first datagram names the port, as RFC 1928 has it
    return port == clientPort_;
}

// A datagram from the client: only from the client's address (and the port of its first
// datagram), with a valid header, else dropped without a word, as UDP has it. Its
// destination is decided by the request rules like a CONNECT's; a name is looked up first,
// and the client socket waits meanwhile so that datagrams keep their order.
void UdpRelay::readClient()
{
    for (int i = 0; i < BATCH && !lookupQueued_ && clientSide_.fd >= 0; ++i) {
        sockaddr_storage from{};
        socklen_t len = sizeof from;
        // MSG_TRUNC reports a datagram's full length, so an oversized one is recognised and dropped
        // rather than relayed cut short.
        ssize_t n = recvfrom(clientSide_.fd, datagram, MAX_DATAGRAM, MSG_TRUNC,
                             reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0)
            return;
        Request dst;
        size_t used = 0;
        if (size_t(n) > MAX_DATAGRAM || !fromClient(from)
            || !parseUdpHeader(datagram, size_t(n), &dst, &used)
            // A name holding a zero byte would be looked up as something else than the rules
            // judged.
            || dst.host.find('\0') != std::string::npos)
            continue;
        const uint8_t* payload = datagram + used;
        size_t size = size_t(n) - used;
        IpAddress ip;
        if (dst.addrType == ATYP_IPV4) {
            ip = ipv4Address(in_addr{dst.ipv4});
        } else if (dst.addrType == ATYP_IPV6) {
            ip.family = AF_INET6;
            std::memcpy(ip.bytes, dst.ipv6, 16);
        } else if (!parseIpAddress(dst.host, &ip)) {
            forwardToName(dst.host, dst.port, payload, size);
            continue;
        }
        forward(dst.host, ip, dst.port, payload, size);
    }
}

void UdpRelay::forwardToName(const std::string& name, uint16_t port, const uint8_t* payload,
                             size_t size)
{
    auto known = names_.find(name);
    if (known != names_.end()) {
        forward(name, known->second, port, payload, size);
        return;
    }
    // A name the rules block is never looked up.
    if (decide(name, IpAddress{}, port).verdict == Verdict::Block) {
        ++blocked_;
        return;
    }
    if (!ctx_.resolver.lookup(record_->serial, name))
        return; // too many look-ups waiting: dropped, as a full network would
    lookupQueued_ = true;
    pendingName_ = name;
    pendingPort_ = port;
    pendingPayload_.assign(payload, payload + size);
}

bool UdpRelay::onResolved(bool found, const std::vector<IpAddress>& addrs)
{
    // The association was closed meanwhile, or the answer is for a cancelled look-up.
    if (!lookupQueued_)
        return true;
    lookupQueued_ = false;
    if (found && !addrs.empty()) {
        // The first address only: a datagram goes one way, and retrying others is the client's
        // business.
        remember(names_, std::make_pair(pendingName_, addrs.front()));
        forward(pendingName_, addrs.front(), pendingPort_, pendingPayload_.data(),
                pendingPayload_.size());
    }
    std::vector<uint8_t>().swap(pendingPayload_); // its memory goes back at once
    return watchClient();
}

// Decisions are remembered per destination, so a stream of datagrams is judged once; a block is
// logged once for the same reason.
Decision UdpRelay::decide(const std::string& name, const IpAddress& ip, uint16_t port)
{
    std::string key = destinationKey(name, ip, port);
    auto known = decisions_.find(key);
    if (known != decisions_.end())
        return known->second;
    AccessRequest request;
    request.source = ipAddressOf(record_->src.storage());
    request.host = name;
    request.destination = ip;
    request.port = port;
    request.command = CMD_UDP_ASSOCIATE;
    request.user = record_->user;
    Decision d = settings_.options.rules.decideRequest(request);
    // Not remembered: it is asked again with the address once the name is looked up.
    if (d.verdict == Verdict::NeedsAddress)
        return d;
    if (d.verdict == Verdict::Block)
        ctx_.log.info("udpassociate " + addrPortText(record_->src.storage()) + " -> "
                      + destinationText(name, ip, port) + ": "
                      + (d.rule == 0 ? "blocked: no rule passes it"
                                     : "blocked by rule " + std::to_string(d.rule))
                      + "; its datagrams are dropped");
    remember(decisions_, std::make_pair(key, d));
    return d;
}

void UdpRelay::forward(const std::string& name, const IpAddress& address, uint16_t port,
                       const uint8_t* payload, size_t size)
{
    IpAddress ip = unmapped(address);
    if (decide(name, ip, port).verdict == Verdict::Block) {
        ++blocked_;
        return;
    }
    sockaddr_storage dst = socketAddress(Endpoint{ip, port});
    // Not back into the relay's own socket, where it would pass for the client's.
    if (port == 0 || reachesListener(dst, {bound_}))
        return;
    Watch* side = outSideFor(ip.family);
    // A full socket or an unreachable network drops the datagram, as UDP does.
    if (!side
        || sendto(side->fd, payload, size, 0, reinterpret_cast<const sockaddr*>(&dst),
                  addrSize(dst))
            < 0)
        return;
    // Only destinations the client sent to may answer through the relay.
    remember(peers_, destinationKey("", ip, port));
    // The record names the latest destination.
    if (!record_->dstKnown || !(ipAddressOf(record_->dst.storage()) == ip) || record_->dstPort != port
        || record_->dstName != name) {
        ctx_.table.setDestinationName(record_, name, port);
        ctx_.table.setDestination(record_, dst);
    }
    ctx_.table.addOut(record_, size);
    lastActivity_ = monotonicSeconds();
}

Watch* UdpRelay::outSideFor(int family)
{
    Watch& side = outSide_[family == AF_INET6 ? 1 : 0];
    if (side.fd >= 0)
        return &side;
    side.fd = socket(family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (side.fd < 0)
        return nullptr;
    int one = 1;
    // V6ONLY: IPv4 traffic has its own socket, so this one carries IPv6 alone.
    if (family == AF_INET6)
        setsockopt(side.fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one);
    if (!ctx_.poller.watch(side, EPOLLIN)) {
        ctx_.poller.closeWatch(side);
        return nullptr;
    }
    return &side;
}

void UdpRelay::readOutside(Watch& side)
{
    for (int i = 0; i < BATCH && side.fd >= 0; ++i) {
        sockaddr_storage from{};
        socklen_t len = sizeof from;
        // Read after the headroom, so the SOCKS header can be put in front without copying the
        // payload.
        ssize_t n = recvfrom(side.fd, datagram + HEADROOM, MAX_DATAGRAM, MSG_TRUNC,
                             reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0)
            return;
        Endpoint source{unmapped(ipAddressOf(from)), endpointOf(from).port};
        if (size_t(n) > MAX_DATAGRAM
            // An answer from a host the client never sent to is dropped: it is most likely a scan.
            || peers_.count(destinationKey("", source.ip, source.port)) == 0)
            continue;
        std::vector<uint8_t> header = udpHeader(socketAddress(source));
        uint8_t* start = datagram + HEADROOM - header.size();
        std::memcpy(start, header.data(), header.size());
        sockaddr_storage client = socketAddress(Endpoint{clientIp_, clientPort_});
        if (sendto(clientSide_.fd, start, header.size() + size_t(n), 0,
                   reinterpret_cast<const sockaddr*>(&client), addrSize(client))
            < 0)
            continue;
        ctx_.table.addIn(record_, size_t(n));
        lastActivity_ = monotonicSeconds();
    }
}
