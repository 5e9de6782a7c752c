// Matching of custom colour rules: literals and bracketed class runs.
#include "grouping/colours/colour_match_pattern.h"

#include <algorithm>

namespace hf {

namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsPunctuation(char c) { return c > ' ' && c < 0x7f && !IsDigit(c) && !IsLetter(c); }

// Whether class letter `letter` takes `c`; a letter that names no class
// takes nothing, so the pattern fails.
bool ClassMatches(char letter, char c) {
  switch (FoldCase(letter)) {
    case 'p': return IsPunctuation(c);
    case 'c': return IsWhiteSpace(c);
    case 'd': return IsDigit(c);
    case 'a': return IsDigit(c) || IsLetter(c);
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
      if (FoldCase(pattern[p]) != FoldCase(text[position])) return false;
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
