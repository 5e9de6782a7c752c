// Real folders and files for tests of the Windows code.
#pragma once

#include <string>
#include <vector>

namespace hf {

class ScratchFolder {
 public:
  // Makes "<parent>\hf_<prefix>_<process>_<n>\" (the parent, with its backslash, defaults to the temporary folder).
  explicit ScratchFolder(const std::string& prefix, const std::string& parent = std::string());
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  bool ok() const { return ok_; }
  const std::string& path() const { return path_; }
  // Makes a sub-folder (and its parents); with a trailing backslash like path().
  std::string MakeSubfolder(const std::string& name) const;

 private:
  std::string path_;
  bool ok_ = false;
};

bool WriteBytes(const std::string& path, const std::string& bytes);  // replaces a file that is there
bool ReadBytes(const std::string& path, std::string& bytes);
std::string BytesOf(const std::string& path);                     // "<unreadable>" when it cannot be read
bool FileIsThere(const std::string& path);                        // a file, not a folder
std::vector<std::string> FileNamesIn(const std::string& folder);  // files only, sorted
void RemoveTree(const std::string& folder);

// The Linux path of a Windows path under Wine (drive C: through the prefix's "drive_c"); empty otherwise.
std::string UnixPathOf(const std::string& windowsPath);

}  // namespace hf
