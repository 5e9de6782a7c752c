// Leading decimal integer of a text (see the header for the rule).
#include "base/leading_integer.h"

#include "base/ascii.h"

#include <climits>

namespace hf {

size_t SkipBlanksAndSign(std::string_view text, bool& negative) {
  size_t position = 0;
  while (position < text.size() && IsAsciiBlank(text[position])) ++position;
  negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    negative = text[position] == '-';
    ++position;
  }
  return position;
}

int LeadingInteger(std::string_view text) {
  bool negative = false;
  size_t position = SkipBlanksAndSign(text, negative);
  // Stops growing once past the 32-bit range; the sign is applied at the end.
  long long value = 0;
  const long long limit = static_cast<long long>(INT_MAX) + 1;
  while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
    if (value < limit) value = value * 10 + (text[position] - '0');
    ++position;
  }
  if (negative) return value >= limit ? INT_MIN : static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

}  // namespace hf
