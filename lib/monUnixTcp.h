// Framing of monitor messages over TCP: a 2-byte big-endian length, then the message.
#ifndef VANTOR_MONUNIXTCP_H
#define VANTOR_MONUNIXTCP_H

#include <stddef.h>
#include <stdint.h>

// The port of a monitoring service when the server name gives none.
#define MON_DEFAULT_PORT 5051

// Every frame starts with the length of its message, big-endian, in this many bytes.
enum { MON_FRAME_PREFIX_SIZE = 2 };

// Writes the prefix of a frame whose message is length bytes long.
inline void Mon_PutFramePrefix(unsigned char* prefix, uint16_t length)
{
    prefix[0] = static_cast<unsigned char>(length >> 8);
    prefix[1] = static_cast<unsigned char>(length);
}

// The message length that a frame prefix announces.
inline uint16_t Mon_FramePrefixLength(const unsigned char* prefix)
{
    return static_cast<uint16_t>((prefix[0] << 8) | prefix[1]);
}

// Bytes read at once ahead of the frames asked for: a list of 40 connections (about 900
// bytes each) in one read.
enum { MON_TCP_READ_AHEAD = 64 * 1024 };

// What has been read from one connection ahead of the frames asked for, so that a list of
// many small frames costs one read per 64 KiB instead of two per frame.
typedef struct {
    size_t start;            // first byte of data not yet handed out
    size_t end;              // one past the last byte read
    long long deadline;      // Mon_TcpClockMs() past which no frame may end; 0 for none
    long long frameDeadline; // for a reader that does not wait: past it the next frame is
                             // overdue; 0 for none
    unsigned char data[MON_TCP_READ_AHEAD];
} MonTcpInput_t;

// hostName is a host, a host, a colon and a port, or an IPv6 address in brackets with or
// without ":port", or alone (see Mon_SplitServerName); port is used when it names none.
// Returns a connected socket or -1.
int Mon_TcpConnect(const char* hostName, int port);
// Returns bufLen + 2, or -1 (ETIMEDOUT when the peer takes nothing for the time limit).
int Mon_TcpSend(int sockfd, uint16_t bufLen, const char* bufPtr);
// Returns the message length (0 for an empty frame), or -1.
int Mon_TcpRecv(int sockfd, uint16_t bufLen, char* bufPtr);
// The same through input, which must start zeroed and serve this descriptor only.
int Mon_TcpRecvBuffered(int sockfd, MonTcpInput_t* input, uint16_t bufLen, char* bufPtr);
// The same without ever waiting: -1 with errno EAGAIN when no whole frame has come yet, to
// be called again when sockfd is readable or Mon_TcpWaitLimitMs(input) has passed. Each
// frame must come within the time limit of the one before (or of frameDeadline's setting),
// and all of them before input->deadline; past either the call fails with ETIMEDOUT.
int Mon_TcpRecvBufferedNoWait(int sockfd, MonTcpInput_t* input, uint16_t bufLen, char* bufPtr);
// Milliseconds until a reader that does not wait must look again (0 when overdue), or -1
// when no deadline is set.
int Mon_TcpWaitLimitMs(const MonTcpInput_t* input);
// Sets frameDeadline one time limit from now.
void Mon_TcpStartFrameClock(MonTcpInput_t* input);
// Closes a descriptor greater than 0. Always 0.
int Mon_TcpClose(int sockfd);

// The time limit of connecting, of sending a frame and of receiving one, counted from the
// start of the call: a peer that trickles a byte at a time cannot hold a call longer
// (30000 ms unless changed; tests shorten it). Past it the call fails with ETIMEDOUT.
// Returns the previous value.
int Mon_TcpSetTimeout(int milliseconds);
// Milliseconds on a clock that never goes back, for deadlines.
long long Mon_TcpClockMs(void);

#endif
