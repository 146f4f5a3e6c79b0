#include "platform/HexText.h"

namespace {

const char* Digits(HexCase letters) { return letters == HexCase::Upper ? "0123456789ABCDEF" : "0123456789abcdef"; }

}  // namespace

void AppendHex(std::string& out, std::uint64_t value, int digits, HexCase letters) {
    const char* const digit = Digits(letters);
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += digit[(value >> shift) & 15];
}

void AppendHexBytes(std::string& out, const unsigned char* bytes, std::size_t count, HexCase letters) {
    const char* const digit = Digits(letters);
    out.reserve(out.size() + 2 * count);
    for (std::size_t i = 0; i < count; ++i) {
        out += digit[bytes[i] >> 4];
        out += digit[bytes[i] & 15];
    }
}
