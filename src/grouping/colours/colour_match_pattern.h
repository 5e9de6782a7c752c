// The small pattern language of custom colour match rules: literal characters
// and bracketed runs of character classes, compared without regard to case.
#pragma once

#include <cstddef>
#include <string_view>

namespace hf {

// Syntax:
//   - Any character outside brackets is a literal and matches itself; ASCII
//     letters match without regard to case ("spt" matches "SPT").
//   - "[" starts a run of class letters up to the next "]"; each letter
//     matches exactly one character of the text:
//       p  a punctuation character     c  a white-space character
//       d  a decimal digit             a  a letter or a digit
//       x  a hexadecimal digit         ?  any character
//     Class letters may be written in either case. Any other character inside
//     the brackets, or a missing "]", makes the pattern fail. "[]" is an
//     empty run that matches nothing.
//   - There is no class for letters only; "a" takes letters and digits.
//   - Classes are ASCII: bytes of 0x80 and above are neither punctuation,
//     white space, digits nor letters (only "?" and literals take them).
// Examples:
//   "[ddd]"     three digits: matches "123" in "Blue 123 C"
//   "spt[?ddd]" SPT, any character, three digits: matches "SPT-185"
//   "[dd]"      fails on "a1b" (no two digits in a row)
//   "[?d]"      matches "a1b" at 0
//   "[dq]"      always fails (q is no class letter)
//   "x[dd"      always fails (missing "]")

// True when `pattern` matches `text` starting at `position` (the pattern need
// not reach the end of the text). Before each pattern character the text must
// still have a character left, so only the empty pattern matches at the end.
// Bytes are compared ASCII-case-folded.
bool MatchPatternAt(std::string_view text, size_t position, std::string_view pattern);

// The first position at or after the start where `pattern` matches, or -1.
// The start is `offset` when it is 0 or more, else max(0, length + offset)
// (-1 the last character). Positions from the start up to the last character
// are tried; an offset beyond the text finds nothing.
//   FindPattern("ab1234", -3, "[d]") == 3;  FindPattern("ab1234", -10, "[?]") == 0
int FindPattern(std::string_view text, int offset, std::string_view pattern);

}  // namespace hf
