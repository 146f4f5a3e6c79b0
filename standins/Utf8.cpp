#include "standins/Utf8.h"

#include <algorithm>

namespace standins {

OleStringView TextOf(BSTR text) noexcept {
    return text ? OleStringView(text, SysStringLen(text)) : OleStringView();
}

std::size_t DecodeUtf8At(std::string_view text, std::size_t at, char32_t& code) noexcept {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

bool DecodeUtf8(std::string_view text, OleString& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t length = DecodeUtf8At(text, i, code);
        if (length == 0) return false;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<OLECHAR>(0xD800 + (code >> 10)));
            out.push_back(static_cast<OLECHAR>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<OLECHAR>(code));
        }
        i += length;
    }
    return true;
}

std::string ShortenLongWords(std::string_view message, std::size_t longest) {
    std::string out;
    out.reserve(std::min(message.size(), std::size_t{4096}));
    std::size_t at = 0;
    while (at < message.size()) {
        const std::size_t end = std::min(message.find_first_of(" \t\n", at), message.size());
        std::string_view word = message.substr(at, end - at);
        if (word.size() > longest) {
            std::size_t cut = longest;
            // Back up over continuation bytes so that no character is split.
            while (cut > 0 && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80) --cut;
            out.append(word.substr(0, cut)).append("... (").append(std::to_string(word.size())).append(" bytes)");
        } else {
            out.append(word);
        }
        if (end < message.size()) out += message[end];
        at = end + 1;
    }
    return out;
}

}  // namespace standins
