// UTF-8 to ISO-8859-1 for native builds. Native tests have no Windows ANSI
// code page, so Latin-1 stands in for it: characters above U+00FF and bytes
// that are not valid UTF-8 become "?", as the system conversion would give.
#include "base/code_page.h"

#include <cstdint>

namespace hf {

namespace {

// Decodes one UTF-8 sequence at `at`; returns false (consuming one byte) for
// a byte that does not start a well-formed sequence.
bool DecodeOne(std::string_view text, size_t& at, uint32_t& code) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at);
  size_t more = 0;
  uint32_t minimum = 0;
  if (lead < 0x80) {
    code = lead;
    ++at;
    return true;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1, code = lead & 0x1Fu, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2, code = lead & 0x0Fu, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3, code = lead & 0x07u, minimum = 0x10000;
  } else {
    ++at;
    return false;
  }
  if (at + more >= text.size()) {  // cut off at the end
    ++at;
    return false;
  }
  for (size_t i = 1; i <= more; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      ++at;
      return false;
    }
    code = (code << 6) | (byte(at + i) & 0x3Fu);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    ++at;
    return false;
  }
  at += more + 1;
  return true;
}

}  // namespace

bool Utf8ToAnsiCodePage(std::string_view utf8, std::string& ansi) {
  ansi.clear();
  size_t at = 0;
  while (at < utf8.size()) {
    uint32_t code = 0;
    if (DecodeOne(utf8, at, code) && code <= 0xFF)
      ansi += static_cast<char>(code);
    else
      ansi += '?';
  }
  return !ansi.empty();
}

}  // namespace hf
