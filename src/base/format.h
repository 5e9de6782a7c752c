// printf into a std::string or into a fixed field.
#pragma once

#include <cstddef>
#include <string>

#if defined(__GNUC__)
#define HF_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define HF_PRINTF_FORMAT(fmt, args)
#endif

namespace hf {

// The whole formatted text, however long.
std::string FormatText(const char* format, ...) HF_PRINTF_FORMAT(1, 2);

// printf into a fixed buffer: cut to size - 1 characters and always terminated
// (nothing is written when size is 0).
void FormatInto(char* buffer, size_t size, const char* format, ...) HF_PRINTF_FORMAT(3, 4);

}  // namespace hf
