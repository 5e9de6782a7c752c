// Values of DSC comments ("%%Title: (Brochure)", "%%For: <4A6F>") as kept for
// a job: brackets dropped, escapes decoded, UTF-8 turned into the ANSI code page.
#pragma once

#include <cstddef>

namespace hf {

// Reads the value of the DSC comment at `place` (a NUL-terminated text in a
// writable buffer, starting at the comment) into `destination`:
//   1. the value starts after the first ":" and its following spaces, and ends
//      at the first CR or LF; without a value, or when the text ends before a
//      CR or LF (a comment cut off at the end of the head), nothing is written;
//   2. "(value)" or "<value>" (any of "(" "<" first and ")" ">" last) loses its
//      brackets, logged at level 2 as "Trimming parens from jobname: %s";
//   3. "\ddd" (three digits 0-9) becomes the byte (d1*64 + d2*8 + d3) mod 256;
//   4. in "<...>" every pair of characters becomes one byte ("4142" -> "AB");
//      a pair with a byte of 128 or more is left alone from its first byte on,
//      and an odd last character stays;
//   5. with `utf8`, the value is converted to the ANSI code page; when that
//      yields nothing, nothing is written;
//   6. the value is copied cut to destinationSize - 1 bytes and terminated.
// The source text is changed: the value is terminated and decoded in place.
void ExtractDscValue(char* place, bool utf8, char* destination, size_t destinationSize);

}  // namespace hf
