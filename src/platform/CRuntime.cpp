#include "platform/CRuntime.h"

#include <cstdint>

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

LONG AtoL(std::string_view text) noexcept {
    const char* at = text.data();
    const char* const end = at + text.size();
    while (at != end && IsSpace(*at)) ++at;
    const bool negative = at != end && *at == '-';
    if (at != end && (*at == '-' || *at == '+')) ++at;
    // The magnitude saturates one past the largest long, which is exactly
    // the most negative one.
    constexpr std::int64_t kLimit = std::int64_t{INT32_MAX} + 1;
    std::int64_t magnitude = 0;
    for (; at != end && IsDigit(*at); ++at) {
        magnitude = magnitude * 10 + (*at - '0');
        if (magnitude > kLimit) magnitude = kLimit;
    }
    if (negative) return static_cast<LONG>(-magnitude);
    return static_cast<LONG>(magnitude > INT32_MAX ? INT32_MAX : magnitude);
}

LONG AtoL(const char* text) { return text ? AtoL(std::string_view(text)) : 0; }

int AtoI(const char* text) { return static_cast<int>(AtoL(text)); }

SHORT Cut16(LONG value) { return static_cast<SHORT>(static_cast<USHORT>(value & 0xFFFF)); }
