// The relay's kernel pipe (see SplicePipe.h).
#include "tools/proxy/SplicePipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {
// Room asked for in each pipe, the most an unprivileged process may ask for by default: per
// GiB relayed over loopback the proxy spends 0.45 CPU seconds with 64 KiB pipes, 0.35 with
// 256 KiB and 0.19 with 1 MiB. Pages are only held while bytes wait in the pipe.
const int PIPE_BYTES = 1024 * 1024;
// The default size. Smaller pipes, the token ones the kernel makes once the user's pipe
// memory is spent, move so little per call that copying serves better.
const int LEAST_PIPE_BYTES = 64 * 1024;
const unsigned MOVE_FLAGS = SPLICE_F_NONBLOCK | SPLICE_F_MOVE;
} // namespace

SplicePipe::~SplicePipe()
{
    close();
}

bool SplicePipe::open()
{
    if (isOpen())
        return true;
    int fds[2];
    if (refused_ || pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
        refused_ = true;
        return false;
    }
    readFd_ = fds[0];
    writeFd_ = fds[1];
    // Refused near the per-user limit on pipe memory, where the default size still serves;
    // past that limit the kernel makes only token pipes.
    fcntl(writeFd_, F_SETPIPE_SZ, PIPE_BYTES);
    int size = fcntl(writeFd_, F_GETPIPE_SZ);
    if (size < LEAST_PIPE_BYTES) {
        close();
        refused_ = true;
        return false;
    }
    capacity_ = uint32_t(size);
    return true;
}

void SplicePipe::close()
{
    if (!isOpen())
        return;
    ::close(readFd_);
    ::close(writeFd_);
    readFd_ = writeFd_ = -1;
    size_ = capacity_ = 0;
    full_ = used_ = false;
}

ssize_t SplicePipe::fillFrom(int fd)
{
    if (size_ >= capacity_) {
        full_ = true;
        errno = EAGAIN; // a splice of 0 bytes would look like end of file
        return -1;
    }
    ssize_t n = splice(fd, nullptr, writeFd_, nullptr, capacity_ - size_, MOVE_FLAGS);
    if (n > 0) {
        size_ += uint32_t(n);
        used_ = true;
        full_ = size_ >= capacity_;
    } else if (n < 0 && errno == EAGAIN && size_ > 0) {
        // The pipe counts pages, not bytes, so it can be full below its capacity. Whether
        // the socket was empty or the pipe full cannot be told apart here: wait for the
        // pipe to drain either way, rather than poll a readable socket in vain.
        full_ = true;
    }
    return n;
}

ssize_t SplicePipe::drainTo(int fd)
{
    ssize_t n = splice(readFd_, nullptr, fd, nullptr, size_, MOVE_FLAGS);
    if (n > 0) {
        size_ -= uint32_t(n);
        full_ = false;
    }
    return n;
}

void SplicePipe::closeIfIdle()
{
    if (empty() && !used_)
        close();
    used_ = false;
    refused_ = false;
}
