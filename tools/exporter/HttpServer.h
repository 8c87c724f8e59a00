// A small HTTP/1.x server for the scrapes: one thread, one poll() loop, non-blocking
// sockets, so that a slow or stuck client holds up nobody. Only GET is answered; a request
// head may hold at most kRequestMax bytes and must come, and the answer be taken, within
// kClientSeconds; at most kClientsMax clients are served at once (more wait in the backlog).
// Every answer closes its connection.
#ifndef VANTOR_EXPORTER_HTTPSERVER_H
#define VANTOR_EXPORTER_HTTPSERVER_H

#include <functional>
#include <string>

#include "tools/exporter/ExporterOptions.h"

struct HttpResponse {
    int status = 200;
    std::string contentType;
    std::string body;
};

class HttpServer {
public:
    enum { kRequestMax = 8192, kClientSeconds = 10, kClientsMax = 64 };
    // Answers a GET of a path (without its query).
    using Handler = std::function<HttpResponse(const std::string& path)>;

    HttpServer() = default;
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    bool Listen(const ListenAddress& address, std::string* error);
    // Serves until stopFd becomes readable.
    void Run(const Handler& handler, int stopFd);

private:
    int listenFd_ = -1;
};

#endif
