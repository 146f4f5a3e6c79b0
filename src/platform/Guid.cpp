#include "platform/Guid.h"

#include <cstdint>

#include "platform/HexText.h"

namespace {

// Where each byte of the GUID, in reading order, sits in the text without
// braces: Data1 (4 bytes), Data2 (2), Data3 (2), then the 8 bytes of Data4.
constexpr int kBytePositions[16] = {0, 2, 4, 6, 9, 11, 14, 16, 19, 21, 24, 26, 28, 30, 32, 34};
constexpr std::size_t kBareLength = 36;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ReadBytes(std::string_view text, std::uint8_t (&bytes)[16]) {
    for (std::size_t dash : {8, 13, 18, 23})
        if (text[dash] != '-') return false;
    for (int i = 0; i < 16; ++i) {
        const int high = HexValue(text[kBytePositions[i]]);
        const int low = HexValue(text[kBytePositions[i] + 1]);
        if (high < 0 || low < 0) return false;
        bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return true;
}

}  // namespace

std::string GuidToString(const GUID& guid) {
    std::string text = "{";
    AppendHex(text, guid.Data1, 8);
    text += '-';
    AppendHex(text, guid.Data2, 4);
    text += '-';
    AppendHex(text, guid.Data3, 4);
    text += '-';
    AppendHexBytes(text, guid.Data4, 2, HexCase::Upper);
    text += '-';
    AppendHexBytes(text, guid.Data4 + 2, 6, HexCase::Upper);
    text += '}';
    return text;
}

bool GuidFromString(std::string_view text, GUID* guid) {
    if (!guid) return false;
    if (text.size() == kBareLength + 2) {
        if (text.front() != '{' || text.back() != '}') return false;
        text = text.substr(1, kBareLength);
    }
    std::uint8_t bytes[16];
    if (text.size() != kBareLength || !ReadBytes(text, bytes)) return false;
    guid->Data1 = static_cast<std::uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
    guid->Data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    guid->Data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i) guid->Data4[i] = bytes[8 + i];
    return true;
}

OleString GuidToOleString(const GUID& guid) {
    const std::string text = GuidToString(guid);
    return OleString(text.begin(), text.end());  // hexadecimal digits, dashes and braces only
}
