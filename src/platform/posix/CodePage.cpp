// The ANSI code page: Windows-1252, the only one this platform offers.
//
// Single-byte, so every byte is one wide character and back; only 0x80-0x9F
// differ from Latin-1.

#include <array>
#include <cstdint>

#include "platform/Automation.h"

namespace {

constexpr UINT kWindows1252 = 1252;
constexpr char kNoSuchCharacter = '?';

// 0x80-0x9F. The five bytes the code page leaves undefined map to the C1
// control of the same value, so they still round-trip.
constexpr WCHAR kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Every byte's character: one lookup per byte.
constexpr std::array<WCHAR, 256> kToWide = [] {
    std::array<WCHAR, 256> table{};
    for (int byte = 0; byte < 256; ++byte)
        table[byte] = byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : static_cast<WCHAR>(byte);
    return table;
}();

// The byte of each character up to U+00FF, or -1: one lookup.
constexpr std::array<std::int16_t, 256> kFromLow = [] {
    std::array<std::int16_t, 256> table{};
    for (int wide = 0; wide < 256; ++wide) table[wide] = wide >= 0x80 && wide < 0xA0 ? -1 : wide;
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] < 0x100) table[kHighControls[i]] = static_cast<std::int16_t>(0x80 + i);
    return table;
}();

// The characters beyond U+00FF that have a byte, each in its own slot of a
// small table, so finding one is one lookup and one comparison too.
struct HighSlot {
    WCHAR wide = 0;
    std::int16_t byte = -1;
};
constexpr std::size_t SlotOf(WCHAR wide) { return (wide ^ (wide >> 8)) & 0xFF; }
constexpr std::array<HighSlot, 256> kFromHigh = [] {
    std::array<HighSlot, 256> table{};
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] >= 0x100) table[SlotOf(kHighControls[i])] = {kHighControls[i], static_cast<std::int16_t>(0x80 + i)};
    return table;
}();
// No two of those characters share a slot.
constexpr bool SlotsAreDistinct() {
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] >= 0x100 && kFromHigh[SlotOf(kHighControls[i])].wide != kHighControls[i]) return false;
    return true;
}
static_assert(SlotsAreDistinct());

// False when the code page has no byte for the character.
bool ToByte(WCHAR wide, char* byte) {
    const std::int16_t found = wide < 0x100 ? kFromLow[wide]
                                            : (kFromHigh[SlotOf(wide)].wide == wide ? kFromHigh[SlotOf(wide)].byte : -1);
    if (found < 0) return false;
    *byte = static_cast<char>(found);
    return true;
}

bool IsAnsi(UINT codePage) { return codePage == CP_ACP || codePage == kWindows1252; }

// A source length of -1 means "up to and including the NUL".
template <class Char>
int SourceLength(const Char* text, int length) {
    if (length != -1) return length;
    int count = 0;
    while (text[count]) ++count;
    return count + 1;
}

// The checks both directions share. Returns the source length, or 0 when the
// call is malformed.
template <class Char, class Out>
int CheckedLength(UINT codePage, const Char* source, int sourceLength, const Out* dest, int destSize) {
    if (!IsAnsi(codePage) || !source || sourceLength == 0 || sourceLength < -1) return 0;
    if (destSize < 0 || (destSize > 0 && !dest)) return 0;
    return SourceLength(source, sourceLength);
}

}  // namespace

int MultiByteToWideChar(UINT CodePage, DWORD, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar) {
    const int length = CheckedLength(CodePage, lpMultiByteStr, cbMultiByte, lpWideCharStr, cchWideChar);
    if (length == 0 || cchWideChar == 0) return length;
    if (cchWideChar < length) return 0;  // the buffer is too small
    const auto* bytes = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    for (int i = 0; i < length; ++i) lpWideCharStr[i] = kToWide[bytes[i]];
    return length;
}

int WideCharToMultiByte(UINT CodePage, DWORD, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCSTR lpDefaultChar, BOOL* lpUsedDefaultChar) {
    const int length = CheckedLength(CodePage, lpWideCharStr, cchWideChar, lpMultiByteStr, cbMultiByte);
    if (lpUsedDefaultChar) *lpUsedDefaultChar = FALSE;
    if (length == 0) return 0;
    if (cbMultiByte != 0 && cbMultiByte < length) return 0;  // the buffer is too small
    const char fallback = lpDefaultChar ? *lpDefaultChar : kNoSuchCharacter;
    // A size query (no buffer) still reports a character the code page lacks.
    char ignored = 0;
    bool usedDefault = false;
    for (int i = 0; i < length; ++i) {
        char& out = cbMultiByte != 0 ? lpMultiByteStr[i] : ignored;
        if (!ToByte(lpWideCharStr[i], &out)) {
            out = fallback;
            usedDefault = true;
        }
    }
    if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    return length;
}
