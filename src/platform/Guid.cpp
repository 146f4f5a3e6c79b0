#include "platform/Guid.h"

#include "platform/HexText.h"

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

OleString GuidToOleString(const GUID& guid) {
    const std::string text = GuidToString(guid);
    return OleString(text.begin(), text.end());  // hexadecimal digits, dashes and braces only
}
