// Real folders and files for tests of the Windows code: a fresh folder that is
// removed with its content, whole-file helpers, and the Linux form of a
// Windows path under Wine.
#pragma once

#include <string>
#include <vector>

namespace hf {

class ScratchFolder {
 public:
  // Makes "<parent>\hf_<prefix>_<process>_<n>\"; the parent is the temporary
  // folder unless given (with its trailing backslash).
  explicit ScratchFolder(const std::string& prefix, const std::string& parent = std::string());
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  bool ok() const { return ok_; }
  // The folder with its trailing backslash.
  const std::string& path() const { return path_; }
  // Makes a sub-folder (and its parents) and returns it with a trailing backslash.
  std::string MakeSubfolder(const std::string& name) const;

 private:
  std::string path_;
  bool ok_ = false;
};

// Writes `bytes` to a new file (replacing one that is there); true on success.
bool WriteBytes(const std::string& path, const std::string& bytes);
// Reads a whole file; false when it cannot be opened.
bool ReadBytes(const std::string& path, std::string& bytes);
// A whole file, or "<unreadable>".
std::string BytesOf(const std::string& path);
// True when `path` is a file (not a folder).
bool FileIsThere(const std::string& path);
// The names of the files (not folders) in a folder, sorted.
std::vector<std::string> FileNamesIn(const std::string& folder);
// Removes a folder with everything in it.
void RemoveTree(const std::string& folder);

// The Linux path of a Windows path when running under Wine (drive C: through
// the prefix's "drive_c" folder); empty otherwise.
std::string UnixPathOf(const std::string& windowsPath);

}  // namespace hf
