// BSTR: a 4-byte byte count, the characters, then a 2-byte NUL. The pointer
// handed out is to the characters, so a BSTR reads as an ordinary string.
// Before the count, 4 bytes say where the block came from: short strings
// come from BstrPool, the others (and all of them under AddressSanitizer)
// straight from the heap.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/Automation.h"
#include "platform/posix/BstrPool.h"
#include "platform/posix/LiveCounts.h"

namespace {

using platform::posix::BstrPool;

std::atomic<long> liveStrings{0};

enum Source : DWORD { kHeap = 0, kPool = 1 };

constexpr std::size_t kSourceBytes = sizeof(DWORD);
constexpr std::size_t kPrefixBytes = sizeof(DWORD);
constexpr std::size_t kHeaderBytes = kSourceBytes + kPrefixBytes;
// Three spare bytes: an odd length still ends in a whole wide NUL.
constexpr std::size_t kTrailerBytes = 3;
// The count is stored in 32 bits; larger requests are refused outright, as on
// Windows, rather than wrapping the count.
constexpr std::size_t kMaxBytes = 0x7FFFFFFF;

char* Block(BSTR text) { return reinterpret_cast<char*>(text) - kHeaderBytes; }

char* NewBlock(std::size_t bytes) {
    if (BstrPool::Enabled() && bytes <= BstrPool::kLargestBlock) {
        if (void* block = BstrPool::Allocate(bytes)) {
            const DWORD source = kPool;
            std::memcpy(block, &source, sizeof source);
            return static_cast<char*>(block);
        }
    }
    char* block = static_cast<char*>(std::malloc(bytes));
    if (block) {
        const DWORD source = kHeap;
        std::memcpy(block, &source, sizeof source);
    }
    return block;
}

// bytes may be null: the characters are then zero.
BSTR Allocate(const void* bytes, std::size_t byteLength) {
    if (byteLength > kMaxBytes) return nullptr;
    // Each byte is written once: the source, the count, the characters, the NULs.
    char* block = NewBlock(kHeaderBytes + byteLength + kTrailerBytes);
    if (!block) return nullptr;
    const auto count = static_cast<DWORD>(byteLength);
    std::memcpy(block + kSourceBytes, &count, sizeof count);
    char* characters = block + kHeaderBytes;
    if (bytes && byteLength)
        std::memcpy(characters, bytes, byteLength);
    else
        std::memset(characters, 0, byteLength);
    std::memset(characters + byteLength, 0, kTrailerBytes);
    ++liveStrings;
    return reinterpret_cast<BSTR>(characters);
}

}  // namespace

namespace platform {
long LiveBstrCount() noexcept { return liveStrings.load(); }
}  // namespace platform

BSTR SysAllocString(const OLECHAR* psz) {
    if (!psz) return nullptr;
    std::size_t length = 0;
    while (psz[length]) ++length;
    return Allocate(psz, length * sizeof(OLECHAR));
}

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
    if (ui > kMaxBytes / sizeof(OLECHAR)) return nullptr;
    return Allocate(strIn, std::size_t{ui} * sizeof(OLECHAR));
}

BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) { return Allocate(psz, len); }

void SysFreeString(BSTR bstrString) {
    if (!bstrString) return;
    char* block = Block(bstrString);
    DWORD source = kHeap;
    std::memcpy(&source, block, sizeof source);
    if (source == kPool)
        BstrPool::Free(block);
    else
        std::free(block);
    --liveStrings;
}

UINT SysStringByteLen(BSTR bstr) {
    if (!bstr) return 0;
    DWORD count = 0;
    std::memcpy(&count, Block(bstr) + kSourceBytes, sizeof count);
    return count;
}

UINT SysStringLen(BSTR pbstr) { return SysStringByteLen(pbstr) / sizeof(OLECHAR); }
