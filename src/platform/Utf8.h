// Automation's UTF-16 text as UTF-8, for messages, files, terminals and
// traces. OLECHAR text is UTF-16 on every platform; a lone surrogate becomes
// U+FFFD.
#pragma once

#include <string>

#include "platform/OleString.h"

void AppendUtf8(std::string& out, OleStringView text);
std::string ToUtf8(OleStringView text);
