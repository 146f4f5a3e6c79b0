// Text between automation's UTF-16 and the UTF-8 of files, terminals and
// traces; the encoding into UTF-8 is the platform's.
#pragma once

#include <string>
#include <string_view>

#include "platform/Automation.h"
#include "platform/ComponentError.h"
#include "platform/Utf8.h"

namespace standins {

using ::AppendUtf8;
using ::ToUtf8;
// A BSTR's text (a null BSTR is empty).
OleStringView TextOf(BSTR text) noexcept;
// False when text is not well-formed UTF-8 (out is then unspecified).
bool DecodeUtf8(std::string_view text, OleString& out);
// The character starting at text[at]: its length in bytes, or 0 when the
// bytes there are not well-formed UTF-8.
std::size_t DecodeUtf8At(std::string_view text, std::size_t at, char32_t& code) noexcept;

// The UTF-8 byte-order mark some editors put at the start of a text file.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// `message` with every word (a run without blanks) longer than `longest`
// bytes cut to its first `longest` bytes, at a character boundary, followed
// by "... (N bytes)": an error about a megabyte-long word stays readable.
std::string ShortenLongWords(std::string_view message, std::size_t longest = 64);

}  // namespace standins
