# Cross-compiles the system code for 32-bit Windows against the real Windows
# headers: the same build as cmake/mingw-w64.cmake, for hosts that load
# 32-bit modules.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TESSEL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWToolchain.cmake)
