// Whole-file reads and safe replacing writes: the only file access of the
// portable core. Bytes go in and out unchanged (no text-mode translation).
// Results are system error numbers (Windows error codes on win32, errno
// values natively); 0 is success.
#pragma once

#include <string>
#include <string_view>

namespace hf {

// Whole-file reads are for the configuration and answer files that arrive from
// outside (INI files, group files, script answers): nothing larger is read.
constexpr long long kMaxWholeFileBytes = 16ll * 1024 * 1024;

// Reads the whole file into `contents`. On Windows the file is opened for
// shared reading and writing, so a file another program holds open can be read.
// A file of more than kMaxWholeFileBytes is refused (logged at level 0) with
// the platform's "file too large" error and `contents` left empty.
int ReadWholeFile(const std::string& path, std::string& contents);

// True for the errors that say the file (or a folder on its path) is not there.
bool IsNotFoundError(int error);

// The system's message text for an error number of the calls above, without
// its line end; "Error code = <n>." when the system has none.
std::string SystemErrorText(int error);

// Replaces the file with `contents` in one step: the bytes are written to a
// temporary file beside it, flushed, and moved over the target. On any failure
// the target is left exactly as it was and the temporary file is removed.
// On Windows the temporary file is hidden while it exists, so that a hot-folder
// scan never takes it for a job; the replaced file ends up with normal attributes.
int ReplaceFileContents(const std::string& path, std::string_view contents);

// Copies `source` over `target` in one step: the bytes go to a temporary file
// beside the target (hidden on Windows), which is moved over the target only
// when the copy is complete. On any failure the target is left as it was and
// the temporary file is removed. Streams: any size of file.
int CopyFileReplacing(const std::string& source, const std::string& target);

// Moves a finished file over `target` in one step, replacing it (a move within
// one folder: the temporary files of the calls above and of writers like them).
// On Windows the moved file ends up with normal attributes.
int MoveFileReplacing(const std::string& from, const std::string& target);

// Removes a file; 0 also when there was none.
int RemoveFile(const std::string& path);

// True when the path names an existing file (not a folder).
bool FileExists(const std::string& path);

// True when the path names an existing folder.
bool FolderExists(const std::string& path);

}  // namespace hf
