// The reference count of a shared group folder.
#include "grouping/win32/group_ref_count.h"

#include "base/file_io.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "formats/ini_document.h"
#include "grouping/group_document.h"

#include <cstdio>

namespace hf {

namespace {

constexpr DWORD kMutexWaitMs = 30000;

// The folder to count: the path itself, or its nearest parent that is not an
// existing file.
std::string CountedFolder(std::string path) {
  while (FileExists(path)) {
    std::string parent = ParentFolder(path);
    if (parent.empty() || parent.size() >= path.size()) break;
    path = parent;
  }
  return path;
}

}  // namespace

CGroupRefCount::CGroupRefCount(const std::string& folder) {
  const std::string refFolder = JoinPath(CountedFolder(folder), kRefCountFolderName);
  countFile_ = JoinPath(refFolder, kRefCountFileName);
  int created = CreateFolder(refFolder, true);
  if (created != 0) Log(LogLevel::kDetail, "CGroupRefCount: cannot create <%s> - %d", refFolder.c_str(), created);

  mutexName_ = refFolder;
  for (char& c : mutexName_) {
    if (c == '\\') c = '_';
  }
  mutex_.reset(::CreateMutexA(nullptr, FALSE, mutexName_.c_str()));
  if (!mutex_)
    Log(LogLevel::kDetail, "CGroupRefCount: cannot create mutex <%s> - %lu", mutexName_.c_str(), ::GetLastError());
}

bool CGroupRefCount::Lock() {
  if (!mutex_) return false;
  DWORD waited = ::WaitForSingleObject(mutex_.get(), kMutexWaitMs);
  // An abandoned mutex is owned all the same; the count file is replaced in
  // one step, so its holder cannot have left it half written.
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return true;
  Log(LogLevel::kDetail, "CGroupRefCount: mutex <%s> not obtained (%lu)", mutexName_.c_str(),
      static_cast<unsigned long>(waited));
  return false;
}

void CGroupRefCount::Unlock() { ::ReleaseMutex(mutex_.get()); }

bool CGroupRefCount::ReadCount(int& count) const {
  count = 0;
  if (!FileExists(countFile_)) return true;
  CIniDocument document;
  if (!document.Load(countFile_)) return false;
  CGroupDocumentReader(document).GetInteger(kRefCountSection, kRefCountKey, 0, count);
  return true;
}

int CGroupRefCount::GetRefCount() {
  if (!Lock()) return 0;
  int count = 0;
  if (!ReadCount(count)) {
    Log(LogLevel::kDetail, "CGroupRefCount: cannot read <%s>", countFile_.c_str());
    count = 0;
  }
  Unlock();
  return count;
}

int CGroupRefCount::AddRef() {
  if (!Lock()) return 0;
  int result = 0;
  CIniDocument document;
  if (FileExists(countFile_) && !document.Load(countFile_)) {
    Log(LogLevel::kDetail, "CGroupRefCount: cannot read <%s>", countFile_.c_str());
  } else {
    int count = 0;
    CGroupDocumentReader(document).GetInteger(kRefCountSection, kRefCountKey, 0, count);
    document.SetSeparatorFlag(true);
    char text[16];
    std::snprintf(text, sizeof text, "%d", count + 1);
    document.SetValue(kRefCountSection, kRefCountKey, text);
    if (document.SaveAs(countFile_)) {
      result = count + 1;
    } else {
      Log(LogLevel::kDetail, "CGroupRefCount: cannot write <%s>", countFile_.c_str());
    }
  }
  Unlock();
  return result;
}

}  // namespace hf
