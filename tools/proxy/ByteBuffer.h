// A bounded byte queue filled from and drained into non-blocking sockets. The storage is
// taken when bytes come and given back once they are all gone, so that an idle relayed
// connection holds no buffer at all.
#ifndef VANTOR_PROXY_BYTEBUFFER_H
#define VANTOR_PROXY_BYTEBUFFER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sys/types.h>

class ByteBuffer {
public:
    explicit ByteBuffer(size_t capacity) : capacity_(capacity) {}

    size_t size() const { return tail_ - head_; }
    bool empty() const { return head_ == tail_; }
    size_t space() const { return capacity_ - size(); }
    const uint8_t* data() const { return data_.get() + head_; }
    size_t storage() const { return data_ ? capacity_ : 0; } // bytes of memory held

    void append(const void* bytes, size_t n); // n must fit into space()
    void consume(size_t n);

    // One read into the free space: >0 bytes read, 0 end of file, -1 error (errno set;
    // EAGAIN when nothing is waiting).
    ssize_t readFrom(int fd);
    // One send of the queued bytes: bytes sent, or -1 (errno set).
    ssize_t writeTo(int fd);

private:
    size_t capacity_;
    std::unique_ptr<uint8_t[]> data_;
    size_t head_ = 0, tail_ = 0;

    void allocate();
    void releaseIfEmpty();
    void compact(); // moves the queued bytes to the front
};

#endif
