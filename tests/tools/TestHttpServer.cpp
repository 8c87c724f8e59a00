#include "TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

TestHttpServer::TestHttpServer(std::string body) : body_(std::move(body))
{
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (bind(listenFd_, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 && listen(listenFd_, 64) == 0
        && getsockname(listenFd_, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        port_ = ntohs(a.sin_port);
    thread_ = std::thread(&TestHttpServer::serve, this);
}

TestHttpServer::~TestHttpServer()
{
    stop_ = true;
    thread_.join();
    close(listenFd_);
}

std::vector<TestHttpServer::Exchange> TestHttpServer::exchanges()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return done_;
}

void TestHttpServer::serve()
{
    while (!stop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        int fd = accept(listenFd_, nullptr, nullptr);
        if (fd < 0)
            continue;
        Exchange e = answer(fd);
        close(fd);
        std::lock_guard<std::mutex> lock(mutex_);
        done_.push_back(e);
    }
}

TestHttpServer::Exchange TestHttpServer::answer(int fd)
{
    Exchange e;
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            return e;
        request.append(buf, size_t(n));
    }
    e.received = request.size();
    std::string response = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n"
                           "Content-Length: " + std::to_string(body_.size()) + "\r\n\r\n" + body_;
    size_t off = 0;
    while (off < response.size()) {
        ssize_t n = send(fd, response.data() + off, response.size() - off, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        off += size_t(n);
    }
    e.sent = off;
    return e;
}

std::string patternBody(size_t size)
{
    std::string body(size, '\0');
    uint32_t x = 12345;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        body[i] = char(x >> 24);
    }
    return body;
}
