// A tiny HTTP/1.0 server on a free loopback port: answers every request with one fixed
// body and closes, and counts the bytes of each connection so that tests can compare
// them with what the proxy reports.
#ifndef VANTOR_TEST_TESTHTTPSERVER_H
#define VANTOR_TEST_TESTHTTPSERVER_H

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <sys/socket.h>

class TestHttpServer {
public:
    struct Exchange {
        size_t received = 0; // request bytes read from the client
        size_t sent = 0;     // response bytes written to it (0 if the client left early)
    };

    // family AF_INET6 listens on ::1 instead of 127.0.0.1.
    explicit TestHttpServer(std::string body, int family = AF_INET);
    ~TestHttpServer();

    int port() const { return port_; }
    const std::string& body() const { return body_; }
    // The finished exchanges, oldest first.
    std::vector<Exchange> exchanges();

private:
    std::string body_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Exchange> done_;
    std::thread thread_;

    void serve();
    Exchange answer(int fd);
};

// Makes a body of the given size whose bytes differ from place to place.
std::string patternBody(size_t size);

#endif
