// How many strings and arrays this platform layer has handed out and not yet
// taken back. Tests compare them before and after a case to catch leaks.
#pragma once

namespace platform {

// BSTRs allocated and not yet freed.
long LiveBstrCount() noexcept;
// SAFEARRAYs created (or copied) and not yet destroyed.
long LiveArrayCount() noexcept;

}  // namespace platform
