// ASCII classification, case and trimming, and the natural order of names: the
// one home of these small text helpers. Only ASCII letters change case and only
// ASCII bytes are classified; other bytes (the system code page, UTF-8) pass
// through unchanged, so the helpers never depend on the C locale.
#pragma once

#include <string>
#include <string_view>

namespace hf {

constexpr bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// A blank: space or tab.
constexpr bool IsAsciiBlank(char c) { return c == ' ' || c == '\t'; }
// White space: space, tab, LF, VT, FF, CR.
constexpr bool IsAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

constexpr char AsciiToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string AsciiLowered(std::string_view text);
std::string AsciiUppered(std::string_view text);

// Equal when the texts differ at most in the case of ASCII letters (how names,
// keys and extensions are compared throughout: "Job.PS" equals "job.ps").
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// True when `text` begins with `prefix`, compared as above.
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

// The text without leading and trailing white space (IsAsciiSpace).
std::string TrimmedAscii(std::string_view text);

// The text without trailing blanks (IsAsciiBlank): "echo KEY=%V% > file" in a
// batch file leaves one there.
std::string WithoutTrailingBlanks(std::string_view text);

// Natural order of names, as the colour catalogue sorts them: runs of decimal
// digits compare by value and, when equal, the run with more digits (leading
// zeros) first; other characters compare upper-cased; a digit sorts after a
// non-digit; a text that ends first sorts first. Returns -1, 0 or 1.
//   NaturalCompare("Red 9", "Red 10") == -1
//   NaturalCompare("Red 007", "Red 7") == -1
//   NaturalCompare("red", "RED") == 0
int NaturalCompare(std::string_view a, std::string_view b);

}  // namespace hf
