// Exclusion lists and the in-use test of the scan cycle.
#include "jobs/win32/file_admission.h"

#include "base/ascii.h"

#include "base/log.h"
#include "base/win32/scoped_handle.h"
#include "host/message_handover.h"
#include "jobs/exclusion_match.h"

namespace hf {

ExclusionLists::~ExclusionLists() { Clear(); }

void ExclusionLists::Clear() {
  FreeTextList(fileNames);
  FreeTextList(extensions);
  exactNames.clear();
}

bool ExclusionLists::IsExcluded(const char* name) const {
  const std::string_view text = name != nullptr ? name : "";
  for (const std::string& exact : exactNames)
    if (EqualsIgnoringAsciiCase(text, exact)) return true;
  return IsExcludedByLists(text, TextListEntries(fileNames), TextListEntries(extensions));
}

void ExclusionLists::ExcludeExactly(const std::string& name) { exactNames.push_back(name); }

ExclusionLists& ModuleExclusionLists() {
  static ExclusionLists lists;
  return lists;
}

int IsExcludedFile(const char* name) { return ModuleExclusionLists().IsExcluded(name) ? 1 : 0; }

const ExclusionListMessages kExcludedFileNameMessages = {"Reading excluded filenames from: %s.",
                                                         "Excluded filename: %s."};
const ExclusionListMessages kExcludedExtensionMessages = {"Reading excluded extensions from: %s.",
                                                          "Excluded file extension: %s."};

ExclusionFileStatus LoadExclusionList(const std::string& path, const std::vector<std::string>& defaults,
                                      const ExclusionListMessages& messages, TextNode*& list) {
  Log(LogLevel::kTrace, messages.reading, path.c_str());
  std::vector<std::string> entries;
  int readError = 0;
  ExclusionFileStatus status = ReadExclusionFile(path, defaults, entries, &readError);
  if (status == ExclusionFileStatus::kUnreadable) {
    Log(LogLevel::kError,
        "Exclusion list <%s> cannot be read: its defaults are used until it is read again, "
        "and the file is left as it is.",
        path.c_str());
    HF_REPORT_SYSTEM_ERROR(nullptr, static_cast<uint32_t>(readError), "Reading the exclusion list");
  }
  for (const std::string& entry : entries) {
    Log(LogLevel::kTrace, messages.entry, entry.c_str());
    addToTextList(entry.c_str(), list);
  }
  return status;
}

bool IsFileInUse(PluginParameters* params, const char* path) { return IsFileInUse(params, path, nullptr); }

bool IsFileInUse(PluginParameters* params, const char* path, ScopedHandle* keepOpen) {
  ScopedHandle file(::CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) {
    if (keepOpen != nullptr) *keepOpen = std::move(file);
    return false;
  }
  DWORD error = ::GetLastError();
  switch (error) {
    case ERROR_WRITE_PROTECT: Log(LogLevel::kProgress, "NB : File is read-only : %s", path); return false;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: Log(LogLevel::kDetail, "File is in use (spooling?) : %s", path); return true;
    default:
      Log(LogLevel::kError, "Failure on file \"%s\"", path);
      HF_REPORT_SYSTEM_ERROR(params, error, "IsFileInUse?");
      return false;
  }
}

}  // namespace hf
