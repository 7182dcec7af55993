#include "platform/MemoryPolicy.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

TEST(MemoryPolicy, AFreedLargeBlockStaysInTheProcessForTheNextOne) {
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "needs the GNU C library's own allocator";
#else
    KeepFreedMemoryForReuse();
    constexpr std::size_t kSize = std::size_t{8} << 20;
    const struct mallinfo2 start = mallinfo2();
    char* block = static_cast<char*>(std::malloc(kSize));
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, kSize);
    const struct mallinfo2 used = mallinfo2();
    EXPECT_EQ(used.hblkhd, start.hblkhd); // from the heap, not a mapping of its own
    std::free(block);
    const struct mallinfo2 freed = mallinfo2();
    EXPECT_GE(freed.fordblks, kSize); // kept for the next request
    EXPECT_GE(freed.arena, used.arena);
    // The next block of that size reuses it without growing the heap.
    char* again = static_cast<char*>(std::malloc(kSize));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(mallinfo2().arena, freed.arena);
    std::free(again);
#endif
}
