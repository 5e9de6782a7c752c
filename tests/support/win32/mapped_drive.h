// A second drive letter for tests that need two volumes: a scratch folder
// mapped as a drive of its own ("P:\" ... "Y:\", the first free one).
//
// Under Wine the drive is defined through the mount manager's Unix-drive
// request, which writes the link "<letter>:" -> <Unix folder> into
// $WINEPREFIX/dosdevices, the same link winecfg makes; it is removed again
// with the object. On Windows the folder is substituted (DefineDosDevice).
#pragma once

#include <string>

namespace hf {

class MappedDrive {
 public:
  // Maps `folder` (an existing Windows path) to a free drive letter.
  explicit MappedDrive(const std::string& folder);
  ~MappedDrive();
  MappedDrive(const MappedDrive&) = delete;
  MappedDrive& operator=(const MappedDrive&) = delete;

  bool ok() const { return letter_ != '\0'; }
  // Why mapping failed (empty when ok).
  const std::string& error() const { return error_; }
  // "P:\" (with its backslash).
  std::string root() const { return ok() ? std::string(1, letter_) + ":\\" : std::string(); }

 private:
  char letter_ = '\0';
  bool wine_ = false;
  std::string error_;
};

}  // namespace hf
