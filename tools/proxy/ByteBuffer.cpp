// The relay's byte queue (see ByteBuffer.h).
#include "tools/proxy/ByteBuffer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

void ByteBuffer::allocate()
{
    if (!data_)
        data_.reset(new uint8_t[capacity_]); // uninitialised on purpose: pages stay untouched
}

// An empty buffer holds no memory, so thousands of idle sessions cost almost nothing.
void ByteBuffer::releaseIfEmpty()
{
    if (empty()) {
        data_.reset();
        head_ = tail_ = 0;
    }
}

// Moves the bytes to the front, so the room freed by consume() can be filled again.
void ByteBuffer::compact()
{
    if (head_ == 0)
        return;
    std::memmove(data_.get(), data_.get() + head_, size());
    tail_ -= head_;
    head_ = 0;
}

// The caller makes sure the bytes fit; only the handshake's short replies come this way.
void ByteBuffer::append(const void* bytes, size_t n)
{
    allocate();
    if (capacity_ - tail_ < n)
        compact();
    std::memcpy(data_.get() + tail_, bytes, n);
    tail_ += n;
}

void ByteBuffer::consume(size_t n)
{
    head_ += n;
    releaseIfEmpty();
}

ssize_t ByteBuffer::readFrom(int fd)
{
    if (space() == 0) {
        errno = EAGAIN; // a read of 0 bytes would look like end of file
        return -1;
    }
    allocate();
    if (tail_ == capacity_)
        compact();
    ssize_t n = read(fd, data_.get() + tail_, capacity_ - tail_);
    if (n > 0)
        tail_ += size_t(n);
    else {
        int saved = errno;
        releaseIfEmpty(); // nothing came: keep no storage for nothing
        errno = saved;
    }
    return n;
}

// MSG_NOSIGNAL: a peer that closed gives EPIPE here, not a signal that would end the proxy.
ssize_t ByteBuffer::writeTo(int fd)
{
    ssize_t n = send(fd, data(), size(), MSG_NOSIGNAL);
    if (n > 0)
        consume(size_t(n));
    return n;
}
