// PerformOp: a silent file operation (move, copy, delete, rename) on lists of
// paths, for whole group folders; and CPathList, which builds such a list.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace hf {

// Operations (the shell's numbering).
constexpr int kFileOpMove = 1;
constexpr int kFileOpCopy = 2;
constexpr int kFileOpDelete = 3;
constexpr int kFileOpRename = 4;

// A path list: each path followed by a NUL, the whole list ended by a second
// NUL ("a\0b\0\0"). A list never takes more than this many bytes, the final
// NUL included.
constexpr size_t kPathListMaxBytes = 1041;

class CPathList {
 public:
  // Appends a path. False, with the list unchanged, for an empty path or one
  // that would make the list longer than kPathListMaxBytes.
  bool Add(const std::string& path);

  // The double-NUL-terminated list ("\0\0" when empty).
  const char* data() const { return text_.c_str(); }
  // Bytes of data(), both final NULs included.
  size_t size() const { return text_.size() + 1; }
  bool empty() const { return text_.empty(); }

 private:
  // Every path followed by its NUL; c_str() adds the list's final NUL.
  std::string text_ = std::string();
};

// Splits a double-NUL-terminated list of at most kPathListMaxBytes bytes into
// its paths. False when no list end is found within that many bytes (or the
// list is null); `paths` is then empty.
bool SplitPathList(const char* list, std::vector<std::string>& paths);

// Runs one operation; silent (no dialog, no confirmation, no progress) and
// without asking before it replaces or creates anything. Returns 0 on success,
// otherwise the system error code of the first failure; the operation stops
// there and what was done before it stays done.
//
//   from: the sources. The last component of a source may hold the wildcards
//         "*" and "?" ("C:\hot\G1\*" stands for everything in G1, hidden files
//         and sub-folders included); a wildcard that matches nothing is not an
//         error. A source without a wildcard must exist (ERROR_FILE_NOT_FOUND).
//   to:   move and copy: with multipleDestinations 0, the one destination
//         folder (created with its parents when missing), and each source
//         keeps its name inside it; with multipleDestinations 1, one full
//         target path per source, in order (the counts must agree). Rename:
//         the new full path of the single source. Delete: not used (may be
//         null).
//
// Move: a file replaces a file of its name at the target; a folder is renamed
// when the target is free and on the same volume, otherwise it is merged into
// the target folder item by item (copied and deleted across volumes) and then
// removed. Copy: files replace files of their names; folders are merged.
// Delete: files (read-only ones too) and folders with all their content; a
// link to a folder is removed as a link, never followed. Rename: fails when the
// target exists.
// A source moved or copied onto itself is left alone (success); a folder moved
// or copied into itself fails with ERROR_INVALID_PARAMETER before anything is
// touched.
//
// The shell's own file operation is not used: under Wine it reports success
// for a folder it did not move (when a folder of that name exists at the
// target) and for a missing source, and cancels wildcard moves (1223); these
// walks behave the same on Windows and under Wine.
int PerformOp(const char* from, const char* to, int operation, int multipleDestinations);

}  // namespace hf
