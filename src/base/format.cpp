// Formatting into a growing string.
#include "base/format.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace hf {

std::string FormatText(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list measure;
  va_copy(measure, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string text;
  if (length > 0) {
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
    text.assign(buffer.data(), static_cast<size_t>(length));
  }
  va_end(arguments);
  return text;
}

void FormatInto(char* buffer, size_t size, const char* format, ...) {
  if (buffer == nullptr || size == 0) return;
  if (format == nullptr) {
    buffer[0] = '\0';
    return;
  }
  va_list arguments;
  va_start(arguments, format);
  int written = std::vsnprintf(buffer, size, format, arguments);
  va_end(arguments);
  if (written < 0) buffer[0] = '\0';
  // Some C runtimes leave a cut text unterminated.
  buffer[size - 1] = '\0';
}

}  // namespace hf
