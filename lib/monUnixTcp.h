// Framing of monitor messages over TCP: a 2-byte big-endian length, then the message.
#ifndef VANTOR_MONUNIXTCP_H
#define VANTOR_MONUNIXTCP_H

#include <stdint.h>

#define MON_DEFAULT_PORT 5051

// Every frame starts with the length of its message, big-endian, in this many bytes.
enum { MON_FRAME_PREFIX_SIZE = 2 };

// Writes the prefix of a frame whose message is length bytes long.
inline void Mon_PutFramePrefix(unsigned char *prefix, uint16_t length)
{
    prefix[0] = static_cast<unsigned char>(length >> 8);
    prefix[1] = static_cast<unsigned char>(length);
}

// The message length that a frame prefix announces.
inline uint16_t Mon_FramePrefixLength(const unsigned char *prefix)
{
    return static_cast<uint16_t>((prefix[0] << 8) | prefix[1]);
}

// hostName is a host, or a host, a colon and a port. Returns a connected socket or -1.
int Mon_TcpConnect(const char *hostName, int port);
// Returns bufLen + 2, or -1.
int Mon_TcpSend(int sockfd, uint16_t bufLen, const char *bufPtr);
// Returns the message length (0 for an empty frame), or -1.
int Mon_TcpRecv(int sockfd, uint16_t bufLen, char *bufPtr);
// Closes a descriptor greater than 0. Always 0.
int Mon_TcpClose(int sockfd);

// How long connect and each read wait for progress before failing with ETIMEDOUT
// (30000 ms unless changed; tests shorten it). Returns the previous value.
int Mon_TcpSetTimeout(int milliseconds);

#endif
