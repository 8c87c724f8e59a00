// The exporter's HTTP side (see HttpServer.h): one poll() loop over non-blocking clients.
#include "tools/exporter/HttpServer.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <list>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// One scraper's connection: its request as read so far, then its reply as written so far. The
// deadline covers the whole exchange, so a client that sends slowly or reads slowly is dropped.
struct Client {
    int fd;
    Clock::time_point deadline;
    std::string request;
    std::string reply; // once set, only written out
    size_t sent = 0;
};

const char* ReasonOf(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Internal Server Error";
    }
}

// Every reply carries its length and closes the connection after it: scrapers open a connection per
// scrape anyway, and there is then no keep-alive state to track.
std::string Reply(const HttpResponse& r)
{
    std::string head = "HTTP/1.1 " + std::to_string(r.status) + " " + ReasonOf(r.status) + "\r\n";
    head += "Content-Type: " + (r.contentType.empty() ? "text/plain; charset=utf-8" : r.contentType)
        + "\r\n";
    head += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
    // HTTP requires a 405 to say which methods would have been answered.
    if (r.status == 405)
        head += "Allow: GET\r\n";
    head += "Connection: close\r\n\r\n";
    return head + r.body;
}

HttpResponse Plain(int status, const std::string& text)
{
    return {status, "", text + "\n"};
}

// The answer to a whole request head.
HttpResponse Answer(const std::string& head, const HttpServer::Handler& handler)
{
    std::string line = head.substr(0, head.find_first_of("\r\n"));
    size_t sp1 = line.find(' ');
    size_t sp2 = sp1 == std::string::npos ? sp1 : line.find(' ', sp1 + 1);
    // The request line must be METHOD TARGET HTTP/x; anything else is not HTTP.
    if (sp2 == std::string::npos || line.compare(sp2 + 1, 5, "HTTP/") != 0)
        return Plain(400, "Bad request");
    if (line.compare(0, sp1, "GET") != 0)
        return Plain(405, "Only GET is answered");
    std::string target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    // The query is ignored: Prometheus may add one, and no page takes parameters.
    return handler(target.substr(0, target.find('?')));
}

void SetNonBlocking(int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// Reads what the client sent; false when the client is done with (its reply is then set or
// it went away).
bool ReadRequest(Client* c, const HttpServer::Handler& handler)
{
    char buffer[4096];
    ssize_t n = recv(c->fd, buffer, sizeof buffer, 0);
    // A read error drops the client, except EAGAIN or a signal, which only mean: wait.
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    if (n == 0)
        return false;
    c->request.append(buffer, static_cast<size_t>(n));
    size_t end = c->request.find("\r\n\r\n");
    // Bare newlines are taken too, as people typing at a terminal send them.
    if (end == std::string::npos)
        end = c->request.find("\n\n");
    // A head that never ends is cut off at the limit, so a client cannot make us hold unbounded
    // memory. The body of a GET, if any, is never read.
    if (end == std::string::npos && c->request.size() >= HttpServer::kRequestMax)
        c->reply = Reply(Plain(431, "Request too large"));
    else if (end != std::string::npos)
        c->reply = Reply(Answer(c->request.substr(0, end), handler));
    return true;
}

// Writes what the socket takes; false once the reply is out or the client went away.
bool WriteReply(Client* c)
{
    // MSG_NOSIGNAL: a scraper that hung up must not end the exporter with SIGPIPE.
    ssize_t n = send(c->fd, c->reply.data() + c->sent, c->reply.size() - c->sent, MSG_NOSIGNAL);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    c->sent += static_cast<size_t>(n);
    return c->sent < c->reply.size();
}

} // namespace

HttpServer::~HttpServer()
{
    if (listenFd_ >= 0)
        close(listenFd_);
}

bool HttpServer::Listen(const ListenAddress& address, std::string* error)
{
    listenFd_ = socket(address.address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    // Restarting the exporter must not wait for the old connections' TIME_WAIT to pass.
    if (listenFd_ >= 0)
        setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (listenFd_ < 0
        || bind(listenFd_, reinterpret_cast<const sockaddr*>(&address.address), address.length) < 0
        || listen(listenFd_, 64) < 0) {
        *error = strerror(errno);
        return false;
    }
    // Non-blocking, so an accept whose client has gone already cannot hang the loop.
    SetNonBlocking(listenFd_);
    return true;
}

void HttpServer::Run(const Handler& handler, int stopFd)
{
    std::list<Client> clients;
    std::vector<pollfd> fds;
    for (;;) {
        fds.clear();
        // Slot 0 is the stop pipe, slot 1 the listening socket, the clients follow in list order.
        fds.push_back({stopFd, POLLIN, 0});
        // At the limit of clients the listening socket is left out of the poll: new scrapers wait
        // in the kernel's backlog instead of being accepted and dropped.
        bool room = clients.size() < kClientsMax;
        fds.push_back({room ? listenFd_ : -1, POLLIN, 0});
        auto now = Clock::now();
        int waitMs = -1;
        for (const Client& c : clients) {
            fds.push_back({c.fd, static_cast<short>(c.reply.empty() ? POLLIN : POLLOUT), 0});
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(c.deadline - now);
            // The poll wakes at the earliest deadline (rounded up, so it wakes after it, not just
            // before).
            int ms = left.count() < 0 ? 0 : static_cast<int>(left.count()) + 1;
            waitMs = waitMs < 0 || ms < waitMs ? ms : waitMs;
        }
        if (poll(fds.data(), fds.size(), waitMs) < 0 && errno != EINTR)
            return;
        // Anything on the stop pipe ends the loop.
        if (fds[0].revents)
            break;
        now = Clock::now();
        size_t i = 2;
        for (auto it = clients.begin(); it != clients.end(); ++i) {
            Client& c = *it;
            bool keep = now < c.deadline;
            if (keep && fds[i].revents)
                keep = c.reply.empty() ? ReadRequest(&c, handler) : WriteReply(&c);
            if (keep) {
                ++it;
            } else {
                close(c.fd);
                it = clients.erase(it);
            }
        }
        if (fds[1].revents) {
            int fd;
            while (clients.size() < kClientsMax
                   && (fd = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC))
                       >= 0)
                clients.push_back(
                    {fd, Clock::now() + std::chrono::seconds(kClientSeconds), "", ""});
        }
    }
    for (Client& c : clients)
        close(c.fd);
}
