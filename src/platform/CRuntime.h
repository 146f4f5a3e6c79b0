// The C library's number readings, with the platform's 32-bit long.
//
// Record fields are read with atol/atoi semantics. Off Windows the host's
// long is 64 bits, so the reading is written once here rather than borrowed
// from the host library.
#pragma once

#include <string_view>

#include "platform/Automation.h"

// Skips leading white space, takes one optional sign, then decimal digits up
// to the first other character. No digits gives 0; values beyond the 32-bit
// range clamp to it. The text ends where the view ends (or at a NUL).
LONG AtoL(std::string_view text) noexcept;
// The same reading of a wide text's form in the ANSI code page, read whole
// however long it is: a number after any run of blanks still counts.
LONG AtoL(const OLECHAR* text, UINT length);

// The low 16 bits of value, as a signed number (70000 gives 4464).
SHORT Cut16(LONG value);
