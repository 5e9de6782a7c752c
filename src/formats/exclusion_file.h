// The exclusion list files ("FilenameExceptions.bin", "ExtensionExceptions.bin"):
// plain text, one entry per line, read as a text-mode stream with a 250-byte line
// buffer, and written with their default lines when they are not there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hf {

// Default entries of the two files.
extern const std::vector<std::string> kDefaultExcludedFileNames;   // "._", ".DS_Store"
extern const std::vector<std::string> kDefaultExcludedExtensions;  // ".log", ".exe", ".txt", ".dll"

// The entries of a file's bytes, in file order. The bytes are read the way a
// text-mode stream reads them on Windows (CR LF becomes LF; a Ctrl-Z byte ends
// the file) in pieces of at most 249 characters, each ending after a line feed
// or when the buffer is full (so a longer line gives several entries). Each piece
// ends at its first NUL byte and loses trailing blanks, tabs, CRs and LFs; empty
// pieces are skipped.
std::vector<std::string> ParseExclusionText(std::string_view bytes);

// The bytes of a file holding `lines`, as written in text mode on Windows: each
// line followed by CR LF, then one NUL byte.
std::string ExclusionFileText(const std::vector<std::string>& lines);

enum class ExclusionFileStatus {
  kRead,                 // the file was there and was read
  kCreatedWithDefaults,  // it could not be read, was written with the defaults and read back
  kCannotCreate,         // it was not there and could not be written; no entries
  kUnreadable,           // it is there but could not be read: the defaults, file untouched
};

// Reads the entries of the file at `path`. When it is not there, writes it with
// `defaults` first and reads it back. When it is there but cannot be read, the
// entries are `defaults` for this run, the file is left alone and the system
// error goes to `readError` (when given).
ExclusionFileStatus ReadExclusionFile(const std::string& path, const std::vector<std::string>& defaults,
                                      std::vector<std::string>& entries, int* readError = nullptr);

}  // namespace hf
