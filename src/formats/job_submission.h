// Job submissions: a small JSON file dropped into a hot folder that names the
// job file to be processed instead of carrying it. This is the portable part:
// reading and parsing the file, the member accessors, and turning the members
// into the path (or listing pattern) of the job file. Looking at the file
// system for that file is jobs/win32/job_submission_resolve.
//
// The file is one JSON object; member names are matched without regard to case:
//   mode            1: JobFilePaths; 2: JobPath, FileNameBase and FileTypeSuffix;
//                   anything else (0 when absent): JobFilePath. A number, or a
//                   text that starts with digits.
//   JobFilePath     mode 0: the job file's path
//   JobFilePaths    mode 1: an array of paths; the first is the job file
//   JobPath         mode 2: the folder that holds the job file
//   FileNameBase    mode 2: the job file's name up to the "_" before its
//                   variable part
//   FileTypeSuffix  mode 2: the job file's extension, without its dot
// A path is absolute when its second character is ":" or it begins with two
// separators (a network path); any other path is relative to the hot folder.
#pragma once

#include <cjson/cJSON.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hf {

struct JsonTreeDelete {
  void operator()(cJSON* root) const { cJSON_Delete(root); }
};
// A parsed JSON document; its owner frees the whole tree.
using JsonTree = std::unique_ptr<cJSON, JsonTreeDelete>;

// Parses a whole text: null on any syntax error, including text after the
// value and a NUL inside the text.
JsonTree ParseJsonText(std::string_view text);

// The string value of the named member; empty when `object` is null or not an
// object, the member is absent, or it is not a string.
std::string ObjectString(const cJSON* object, const char* name);

// A number member gives its integer value (truncated, clamped to the 32-bit
// range); a string member the leading decimal integer of its text
// (LeadingInteger: 0 when it does not start with one); anything else, an absent
// member or no object gives 0.
int32_t ObjectInteger(const cJSON* object, const char* name);

// The string value of the array's element at the 0-based index; empty when
// `array` is null or not an array, the element is absent or not a string.
std::string ArrayString(const cJSON* array, int index);

// Reads the whole file `folder` joined with `fileName` and parses it. Returns 1
// when the file could be read, with `root` the parsed tree, or null (logged at
// level 0 "Error parsing JSON from JobSubmission file.") when the text does not
// parse. Returns 0, `root` null, when the file cannot be read (logged at level 0
// "Exception reading JSON from JobSubmission file: %s." with the system's text,
// at most 259 characters); a file over kMaxWholeFileBytes is not read.
int ReadJobSubmission(const std::string& folder, const std::string& fileName, JsonTree& root);

// True for "X:..." (second character ":") and for a path that begins with two
// separators ("\\server\share\...").
bool IsAbsoluteSubmissionPath(const std::string& path);

// What a submission asks for, before the file system is looked at.
struct JobSubmissionTarget {
  int32_t mode = 0;  // as read: 1 and 2 are the named modes, any other value is mode 0
  // Modes 0 and 1: the job file's path, empty when none is named. Mode 2: the
  // listing pattern "<JobPath>\<FileNameBase>_*.<FileTypeSuffix>". A relative
  // path is joined to the hot folder (JoinPath: "." and ".." resolved); an
  // absolute one is kept as it is written. Mode 2 names no file (empty) when
  // FileNameBase or FileTypeSuffix holds a "\", "/" or ":".
  std::string path;
};

// The target of a parsed submission (`root` may be null: mode 0, no path).
JobSubmissionTarget SubmissionTarget(const cJSON* root, const std::string& hotFolder);

// The folders of a ";"-separated list, each trimmed of blanks; empty entries
// are dropped.
std::vector<std::string> SplitFolderList(std::string_view text);

}  // namespace hf
