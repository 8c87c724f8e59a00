#include "tests/tools/TestHttpServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/tools/SocksClient.h"

TestHttpServer::TestHttpServer(std::string body, int family) : body_(std::move(body))
{
    listenFd_ = listenLoopback(64, &port_, family);
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
    std::string header = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n"
                         "Content-Length: "
        + std::to_string(body_.size()) + "\r\n\r\n";
    // The body goes from where it is kept: a copy of a large one would cost more than
    // sending it.
    e.sent = sendAll(fd, header) && sendAll(fd, body_) ? header.size() + body_.size() : 0;
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
