// Every heap allocation of the process, counted: the malloc family is
// replaced (forwarding to the C library's own), so operator new, the
// platform layer's strings and arrays, and the stand-ins' storage are all
// seen alike.
#pragma once

namespace bench {

// Allocations (malloc, calloc, realloc, the aligned forms) since the start.
long Allocations() noexcept;

}  // namespace bench
