// Taking new connections off a listening socket, shared by the SOCKS listeners and the
// monitoring service.
#ifndef VANTOR_PROXY_ACCEPTBATCH_H
#define VANTOR_PROXY_ACCEPTBATCH_H

#include <sys/socket.h>

#include <functional>

#include "tools/proxy/Poller.h"
#include "tools/proxy/ProxyContext.h"

// Accepts up to batch pending connections on listen and hands each, non-blocking, to take
// with its peer's address; take owns the descriptor. The batch is bounded so that a flood
// of clients cannot starve the relays. Out of descriptors it warns and stops watching
// listen until the next tick resumes it, instead of spinning.
void acceptBatch(ProxyContext& ctx, Watch& listen, int batch,
                 const std::function<void(int fd, const sockaddr_storage& peer)>& take);

#endif
