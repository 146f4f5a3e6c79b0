// BSTR: a 4-byte byte count, the characters, then a 2-byte NUL. The pointer
// handed out is to the characters, so a BSTR reads as an ordinary string.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/Automation.h"
#include "platform/posix/LiveCounts.h"

namespace {

std::atomic<long> liveStrings{0};

constexpr std::size_t kPrefixBytes = sizeof(DWORD);
// The count is stored in 32 bits; larger requests are refused outright, as on
// Windows, rather than wrapping the count.
constexpr std::size_t kMaxBytes = 0x7FFFFFFF;

char* Header(BSTR text) { return reinterpret_cast<char*>(text) - kPrefixBytes; }

// bytes may be null: the characters are then zero.
BSTR Allocate(const void* bytes, std::size_t byteLength) {
    if (byteLength > kMaxBytes) return nullptr;
    // Three spare bytes: an odd length still ends in a whole wide NUL. Each
    // byte is written once: the count, the characters, the NULs.
    char* block = static_cast<char*>(std::malloc(kPrefixBytes + byteLength + 3));
    if (!block) return nullptr;
    const auto count = static_cast<DWORD>(byteLength);
    std::memcpy(block, &count, sizeof count);
    char* characters = block + kPrefixBytes;
    if (bytes && byteLength)
        std::memcpy(characters, bytes, byteLength);
    else
        std::memset(characters, 0, byteLength);
    std::memset(characters + byteLength, 0, 3);
    ++liveStrings;
    return reinterpret_cast<BSTR>(block + kPrefixBytes);
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
    std::free(Header(bstrString));
    --liveStrings;
}

UINT SysStringByteLen(BSTR bstr) {
    if (!bstr) return 0;
    DWORD count = 0;
    std::memcpy(&count, Header(bstr), sizeof count);
    return count;
}

UINT SysStringLen(BSTR pbstr) { return SysStringByteLen(pbstr) / sizeof(OLECHAR); }
