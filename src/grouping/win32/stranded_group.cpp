// Stranded groups: finding them, and returning what they hold.
#include "grouping/win32/stranded_group.h"

#include "base/ascii.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/scoped_handle.h"
#include "base/file_io.h"
#include "base/win32/windows_api.h"
#include "grouping/group_document.h"
#include "jobs/win32/move_without_replacing.h"

namespace hf {

namespace {

constexpr char kStrandedKey[] = "Stranded";
constexpr char kStrandedText[] = "[FileGroupInfo]\r\nStranded=1\r\n";

}  // namespace

bool MarkGroupStranded(const std::string& groupFile) {
  // Shared as the group's own handle is, so that an open group can be marked.
  ScopedHandle file(::CreateFileA(groupFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  const DWORD size = static_cast<DWORD>(sizeof kStrandedText - 1);
  if (file && ::WriteFile(file.get(), kStrandedText, size, &written, nullptr) && written == size &&
      ::SetEndOfFile(file.get()))
    return true;
  Log(LogLevel::kError, "Group file <%s> could not be marked as stranded - error %lu", groupFile.c_str(),
      static_cast<unsigned long>(::GetLastError()));
  return false;
}

std::string StrandedGroupFolder(const std::string& groupFile) {
  if (!EqualsIgnoringAsciiCase(GetExtension(groupFile), ".fgl")) return std::string();
  const std::string folder = RemoveExtension(groupFile);
  if (folder.empty() || !FolderExists(folder)) return std::string();
  std::string mark;
  CGroupDocumentReader::ReadTextFromFile(groupFile, kFileGroupInfoSection, kStrandedKey, mark);
  return mark == "1" ? folder : std::string();
}

std::vector<std::string> ReturnStrandedGroup(const std::string& groupFile, const std::string& folder) {
  std::vector<std::string> left = ReturnFilesToHotFolder(folder, ParentFolder(groupFile), "Undoing a group");
  if (left.empty()) ::DeleteFileA(groupFile.c_str());
  return left;
}

}  // namespace hf
