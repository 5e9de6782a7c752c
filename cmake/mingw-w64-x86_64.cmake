# Cross-compiles the win64 build: the same plug-in for a 64-bit host.
set(MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(HF_WINDOWS_BUILD win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
