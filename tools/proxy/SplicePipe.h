// A kernel pipe through which splice() moves bytes from one socket to another without
// copying them into the proxy. It is opened when bytes first come and closed once it has
// stood empty for a while, so that an idle relayed connection holds no pipe.
#ifndef VANTOR_PROXY_SPLICEPIPE_H
#define VANTOR_PROXY_SPLICEPIPE_H

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

class SplicePipe {
public:
    SplicePipe() = default;
    ~SplicePipe();
    SplicePipe(const SplicePipe&) = delete;
    SplicePipe& operator=(const SplicePipe&) = delete;

    size_t size() const { return size_; } // bytes waiting in the pipe
    bool empty() const { return size_ == 0; }
    bool isOpen() const { return readFd_ >= 0; }
    // True when the last fill found no room: no more fills until some bytes have left.
    bool full() const { return full_; }

    // Opens the pipe unless it is open. False when none worth having can be had: no
    // descriptor left, or the kernel would give only a token pipe (the user's pipe memory is
    // spent); then no other is tried before the next closeIfIdle.
    bool open();
    // One splice from the socket into the open pipe: >0 bytes moved, 0 end of file, -1 error
    // (errno set; EAGAIN when nothing is waiting or the pipe has no room).
    ssize_t fillFrom(int fd);
    // One splice of the waiting bytes into the socket: bytes moved, or -1 (errno set).
    ssize_t drainTo(int fd);
    // Called once a second: closes the pipe if it is empty and nothing has passed through it
    // since the last call, and lets a refused open be tried again.
    void closeIfIdle();

private:
    int readFd_ = -1, writeFd_ = -1;
    uint32_t size_ = 0, capacity_ = 0;
    bool full_ = false;
    bool used_ = false;    // bytes came in since the last closeIfIdle
    bool refused_ = false; // the last open failed

    void close();
};

#endif
