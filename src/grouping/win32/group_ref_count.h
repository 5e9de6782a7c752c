// CGroupRefCount: how many group files point at one shared group folder,
// counted in "<folder>\_ref\_ref.ini" under a named mutex, so that several
// processes can count the same folder.
#pragma once

#include "base/win32/scoped_handle.h"

#include <string>

namespace hf {

// The count file: section RefCount, key Count (missing reads as 0).
constexpr const char kRefCountFolderName[] = "_ref";
constexpr const char kRefCountFileName[] = "_ref.ini";
constexpr const char kRefCountSection[] = "RefCount";
constexpr const char kRefCountKey[] = "Count";

class CGroupRefCount {
 public:
  // The counted folder is `folder` or, while that path names an existing file,
  // its parent (walking up). Its "_ref" sub-folder is created with any missing
  // parents now. The mutex is named after that "_ref" folder's path with every
  // backslash replaced by "_" ("C:\jobs\shared\_ref" -> "C:_jobs_shared__ref").
  explicit CGroupRefCount(const std::string& folder);

  CGroupRefCount(const CGroupRefCount&) = delete;
  CGroupRefCount& operator=(const CGroupRefCount&) = delete;

  // The count in the file: 0 when the file is missing or cannot be read.
  int GetRefCount();

  // Raises the count by one and saves the file; returns the new count. 0, with
  // nothing changed, when the file exists but cannot be read, cannot be
  // written, or the mutex cannot be taken (each logged at level 2).
  int AddRef();

  const std::string& countFilePath() const { return countFile_; }
  const std::string& mutexName() const { return mutexName_; }

 private:
  // Takes the mutex (waiting at most 30 s). False when it cannot be had.
  bool Lock();
  void Unlock();
  // Reads the count; false when the file exists but cannot be read.
  bool ReadCount(int& count) const;

  std::string countFile_;
  std::string mutexName_;
  ScopedHandle mutex_;
};

}  // namespace hf
