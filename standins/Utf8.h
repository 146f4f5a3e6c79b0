// Text between automation's UTF-16 and the UTF-8 of files, terminals and
// traces.
#pragma once

#include <string>
#include <string_view>

#include "platform/Automation.h"
#include "platform/ComponentError.h"

namespace standins {

// A lone surrogate becomes U+FFFD.
void AppendUtf8(std::string& out, std::u16string_view text);
std::string ToUtf8(std::u16string_view text);
// A BSTR's text (a null BSTR is empty).
std::u16string_view TextOf(BSTR text) noexcept;
// False when text is not well-formed UTF-8 (out is then unspecified).
bool DecodeUtf8(std::string_view text, OleString& out);

}  // namespace standins
