// ASCII text helpers and the natural order of names.
#include "base/ascii.h"

namespace hf {

std::string AsciiLowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiToLower(c);
  return out;
}

std::string AsciiUppered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiToUpper(c);
  return out;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiToLower(a[i]) != AsciiToLower(b[i])) return false;
  return true;
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

std::string TrimmedAscii(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsAsciiSpace(text[begin])) ++begin;
  while (end > begin && IsAsciiSpace(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string WithoutTrailingBlanks(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && IsAsciiBlank(text[end - 1])) --end;
  return std::string(text.substr(0, end));
}

int NaturalCompare(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    bool digitA = IsAsciiDigit(a[i]);
    bool digitB = IsAsciiDigit(b[j]);
    if (digitA && digitB) {
      size_t endA = i;
      while (endA < a.size() && IsAsciiDigit(a[endA])) ++endA;
      size_t endB = j;
      while (endB < b.size() && IsAsciiDigit(b[endB])) ++endB;
      // Compare the values without converting: drop leading zeros, then the
      // longer run of significant digits is larger, else the first difference.
      size_t significantA = i;
      while (significantA + 1 < endA && a[significantA] == '0') ++significantA;
      size_t significantB = j;
      while (significantB + 1 < endB && b[significantB] == '0') ++significantB;
      size_t lengthA = endA - significantA;
      size_t lengthB = endB - significantB;
      if (lengthA != lengthB) return lengthA < lengthB ? -1 : 1;
      int order = a.substr(significantA, lengthA).compare(b.substr(significantB, lengthB));
      if (order != 0) return order < 0 ? -1 : 1;
      // Equal values: more digits (leading zeros) first.
      if (endA - i != endB - j) return (endA - i) > (endB - j) ? -1 : 1;
      i = endA;
      j = endB;
      continue;
    }
    if (digitA != digitB) return digitA ? 1 : -1;
    unsigned char upperA = static_cast<unsigned char>(AsciiToUpper(a[i]));
    unsigned char upperB = static_cast<unsigned char>(AsciiToUpper(b[j]));
    if (upperA != upperB) return upperA < upperB ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace hf
