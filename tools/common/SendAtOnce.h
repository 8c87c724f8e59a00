// Turning off Nagle's delay on a socket whose writes are already whole messages or batches.
#ifndef VANTOR_TOOLS_SENDATONCE_H
#define VANTOR_TOOLS_SENDATONCE_H

// Sends every write at once instead of holding a small one back until the data before it is
// acknowledged. With the peer's delayed acknowledgement that hold costs about 40 ms: the
// small last piece of a monitor list reply, the tail of a relayed burst, a keystroke
// relayed behind other data.
void SendAtOnce(int fd);

#endif
