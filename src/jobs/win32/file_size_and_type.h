// GetUnopenedFileSizeAndType: what the scan learns about one admitted file from
// one shared open: its size, its job type, its DSC title and for-name, and, for
// a binary EPS, the trimming of its previews.
#pragma once

#include "base/win32/scoped_handle.h"

#include <cstddef>
#include <cstdint>

namespace hf {

struct PluginParameters;

constexpr size_t kDscTitleSize = 64;    // the found-file item's title field
constexpr size_t kDscForNameSize = 32;  // the found-file item's owner field

// Opens `folder` + `name` (JoinPath; `name` alone when the folder is empty or
// null) for reading with read and write sharing and returns its size in bytes,
// 0 when it cannot be opened:
//   - write-protected medium: level 1 "NB : File is read-only : %s";
//   - sharing or lock violation: level 3 "File is in use (spooling?) : %s";
//   - other: level 3 "Failure on file \"%s\"" and a system error report
//     "GetUnopenedFileSizeAndType" on `params` (may be null);
//   `type` is not written then.
// Otherwise the type comes from the first 512 bytes (RecogniseJobType); an
// unknown file named "*.json" (any case) is JSON. For PostScript and EPS the
// "%%Title:" and "%%For:" values go into `title` (64 bytes) and `forName`
// (32 bytes), both optional and emptied first, decoded from UTF-8 when the head
// declares "%APL_DSC_Encoding: UTF8"; a binary EPS gives them from the first
// 512 bytes of the PostScript section its header points at (trimmed or not).
// A binary EPS is trimmed to its PostScript section and the size returned is
// then that section's length. The result is
// logged at level 3.
int64_t GetUnopenedFileSizeAndType(PluginParameters* params, const char* folder, const char* name, uint32_t* type,
                                   char* title, char* forName);

// The same read on a file the caller has already opened for reading (the scan's
// in-use test hands over its handle): `file` is closed before a binary EPS is
// trimmed, and always before the call returns. Results and log lines as above;
// 0 for a handle that is not valid.
int64_t SizeAndTypeOfOpenedFile(PluginParameters* params, const char* folder, const char* name, ScopedHandle file,
                                uint32_t* type, char* title, char* forName);

}  // namespace hf
