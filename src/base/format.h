// printf into a std::string, for the texts the hot folders hand to the host.
#pragma once

#include "base/log.h"  // HF_PRINTF_FORMAT

#include <string>

namespace hf {

// The whole formatted text, however long.
std::string FormatText(const char* format, ...) HF_PRINTF_FORMAT(1, 2);

}  // namespace hf
