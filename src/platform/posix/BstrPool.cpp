#include "platform/posix/BstrPool.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

namespace platform::posix {
namespace {

constexpr std::size_t kSlabBytes = std::size_t{256} << 10;
constexpr std::size_t kAlignment = 8;
// Empty slabs kept for reuse; beyond them an emptied slab goes back to the heap.
constexpr std::size_t kKeptSlabs = 64;

// A slab's count of live blocks starts this high, so that it cannot reach
// zero while its thread still carves from it. The thread adds in what it
// carved when it moves on (Retire); from then on the last free empties it.
constexpr std::int64_t kCarving = std::int64_t{1} << 40;

struct Slab {
    std::atomic<std::int64_t> live{kCarving};
};
constexpr std::size_t kFirstBlock = (sizeof(Slab) + kAlignment - 1) / kAlignment * kAlignment;

std::mutex slabsLock;
std::array<Slab*, kKeptSlabs> kept{};
std::size_t keptCount = 0;
std::atomic<long> slabCount{0};

Slab* NewSlab() noexcept {
    {
        const std::lock_guard<std::mutex> hold(slabsLock);
        if (keptCount > 0) return kept[--keptCount];
    }
    void* memory = std::aligned_alloc(kSlabBytes, kSlabBytes);
    if (!memory) return nullptr;
    ++slabCount;
    return new (memory) Slab;
}

// Every block of the slab is free.
void Recycle(Slab* slab) noexcept {
    slab->live.store(kCarving, std::memory_order_relaxed);
    {
        const std::lock_guard<std::mutex> hold(slabsLock);
        if (keptCount < kKeptSlabs) {
            kept[keptCount++] = slab;
            return;
        }
    }
    slab->~Slab();
    std::free(slab);
    --slabCount;
}

void Release(Slab* slab, std::int64_t blocks) noexcept {
    if (slab->live.fetch_sub(blocks, std::memory_order_acq_rel) == blocks) Recycle(slab);
}

// The slab this thread carves from. Trivially destructible, so that it
// stays usable (and empty) after the thread's Retirer has run.
struct Cursor {
    Slab* slab;
    std::size_t used;
    std::int64_t carved;

    void Retire() noexcept {
        if (!slab) return;
        Release(slab, kCarving - carved);
        slab = nullptr;
    }
};
constinit thread_local Cursor cursor{nullptr, 0, 0};

// Hands the thread's slab back when the thread ends.
struct Retirer {
    ~Retirer() { cursor.Retire(); }
};
thread_local Retirer retirer;

}  // namespace

void* BstrPool::Allocate(std::size_t bytes) noexcept {
    const std::size_t size = (bytes + kAlignment - 1) / kAlignment * kAlignment;
    if (size > kLargestBlock) return nullptr;
    Cursor& c = cursor;
    if (!c.slab || c.used + size > kSlabBytes) {
        c.Retire();
        (void)&retirer;  // registers its destructor for this thread
        c.slab = NewSlab();
        if (!c.slab) return nullptr;
        c.used = kFirstBlock;
        c.carved = 0;
    }
    void* block = reinterpret_cast<char*>(c.slab) + c.used;
    c.used += size;
    ++c.carved;
    return block;
}

void BstrPool::Free(void* block) noexcept {
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    Release(reinterpret_cast<Slab*>(address & ~(std::uintptr_t{kSlabBytes} - 1)), 1);
}

long BstrPool::SlabCount() noexcept { return slabCount.load(); }

}  // namespace platform::posix
