// A minimal blocking SOCKS5 client for tests that need more control than curl gives:
// other commands, many connections at once, reading at their own pace.
#ifndef VANTOR_TEST_SOCKSCLIENT_H
#define VANTOR_TEST_SOCKSCLIENT_H

#include <cstdint>
#include <string>

// Connects to the proxy, negotiates "no authentication" and sends a request for
// 127.0.0.1:port with the given command. Returns the socket and stores the reply code
// (-1 when no reply came), or returns -1.
int socksOpen(int proxyPort, int destPort, uint8_t command, int *reply);
// Sends all bytes; false on failure.
bool sendAll(int fd, const std::string &bytes);
// Reads until end of file (or error); returns what arrived.
std::string readToEnd(int fd);

#endif
