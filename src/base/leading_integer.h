// The leading-integer rule used for every integer read from an INI value:
// leading blanks skipped, an optional sign, then decimal digits up to the
// first other character. Nothing usable reads as 0.
#pragma once

#include <cstddef>
#include <string_view>

namespace hf {

//   LeadingInteger("  -12abc") == -12;  LeadingInteger("+") == 0;
//   LeadingInteger("") == 0;            LeadingInteger("7 days") == 7.
// Values beyond the 32-bit range are clamped to INT_MIN or INT_MAX.
int LeadingInteger(std::string_view text);

// Where a number's digits start in `text`: after leading blanks (space, tab)
// and one optional sign; `negative` tells whether that sign was "-".
size_t SkipBlanksAndSign(std::string_view text, bool& negative);

}  // namespace hf
