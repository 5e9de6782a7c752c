# Cross-compiles the win32 build: 32-bit Windows, the host's artifact.
set(MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(HF_WINDOWS_BUILD win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
