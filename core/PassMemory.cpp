// Mapped memory for a poll's big arrays (see PassMemory.h).
#include "core/PassMemory.h"

#include <stdint.h>
#include <sys/mman.h>

namespace {

const size_t HUGE_PAGE = 2u << 20;
// From two huge pages up: below, the heap serves as well and keeps its pages warm.
const size_t LEAST_MAPPED = 2 * HUGE_PAGE;

// Mappings are whole huge pages, aligned, so that every page of the array can be one.
size_t MappedLength(size_t bytes)
{
    return (bytes + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
}

} // namespace

bool IsMappedSize(size_t bytes)
{
    return bytes >= LEAST_MAPPED;
}

void* MapPassMemory(size_t bytes)
{
    size_t length = MappedLength(bytes);
    // Mapped a huge page longer, then cut to an aligned start.
    void* mapped =
        mmap(nullptr, length + HUGE_PAGE, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
    uintptr_t aligned = (start + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    if (aligned > start)
        munmap(mapped, aligned - start);
    if (start + HUGE_PAGE > aligned)
        munmap(reinterpret_cast<void*>(aligned + length), start + HUGE_PAGE - aligned);
    // A kernel without huge pages (or with them turned off) refuses: 4 KiB pages serve.
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void UnmapPassMemory(void* memory, size_t bytes)
{
    if (memory)
        munmap(memory, MappedLength(bytes));
}
