// A bounded byte queue filled from and drained into non-blocking sockets.
#ifndef VANTOR_PROXY_BYTEBUFFER_H
#define VANTOR_PROXY_BYTEBUFFER_H

#include <cstddef>
#include <cstdint>
#include <vector>
#include <sys/types.h>

class ByteBuffer {
public:
    explicit ByteBuffer(size_t capacity) : data_(capacity) {}

    size_t size() const { return tail_ - head_; }
    bool empty() const { return head_ == tail_; }
    size_t space() const { return data_.size() - size(); }
    const uint8_t *data() const { return data_.data() + head_; }

    void append(const void *bytes, size_t n);  // n must fit into space()
    void consume(size_t n);

    // One read into the free space: >0 bytes read, 0 end of file, -1 error (errno set;
    // EAGAIN when nothing is waiting).
    ssize_t readFrom(int fd);
    // One send of the queued bytes: bytes sent, or -1 (errno set).
    ssize_t writeTo(int fd);

private:
    std::vector<uint8_t> data_;
    size_t head_ = 0, tail_ = 0;

    void compact();
};

#endif
