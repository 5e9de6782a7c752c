// Admission checks of the scan cycle: the module-wide exclusion lists (loaded
// from the configuration folder, appended in memory), IsExcludedFile, and
// IsFileInUse, which asks whether a writer still holds a file open.
#pragma once

#include "base/win32/scoped_handle.h"
#include "formats/exclusion_file.h"
#include "jobs/win32/text_list.h"

#include <string>
#include <vector>

namespace hf {

struct PluginParameters;

// The two exclusion lists. The scanner reads and appends them; initialisation
// fills them before the scanner starts and shutdown clears them after it stops,
// so nothing locks them.
class ExclusionLists {
 public:
  ExclusionLists() = default;
  ~ExclusionLists();
  ExclusionLists(const ExclusionLists&) = delete;
  ExclusionLists& operator=(const ExclusionLists&) = delete;

  // Frees every node of both lists and forgets the exact names; all are empty
  // afterwards.
  void Clear();
  // True when the name is the probe name "xtest$$$.@@@" (any case), begins with
  // an entry of fileNames, its extension begins with an entry of extensions, or
  // it is one of the names excluded exactly (any case).
  bool IsExcluded(const char* name) const;

  // Excludes this one name (in memory only): a file whose bad name could not
  // be renamed. Unlike the entries of fileNames it is no prefix of others.
  void ExcludeExactly(const std::string& name);

  TextNode* fileNames = nullptr;
  TextNode* extensions = nullptr;
  std::vector<std::string> exactNames;
};

// The lists of the library.
ExclusionLists& ModuleExclusionLists();

// 1 when the name is excluded by the module-wide lists, else 0.
int IsExcludedFile(const char* name);

// The level-3 log lines of one list's loading.
struct ExclusionListMessages {
  const char* reading;  // takes the file's path
  const char* entry;    // takes each entry
};
extern const ExclusionListMessages kExcludedFileNameMessages;   // "Reading excluded filenames from: %s."
extern const ExclusionListMessages kExcludedExtensionMessages;  // "Reading excluded extensions from: %s."

// Logs `messages.reading` with the path, reads the file (writing it first with
// `defaults` when it cannot be read) and appends each entry to `list`, logging
// `messages.entry` with it. kCannotCreate: the file could be neither read nor
// written and nothing was appended; the caller tells the user.
ExclusionFileStatus LoadExclusionList(const std::string& path, const std::vector<std::string>& defaults,
                                      const ExclusionListMessages& messages, TextNode*& list);

// True when another program holds the file open so that it cannot be opened for
// reading without sharing (sharing or lock violation, logged at level 2 "File
// is in use (spooling?) : %s"). A write-protected medium is logged at level 1
// and counts as not in use; any other failure is logged at level 0, reported
// with ReportSystemError("IsFileInUse?") on `params` (which may be null) and
// counts as not in use: the size-and-type read decides then.
bool IsFileInUse(PluginParameters* params, const char* path);
// As above; when the file is not in use because it was opened, the exclusive
// handle is handed to `keepOpen` (when not null) so that the scan can read the
// file's head without opening it again.
bool IsFileInUse(PluginParameters* params, const char* path, ScopedHandle* keepOpen);

}  // namespace hf
