// Feeds arbitrary bytes through a socket pair to the monitor framing, as a hostile server
// would send them, and checks every frame against the bytes: a whole frame arrives intact,
// a frame too long for the buffer is skipped exactly, a cut frame fails. The first two
// bytes give the receiving buffer's size.
#include "lib/monUnixTcp.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Mon_TcpSetTimeout(1000); // everything is written before reading starts
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > 32768)
        return 0;
    uint16_t bufLen = static_cast<uint16_t>((data[0] << 8 | data[1]) % 2048);
    const uint8_t* stream = data + 2;
    size_t length = size - 2;

    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0)
        abort();
    int sndbuf = 1 << 20;
    setsockopt(pair[1], SOL_SOCKET, SO_SNDBUF, &sndbuf, sizeof sndbuf);
    setsockopt(pair[0], SOL_SOCKET, SO_RCVBUF, &sndbuf, sizeof sndbuf);
    if (length > 0 && write(pair[1], stream, length) != ssize_t(length))
        abort();
    close(pair[1]);

    // An exactly sized buffer, so that any write beyond it is caught.
    std::vector<char> buf(bufLen ? bufLen : 1);
    size_t at = 0;
    for (;;) {
        int got = Mon_TcpRecv(pair[0], bufLen, buf.data());
        if (at + 2 > length) { // no whole prefix left: the stream has ended
            if (got != -1)
                __builtin_trap();
            break;
        }
        size_t msgLen = size_t(stream[at]) << 8 | stream[at + 1];
        size_t rest = length - at - 2;
        if (msgLen > bufLen) {
            if (got != -1)
                __builtin_trap();
            at += 2 + (msgLen < rest ? msgLen : rest); // skipped exactly
            continue;
        }
        if (msgLen > rest) {
            if (got != -1)
                __builtin_trap();
            break;
        }
        if (got != int(msgLen) || memcmp(buf.data(), stream + at + 2, msgLen) != 0)
            __builtin_trap();
        at += 2 + msgLen;
    }
    close(pair[0]);
    return 0;
}
