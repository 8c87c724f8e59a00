// The memory a poll borrows for its big arrays: mapped from the system above the size where
// huge pages pay, from the heap below, usable to its last byte either way, and given back.
#include "core/PassMemory.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>

#include <vector>

namespace {

// Whether the page at address is mapped in this process (msync refuses unmapped memory).
bool IsMapped(const void* address)
{
    uintptr_t page = reinterpret_cast<uintptr_t>(address) & ~uintptr_t(4095);
    return msync(reinterpret_cast<void*>(page), 4096, MS_ASYNC) == 0;
}

TEST(PassMemory, BigArraysAreMappedZeroedAlignedAndGivenBack)
{
    const size_t small = 1000, big = 5u << 20; // 5 MiB: two huge pages and a part
    EXPECT_FALSE(IsMappedSize(small));
    EXPECT_TRUE(IsMappedSize(big));

    const void* where = nullptr;
    {
        PassArray<uint64_t> array = MakePassArray<uint64_t>(big / sizeof(uint64_t));
        ASSERT_NE(array.get(), nullptr);
        // Aligned to a huge page, so that the kernel may back all of it with them.
        EXPECT_EQ(reinterpret_cast<uintptr_t>(array.get()) % (2u << 20), 0u);
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(array.get());
        EXPECT_EQ(bytes[0], 0);
        EXPECT_EQ(bytes[big - 1], 0);
        memset(array.get(), 0xab, big); // every byte is the array's
        EXPECT_EQ(array[big / sizeof(uint64_t) - 1], 0xababababababababu);
        where = array.get();
        EXPECT_TRUE(IsMapped(where));
    }
    EXPECT_FALSE(IsMapped(where)); // unmapped as it went
}

TEST(PassMemory, VectorsKeepTheirContentsAcrossTheMappedSize)
{
    // Grown byte by byte from the heap into a mapping and past it, as the sort's text store
    // grows with long names; then emptied and given back.
    std::vector<char, PassAllocator<char>> texts;
    const size_t length = 9u << 20;
    for (size_t i = 0; i < length; i++)
        texts.push_back(static_cast<char>('a' + i % 26));
    ASSERT_TRUE(IsMappedSize(texts.capacity()));
    size_t wrong = 0;
    for (size_t i = 0; i < length; i++)
        wrong += texts[i] != static_cast<char>('a' + i % 26);
    EXPECT_EQ(wrong, 0u);

    const char* where = texts.data();
    std::vector<char, PassAllocator<char>>().swap(texts);
    EXPECT_FALSE(IsMapped(where));

    // An empty array holds nothing.
    EXPECT_EQ(MakePassArray<int>(0).get(), nullptr);
}

} // namespace
