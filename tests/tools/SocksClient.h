// A minimal blocking SOCKS5 client for tests that need more control than curl gives:
// other commands, many connections at once, reading at their own pace; and the loopback
// sockets the tests and fixtures build on.
#ifndef VANTOR_TEST_SOCKSCLIENT_H
#define VANTOR_TEST_SOCKSCLIENT_H

#include <cstdint>
#include <string>
#include <sys/socket.h>

// Connects to the proxy, negotiates "no authentication" and sends a request for
// 127.0.0.1:port with the given command. Returns the socket and stores the reply code
// (-1 when no reply came) and, when asked, the reply's address, or returns -1.
int socksOpen(int proxyPort, int destPort, uint8_t command, int* reply,
              sockaddr_storage* bound = nullptr);
// Reads a request's reply (as BIND sends a second one): false when none came; else its
// code and its address, IPv4 or IPv6.
bool socksReadReply(int fd, int* reply, sockaddr_storage* bound);
// Sends all bytes; false on failure.
bool sendAll(int fd, const std::string& bytes);
// Reads until end of file (or error); returns what arrived.
std::string readToEnd(int fd);
// A socket listening on 127.0.0.1 (or ::1 for AF_INET6) at a free port, stored in *port;
// -1 on failure.
int listenLoopback(int backlog, int* port, int family = AF_INET);
// A socket connected to 127.0.0.1:port, or -1; rcvbuf > 0 sets its receive buffer first;
// source, another loopback address such as "127.0.0.2", is the address it connects from.
int connectLoopback(int port, int rcvbuf = 0, const char* source = nullptr);

#endif
