// Reading numbers from text the way the platform's number parser does.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Automation.h"

namespace platform {

struct ParsedNumber {
    // Text written as &H (hexadecimal) or &O (octal) keeps its digits as
    // bits, because the target type decides how to read them: bits that fit
    // its width are two's complement.
    bool radix = false;
    bool negative = false;  // a sign written with radix text
    std::uint64_t bits = 0;
    // Decimal text: the value with its sign.
    double value = 0;
};

// Reads text with the parser's standard rules in the en-US locale: white
// space around, a sign before or after or parentheses, &H/&O, a decimal point,
// thousands separators, a currency sign, an exponent; the whole text must be
// used. Stops at a NUL. S_OK; DISP_E_TYPEMISMATCH when the text is not a
// number; DISP_E_OVERFLOW when no double (or, for radix text, no 64 bits)
// can hold it.
HRESULT ParseNumber(const OLECHAR* text, std::size_t length, ParsedNumber* number);

}  // namespace platform
