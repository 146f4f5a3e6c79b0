#include "platform/CRuntime.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// atol's reading, fed a piece of text at a time: leading white space, one
// optional sign, then digits up to the first other character.
class LongReading {
public:
    // Reads on into the piece; false once the number has ended.
    bool Take(std::string_view piece) noexcept {
        for (const char c : piece) {
            if (stage_ == Stage::Space && IsSpace(c)) continue;
            if (stage_ == Stage::Space && (c == '-' || c == '+')) {
                negative_ = c == '-';
                stage_ = Stage::Digits;
                continue;
            }
            if (!IsDigit(c)) {
                stage_ = Stage::Ended;
                return false;
            }
            stage_ = Stage::Digits;
            // The magnitude saturates one past the largest long, which is
            // exactly the most negative one.
            magnitude_ = std::min(magnitude_ * 10 + (c - '0'), kLimit);
        }
        return true;
    }

    LONG Value() const noexcept {
        if (negative_) return static_cast<LONG>(-magnitude_);
        return static_cast<LONG>(magnitude_ > INT32_MAX ? INT32_MAX : magnitude_);
    }

private:
    static constexpr std::int64_t kLimit = std::int64_t{INT32_MAX} + 1;
    enum class Stage { Space, Digits, Ended };
    Stage stage_ = Stage::Space;
    bool negative_ = false;
    std::int64_t magnitude_ = 0;
};

}  // namespace

LONG AtoL(std::string_view text) noexcept {
    LongReading reading;
    reading.Take(text);
    return reading.Value();
}

LONG AtoL(const OLECHAR* text, UINT length) {
    // Narrowed a piece at a time into a fixed buffer, so a text of any length
    // is read whole without a copy of it; a piece of wide characters never
    // needs more than four bytes each.
    constexpr UINT kPiece = 64;
    std::array<char, kPiece * 4> narrow;
    LongReading reading;
    for (UINT at = 0; at < length; at += kPiece) {
        const int wide = static_cast<int>(std::min(kPiece, length - at));
        const int bytes = WideCharToMultiByte(CP_ACP, 0, text + at, wide, narrow.data(),
                                              static_cast<int>(narrow.size()), nullptr, nullptr);
        if (!reading.Take(std::string_view(narrow.data(), static_cast<std::size_t>(bytes > 0 ? bytes : 0)))) break;
    }
    return reading.Value();
}

SHORT Cut16(LONG value) { return static_cast<SHORT>(static_cast<USHORT>(value & 0xFFFF)); }
