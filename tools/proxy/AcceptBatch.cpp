#include "tools/proxy/AcceptBatch.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <string>

void acceptBatch(ProxyContext &ctx, Watch &listen, int batch,
                 const std::function<void(int fd, const sockaddr_storage &peer)> &take)
{
    for (int i = 0; i < batch; ++i) {
        sockaddr_storage peer{};
        socklen_t len = sizeof peer;
        int fd = accept4(listen.fd, reinterpret_cast<sockaddr *>(&peer), &len,
                         SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                ctx.log.warning(std::string("accept: ") + std::strerror(errno));
                ctx.poller.watch(listen, 0); // resumed by the next tick
            }
            return;
        }
        take(fd, peer);
    }
}
