// CleanFileName: makes a found file name one that the host and the file system
// can handle, one multi-byte character at a time.
#pragma once

#include <cstddef>

namespace hf {

// True when the byte starts a double-byte character in the code page in use.
using LeadByteTest = bool (*)(unsigned char byte);

// The system's own test: the ANSI code page on Windows; natively no byte is a
// lead byte.
bool IsSystemLeadByte(unsigned char byte);

// Copies `source` into `destination` (of `size` bytes), replacing
//   - control characters 1-31 by a space,
//   - each of  : * / < > ? \ " |  by "_",
//   - a double-byte character whose trail byte is a backslash (0x5C) by the two
//     bytes 0x81 0x45 (the middle dot of code page 932),
// and copying every other character as it stands. A lead byte followed by a
// non-NUL byte is one double-byte character. Returns 1 when something was
// replaced, else 0. The result always fits and is terminated: characters that
// do not fit in size - 1 bytes are left off (callers pass a buffer at least as
// large as the source). Nothing is written when size is 0.
//   CleanFileName("a:b*c.ps") -> "a_b_c.ps", 1
//   CleanFileName("a\tb.ps")  -> "a b.ps", 1
int CleanFileName(const char* source, char* destination, size_t size);
int CleanFileName(const char* source, char* destination, size_t size, LeadByteTest isLeadByte);

}  // namespace hf
