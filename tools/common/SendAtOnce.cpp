// TCP_NODELAY on a socket whose writes are whole messages (see SendAtOnce.h).
#include "tools/common/SendAtOnce.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

// Nagle's algorithm would hold a small reply back until the peer acknowledges the last one; with
// request and answer taking turns, that costs up to 40 ms a round trip.
void SendAtOnce(int fd)
{
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one); // a failure only costs time
}
