#include "AllocationCounter.h"

#include <atomic>
#include <cerrno>
#include <cstddef>

// The C library's own entry points, which the replacements below forward to
// (glibc exports them for exactly this purpose).
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {
std::atomic<long> allocations{0};
void Count() noexcept { allocations.fetch_add(1, std::memory_order_relaxed); }
}  // namespace

namespace bench {
long Allocations() noexcept { return allocations.load(std::memory_order_relaxed); }
}  // namespace bench

extern "C" {

void* malloc(std::size_t size) {
    Count();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
    Count();
    return __libc_calloc(count, size);
}

// Growing or moving a block is an allocation; shrinking to nothing is a free.
void* realloc(void* block, std::size_t size) {
    if (size != 0 || !block) Count();
    return __libc_realloc(block, size);
}

void free(void* block) { __libc_free(block); }

void* memalign(std::size_t alignment, std::size_t size) {
    Count();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) { return memalign(alignment, size); }

int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* block = memalign(alignment, size);
    if (!block) return ENOMEM;
    *out = block;
    return 0;
}

}  // extern "C"
