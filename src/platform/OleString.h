// Automation text held and viewed: OLECHAR strings, UTF-16 on every platform.
#pragma once

#include <string>
#include <string_view>

#include "platform/Automation.h"

using OleString = std::basic_string<OLECHAR>;
using OleStringView = std::basic_string_view<OLECHAR>;
