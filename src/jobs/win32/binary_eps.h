// TrimBinaryEps: rewrites a binary EPS file in place so that only its PostScript
// section remains (the metafile and TIFF previews are dropped).
#pragma once

#include <cstddef>
#include <cstdint>

namespace hf {

// The file is `folder` + `name` (the folder ends with a backslash), or `name`
// alone when the folder is empty or null. `header` holds the file's first bytes
// (at least the 30-byte binary EPS header).
//
// The file must not be read-only, and the PostScript section named by the
// header must lie inside the file, after the header, and not be empty. Exactly that many bytes are copied, in 8192-byte
// pieces, to "<file>.trimmed" beside it; the copy is flushed and then replaces
// the file in one step. Returns the PostScript length on success. On any failure
// (logged at level 1) returns `oldSize`, the file stays exactly as it was and the
// temporary file is removed.
int64_t TrimBinaryEps(const char* folder, const char* name, const unsigned char* header, size_t headerLength,
                      int64_t oldSize);

}  // namespace hf
