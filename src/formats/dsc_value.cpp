// Extraction and decoding of DSC comment values.
#include "formats/dsc_value.h"
#include "base/ascii.h"

#include "base/code_page.h"
#include "base/log.h"

#include <cstring>
#include <string>

namespace hf {

namespace {

// "\ddd" escapes, decoded in place.
void DecodeOctalEscapes(char* value, size_t length) {
  size_t out = 0;
  for (size_t in = 0; in < length;) {
    if (value[in] == '\\' && in + 3 < length && IsAsciiDigit(value[in + 1]) && IsAsciiDigit(value[in + 2]) &&
        IsAsciiDigit(value[in + 3])) {
      unsigned code = static_cast<unsigned>(value[in + 1] - '0') * 64u +
                      static_cast<unsigned>(value[in + 2] - '0') * 8u + static_cast<unsigned>(value[in + 3] - '0');
      value[out++] = static_cast<char>(code & 0xFFu);
      in += 4;
    } else {
      value[out++] = value[in++];
    }
  }
  value[out] = '\0';
}

// A digit counts its value, an uppercase letter its code - 55 ("A" = 10), any
// other character its code - 87 ("a" = 10); the sum is taken modulo 256.
unsigned HexDigitValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 55u;
  return c - 87u;  // wraps for characters below "W"; only the low 8 bits count
}

// Pairs of characters, decoded in place.
void DecodeHexPairs(char* value, size_t length) {
  size_t out = 0;
  size_t in = 0;
  while (in < length) {
    auto high = static_cast<unsigned char>(value[in]);
    if (in + 1 >= length || (high & 0x80) || (static_cast<unsigned char>(value[in + 1]) & 0x80)) {
      value[out++] = value[in++];
      continue;
    }
    auto low = static_cast<unsigned char>(value[in + 1]);
    value[out++] = static_cast<char>((HexDigitValue(high) * 16u + HexDigitValue(low)) & 0xFFu);
    in += 2;
  }
  value[out] = '\0';
}

void CopyCut(const char* text, size_t length, char* destination, size_t destinationSize) {
  size_t count = length < destinationSize - 1 ? length : destinationSize - 1;
  std::memcpy(destination, text, count);
  destination[count] = '\0';
}

}  // namespace

void ExtractDscValue(char* place, bool utf8, char* destination, size_t destinationSize) {
  if (place == nullptr || destination == nullptr || destinationSize == 0) return;
  char* colon = std::strchr(place, ':');
  if (colon == nullptr || colon[1] == '\0') return;
  char* value = colon + 1;
  while (*value == ' ') ++value;
  if (*value == '\0') return;
  char* end = value + std::strcspn(value, "\r\n");
  if (*end == '\0') return;  // no line end: the comment was cut off
  *end = '\0';
  size_t length = static_cast<size_t>(end - value);
  if (length == 0) return;  // only spaces before the line end

  bool hexadecimal = false;
  char first = value[0];
  char last = value[length - 1];
  if ((first == '(' || first == '<') && (last == ')' || last == '>')) {
    Log(LogLevel::kDetail, "Trimming parens from jobname: %s", value);
    hexadecimal = first == '<' && last == '>';
    value[length - 1] = '\0';
    ++value;
    length -= 2;
  }

  DecodeOctalEscapes(value, length);
  length = std::strlen(value);  // a decoded NUL ends the value
  if (hexadecimal) {
    DecodeHexPairs(value, length);
    length = std::strlen(value);
  }

  if (utf8) {
    std::string converted;
    if (!Utf8ToAnsiCodePage(std::string_view(value, length), converted)) return;
    CopyCut(converted.data(), std::strlen(converted.c_str()), destination, destinationSize);
    return;
  }
  CopyCut(value, length, destination, destinationSize);
}

}  // namespace hf
