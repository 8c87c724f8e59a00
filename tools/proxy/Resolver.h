// Name resolution off the event loop: a few worker threads call the blocking resolver and
// hands the answers back through an eventfd that the loop watches.
#ifndef VANTOR_PROXY_RESOLVER_H
#define VANTOR_PROXY_RESOLVER_H

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <netinet/in.h>

class Resolver {
public:
    struct Answer {
        uint64_t ticket = 0;
        bool found = false;
        in_addr addr{};  // the first IPv4 address of the name
    };

    Resolver();
    ~Resolver();
    Resolver(const Resolver &) = delete;
    Resolver &operator=(const Resolver &) = delete;

    // Readable when answers are waiting.
    int eventFd() const { return eventFd_; }
    void lookup(uint64_t ticket, const std::string &name);
    // The answers that arrived since the last call.
    std::vector<Answer> takeAnswers();

private:
    int eventFd_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<uint64_t, std::string>> pending_;
    std::vector<Answer> answers_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;

    void run();
};

#endif
