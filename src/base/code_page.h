// Conversion of UTF-8 text to the system's ANSI code page, the code page of
// every text and path the plug-in keeps. Implemented per platform.
#pragma once

#include <string>
#include <string_view>

namespace hf {

// Converts UTF-8 text to the ANSI code page, through UTF-16. Characters the
// code page lacks become its default character ("?"). Returns false, leaving
// `ansi` empty, when either conversion yields nothing (an empty text included).
bool Utf8ToAnsiCodePage(std::string_view utf8, std::string& ansi);

}  // namespace hf
