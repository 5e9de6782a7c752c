# Locates the third-party libraries: the static builds made by scripts/setup
# (in HF_DEPS_PREFIX) for win32 and win64; natively Debian's packages, except
# libtiff, which scripts/setup builds as the Windows builds have it.
if(WIN32)
  set(HF_DEPS_PREFIX "${CMAKE_SOURCE_DIR}/build/deps/${HF_WINDOWS_BUILD}" CACHE PATH "Windows dependency prefix")
  list(PREPEND CMAKE_PREFIX_PATH "${HF_DEPS_PREFIX}")
  list(PREPEND CMAKE_FIND_ROOT_PATH "${HF_DEPS_PREFIX}")
elseif(EXISTS "${CMAKE_SOURCE_DIR}/build/deps/native/.tiff-chunky")
  list(PREPEND CMAKE_PREFIX_PATH "${CMAKE_SOURCE_DIR}/build/deps/native")
endif()

find_package(GTest REQUIRED)

find_package(TIFF REQUIRED)
find_path(CJSON_INCLUDE_DIR NAMES cjson/cJSON.h)
find_library(CJSON_LIBRARY NAMES cjson libcjson)
if(CJSON_INCLUDE_DIR AND CJSON_LIBRARY)
  add_library(hf_cjson INTERFACE)
  target_include_directories(hf_cjson INTERFACE ${CJSON_INCLUDE_DIR})
  target_link_libraries(hf_cjson INTERFACE ${CJSON_LIBRARY})
  # As the library was built (scripts/setup): nothing of it is exported from a DLL.
  target_compile_definitions(hf_cjson INTERFACE CJSON_HIDE_SYMBOLS)
endif()

# libpng for the picture tools (prevgen, gencomp). On Windows the static build
# of scripts/setup, over Debian's static mingw zlib (never its import library:
# the tools import only system DLLs).
if(WIN32)
  find_library(ZLIB_LIBRARY NAMES libz.a)
endif()
find_package(PNG REQUIRED)
