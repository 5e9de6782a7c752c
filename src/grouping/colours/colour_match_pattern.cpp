// Matching of custom colour rules: literals and bracketed class runs.
#include "grouping/colours/colour_match_pattern.h"
#include "base/ascii.h"

#include <algorithm>

namespace hf {

namespace {

bool IsHexDigit(char c) { return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsPunctuation(char c) { return c > ' ' && c < 0x7f && !IsAsciiDigit(c) && !IsAsciiLetter(c); }

// Whether class letter `letter` takes `c`; a letter that names no class
// takes nothing, so the pattern fails.
bool ClassMatches(char letter, char c) {
  switch (AsciiToLower(letter)) {
    case 'p': return IsPunctuation(c);
    case 'c': return IsAsciiSpace(c);
    case 'd': return IsAsciiDigit(c);
    case 'a': return IsAsciiDigit(c) || IsAsciiLetter(c);
    case 'x': return IsHexDigit(c);
    case '?': return true;
    default: return false;
  }
}

}  // namespace

bool MatchPatternAt(std::string_view text, size_t position, std::string_view pattern) {
  size_t p = 0;
  while (p < pattern.size()) {
    if (position >= text.size()) return false;
    if (pattern[p] != '[') {
      if (AsciiToLower(pattern[p]) != AsciiToLower(text[position])) return false;
      ++p;
      ++position;
      continue;
    }
    size_t close = pattern.find(']', p + 1);
    if (close == std::string_view::npos) return false;
    for (size_t letter = p + 1; letter < close; ++letter) {
      if (position >= text.size()) return false;
      if (!ClassMatches(pattern[letter], text[position])) return false;
      ++position;
    }
    p = close + 1;
  }
  return true;
}

int FindPattern(std::string_view text, int offset, std::string_view pattern) {
  long long length = static_cast<long long>(text.size());
  long long start = offset >= 0 ? offset : std::max(0LL, length + offset);
  for (long long position = start; position < length; ++position) {
    if (MatchPatternAt(text, static_cast<size_t>(position), pattern)) return static_cast<int>(position);
  }
  return -1;
}

}  // namespace hf
