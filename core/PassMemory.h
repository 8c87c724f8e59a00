// Memory for the arrays a big poll borrows and gives back when it ends: its sort keys and
// the lists it builds while rows age. Arrays of a few megabytes and more are mapped
// straight from the system and asked to be backed by 2 MiB pages, so that filling one
// costs a page fault per 2 MiB rather than one per 4 KiB (over 4,000 for the sort keys of
// 400,000 rows, in every poll); unmapping gives the memory back at once. Smaller arrays
// come from the heap as usual.
#ifndef VANTOR_PASSMEMORY_H
#define VANTOR_PASSMEMORY_H

#include <stddef.h>

#include <stdint.h>

#include <memory>
#include <new>
#include <type_traits>

// Maps bytes of zeroed memory for one array; nullptr when the system refuses.
void* MapPassMemory(size_t bytes);
// Gives back what MapPassMemory(bytes) mapped.
void UnmapPassMemory(void* memory, size_t bytes);
// Whether an array of this many bytes is mapped rather than taken from the heap.
bool IsMappedSize(size_t bytes);

// A standard allocator over the above, for vectors of plain elements.
template <class T>
struct PassAllocator {
    using value_type = T;

    PassAllocator() = default;
    template <class U>
    PassAllocator(const PassAllocator<U>&)
    {
    }

    T* allocate(size_t count)
    {
        if (count > SIZE_MAX / sizeof(T))
            throw std::bad_alloc();
        size_t bytes = count * sizeof(T);
        void* memory = IsMappedSize(bytes) ? MapPassMemory(bytes) : ::operator new(bytes);
        if (!memory)
            throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, size_t count)
    {
        size_t bytes = count * sizeof(T);
        if (IsMappedSize(bytes))
            UnmapPassMemory(memory, bytes);
        else
            ::operator delete(memory);
    }
};

template <class T, class U>
bool operator==(const PassAllocator<T>&, const PassAllocator<U>&)
{
    return true;
}
template <class T, class U>
bool operator!=(const PassAllocator<T>&, const PassAllocator<U>&)
{
    return false;
}

// An array of count plain elements, left uninitialised, given back as it goes.
template <class T>
struct PassArrayDelete {
    size_t count = 0;
    void operator()(T* memory) const { PassAllocator<T>().deallocate(memory, count); }
};
template <class T>
using PassArray = std::unique_ptr<T[], PassArrayDelete<T>>;

template <class T>
PassArray<T> MakePassArray(size_t count)
{
    static_assert(std::is_trivially_copyable<T>::value, "elements are not constructed");
    return PassArray<T>(count ? PassAllocator<T>().allocate(count) : nullptr,
                        PassArrayDelete<T>{count});
}

#endif
