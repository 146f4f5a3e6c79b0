// The one loop that writes text with some characters escaped: the runs
// between escapes go out in one piece, as UTF-8. JSON strings and the grid
// printer's quoted cells differ only in which characters they escape and how.
#pragma once

#include <string>
#include <string_view>

#include "platform/Utf8.h"

namespace standins {

// `escape` says which characters it replaces (Needs) and appends the
// replacement of one (Append). UTF-8 text is escaped byte by byte; in UTF-16
// a surrogate pair stays in its run, so only a lone half can be escaped.
template <class Unit, class Escape>
void AppendEscaped(std::string& out, std::basic_string_view<Unit> text, const Escape& escape) {
    const auto run = [&](std::size_t from, std::size_t to) {
        if (to == from) return;
        if constexpr (sizeof(Unit) == 1)
            out.append(reinterpret_cast<const char*>(text.data()) + from, to - from);
        else
            AppendUtf8(out, text.substr(from, to - from));
    };
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = static_cast<std::make_unsigned_t<Unit>>(text[i]);
        if constexpr (sizeof(Unit) == 2) {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                ++i;
                continue;
            }
        }
        if (!escape.Needs(c)) continue;
        run(plain, i);
        escape.Append(out, c);
        plain = i + 1;
    }
    run(plain, text.size());
}

}  // namespace standins
