// The log line of an ended connection (see ConnectionLog.h).
#include "tools/proxy/ConnectionLog.h"

#include "tools/common/TerminalText.h"
#include "tools/proxy/NetUtil.h"
#include "tools/proxy/Socks5Proto.h"

namespace {

// The names come from the clients: their control bytes must not reach the log.
std::string safe(const std::string& name)
{
    return terminalText(name.c_str(), name.size());
}

// The name the client asked for, with the address it resolved to in brackets; "-" when the client
// never got as far as naming one.
std::string destinationText(const ConnRecord& rec)
{
    std::string address = rec.dstKnown ? addrPortText(rec.dst.storage()) : "";
    if (rec.dstName.empty())
        return address.empty() ? "-" : address;
    std::string name = safe(rec.dstName) + ":" + std::to_string(rec.dstPort);
    return address.empty() ? name : name + " [" + address + "]";
}

} // namespace

// One line per connection: command, user@client, destination, bytes each way, duration and the
// outcome. Bytes out are those the client sent.
std::string endedConnectionText(const ConnRecord& rec)
{
    std::string command = socks5::commandName(uint8_t(rec.socksCmd));
    std::string client = addrPortText(rec.src.storage());
    if (!rec.user.empty())
        client = safe(rec.user) + "@" + client;
    std::string result = rec.state & STATE_FAILED ? rec.socksErrMsg : "ended";
    return (command.empty() ? "-" : command) + " " + client + " -> " + destinationText(rec) + ": "
        + std::to_string(rec.outBytes) + " bytes out, " + std::to_string(rec.inBytes)
        + " bytes in, " + std::to_string(long(rec.endTime - rec.startTime)) + " s: " + result;
}
