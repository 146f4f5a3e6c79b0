// Wide (UTF-16) automation text as the UTF-8 that tessel prints.
#pragma once

#include <string>
#include <string_view>

#include "platform/Automation.h"

namespace tessel {

// A lone surrogate becomes U+FFFD.
void AppendUtf8(std::string& out, std::u16string_view text);
std::string ToUtf8(std::u16string_view text);
// A BSTR's text (a null BSTR is empty).
std::u16string_view TextOf(BSTR text) noexcept;

}  // namespace tessel
