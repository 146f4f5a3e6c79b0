// How many strings and arrays the automation API has handed out and not yet
// taken back, for the tests' leak checks. Only our own implementation counts
// (platform/posix); the operating system's does not, so on Windows both stay
// 0 and the checks hold trivially there.
#pragma once

#ifdef _WIN32
namespace platform {

inline long LiveBstrCount() noexcept { return 0; }
inline long LiveArrayCount() noexcept { return 0; }

}  // namespace platform
#else
#include "platform/posix/LiveCounts.h"
#endif
