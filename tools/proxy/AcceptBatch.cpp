// Taking a bounded batch of new connections off a listening socket (see AcceptBatch.h).
#include "tools/proxy/AcceptBatch.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <string>

void acceptBatch(ProxyContext& ctx, Watch& listen, int batch,
                 const std::function<void(int fd, const sockaddr_storage& peer)>& take)
{
    for (int i = 0; i < batch; ++i) {
        sockaddr_storage peer{};
        socklen_t len = sizeof peer;
        int fd = accept4(listen.fd, reinterpret_cast<sockaddr*>(&peer), &len,
                         SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            // Out of descriptors or memory, the waiting connection would wake the loop again at
            // once and for ever; the listener rests until the next tick instead, while the sessions
            // already open go on.
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                ctx.log.warning(std::string("accept: ") + std::strerror(errno));
                ctx.poller.watch(listen, 0); // resumed by the next tick
            }
            // EAGAIN (none left), or a client that gave up before we took it: nothing to do.
            return;
        }
        take(fd, peer);
    }
}
