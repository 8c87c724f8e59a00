// A monitoring service that answers every list request with the same captured pass, byte
// for byte, so that a poll can be timed without the cost of a server that builds its list.
#ifndef VANTOR_BENCH_REPLAYSERVER_H
#define VANTOR_BENCH_REPLAYSERVER_H

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "lib/monMsg.h"
#include "lib/monUnixTcp.h"

class ReplayServer {
public:
    // Captures one pass of the list served at address (host:port).
    explicit ReplayServer(const std::string& address)
    {
        int fd = Mon_TcpConnect(address.c_str(), MON_DEFAULT_PORT);
        char request[2] = {MON_MSG_GET_NEXT_CONN, 0};
        if (fd < 0 || Mon_TcpSend(fd, sizeof request, request) < 0)
            return;
        for (;;) {
            unsigned char prefix[2];
            if (!ReadAll(fd, prefix, 2))
                break;
            size_t len = static_cast<size_t>(prefix[0] << 8 | prefix[1]);
            size_t at = pass_.size();
            pass_.insert(pass_.end(), prefix, prefix + 2);
            pass_.resize(at + 2 + len);
            if (len == 0 || !ReadAll(fd, pass_.data() + at + 2, len))
                break;
            records_++;
        }
        close(fd);
        listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
        struct sockaddr_in addr;
        memset(&addr, 0, sizeof addr);
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t addrLen = sizeof addr;
        bind(listenFd_, reinterpret_cast<struct sockaddr*>(&addr), sizeof addr);
        listen(listenFd_, 4);
        getsockname(listenFd_, reinterpret_cast<struct sockaddr*>(&addr), &addrLen);
        address_ = "127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
        thread_ = std::thread([this] { Serve(); });
    }
    ~ReplayServer()
    {
        shutdown(listenFd_, SHUT_RDWR);
        close(listenFd_);
        thread_.join();
    }

    const std::string& address() const { return address_; }
    size_t bytes() const { return pass_.size(); }
    int records() const { return records_; }

private:
    static bool ReadAll(int fd, unsigned char* at, size_t len)
    {
        while (len > 0) {
            ssize_t n = read(fd, at, len);
            if (n <= 0)
                return false;
            at += n;
            len -= static_cast<size_t>(n);
        }
        return true;
    }

    // One client at a time: each request frame is answered with the whole pass.
    void Serve()
    {
        for (;;) {
            int fd = accept(listenFd_, nullptr, nullptr);
            if (fd < 0)
                return;
            unsigned char request[2 + 65535];
            while (ReadAll(fd, request, 2)
                   && ReadAll(fd, request + 2, static_cast<size_t>(request[0] << 8 | request[1]))) {
                const unsigned char* at = pass_.data();
                size_t left = pass_.size();
                while (left > 0) {
                    ssize_t n = write(fd, at, left);
                    if (n <= 0)
                        break;
                    at += n;
                    left -= static_cast<size_t>(n);
                }
            }
            close(fd);
        }
    }

    std::vector<unsigned char> pass_;
    int records_ = 0;
    int listenFd_ = -1;
    std::string address_;
    std::thread thread_;
};

#endif
