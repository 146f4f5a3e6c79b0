// BstrPool: blocks for short strings, carved one after another out of
// aligned slabs instead of one heap allocation each.
//
// A grid holds millions of short strings that all die together; handed to
// the heap one by one they make every fill pay the heap's bookkeeping for
// the previous grid's strings. Here a block costs a pointer bump on the
// allocating thread and freeing it one atomic decrement of its slab's count
// of live blocks; a slab whose blocks are all free is kept for the next
// ones (a few) or returned to the heap. A slab is found from any of its
// blocks by rounding the address down, so blocks carry no header of their
// own.
//
// Safe from any thread: each thread carves from its own slab, and a block
// may be freed on any thread. Under AddressSanitizer the pool is off
// (Enabled() is false): every string is then its own heap block, so that
// overflows and leaks are seen string by string.
#pragma once

#include <cstddef>

namespace platform::posix {

class BstrPool {
public:
    // Blocks up to this many bytes come from the pool.
    static constexpr std::size_t kLargestBlock = 512;

    static constexpr bool Enabled() noexcept {
#if defined(__SANITIZE_ADDRESS__)
        return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
        return false;
#else
        return true;
#endif
#else
        return true;
#endif
    }

    // A block of at least `bytes` bytes (at most kLargestBlock), 8-byte
    // aligned; null when no slab can be had.
    static void* Allocate(std::size_t bytes) noexcept;
    // Takes back a block from Allocate, on any thread.
    static void Free(void* block) noexcept;
    // Slabs in use or kept empty, for tests.
    static long SlabCount() noexcept;
};

}  // namespace platform::posix
