# Shared part of the two mingw-w64 toolchains (posix thread model). The
# including file sets MINGW_PREFIX, CMAKE_SYSTEM_PROCESSOR and HF_WINDOWS_BUILD
# (win32 or win64); the results run under Wine of the same width.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX} ${CMAKE_CURRENT_LIST_DIR}/../build/deps/${HF_WINDOWS_BUILD})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and tools run under Wine; the tests' environment names the prefix and
# its architecture, and scripts/wine-run picks the loader from it.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
