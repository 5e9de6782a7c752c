// Reading and parsing job submissions, and the member accessors.
#include "formats/job_submission.h"

#include "base/ascii.h"
#include "base/file_io.h"
#include "base/leading_integer.h"
#include "base/log.h"
#include "base/path_utils.h"

#include <climits>

namespace hf {

namespace {

// The system error text as it fits a 260-byte field.
constexpr size_t kErrorTextLimit = kMaxPathBytes - 1;

const cJSON* Member(const cJSON* object, const char* name) {
  if (!cJSON_IsObject(object) || name == nullptr) return nullptr;
  return cJSON_GetObjectItem(object, name);
}

std::string WithBackslashes(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// "first\second" without normalising (a leading ".\" must stay relative to the
// hot folder, not become the host program's); an empty part gives the other.
std::string Concatenated(const std::string& first, const std::string& second) {
  if (first.empty()) return second;
  if (second.empty()) return first;
  return WithoutTrailingSeparators(first) + "\\" + second;
}

// The name parts of a listing pattern stay names: a separator in either would
// let the pattern's "." and ".." climb out of the job folder, or drop the
// "_*." that makes it a pattern at all.
bool IsPlainName(const std::string& part) { return part.find_first_of("\\/:") == std::string::npos; }

std::string InHotFolder(const std::string& path, const std::string& hotFolder) {
  if (path.empty() || IsAbsoluteSubmissionPath(path)) return path;
  return JoinPath(hotFolder, WithBackslashes(path));
}

}  // namespace

JsonTree ParseJsonText(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return nullptr;
  const std::string copy(text);  // the parser needs the terminating NUL inside its length
  return JsonTree(cJSON_ParseWithLengthOpts(copy.c_str(), copy.size() + 1, nullptr, 1));
}

std::string ObjectString(const cJSON* object, const char* name) {
  const cJSON* member = Member(object, name);
  return cJSON_IsString(member) && member->valuestring != nullptr ? member->valuestring : std::string();
}

int32_t ObjectInteger(const cJSON* object, const char* name) {
  const cJSON* member = Member(object, name);
  if (cJSON_IsString(member) && member->valuestring != nullptr) return LeadingInteger(member->valuestring);
  if (!cJSON_IsNumber(member)) return 0;
  const double value = member->valuedouble;
  if (!(value == value)) return 0;  // NaN
  if (value >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  if (value <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  return static_cast<int32_t>(value);
}

std::string ArrayString(const cJSON* array, int index) {
  if (!cJSON_IsArray(array) || index < 0) return std::string();
  const cJSON* element = cJSON_GetArrayItem(array, index);
  return cJSON_IsString(element) && element->valuestring != nullptr ? element->valuestring : std::string();
}

int ReadJobSubmission(const std::string& folder, const std::string& fileName, JsonTree& root) {
  root.reset();
  std::string text;
  const int error = ReadWholeFile(JoinPath(folder, fileName), text);
  if (error != 0) {
    const std::string reason = SystemErrorText(error).substr(0, kErrorTextLimit);
    Log(LogLevel::kError, "Exception reading JSON from JobSubmission file: %s.", reason.c_str());
    return 0;
  }
  root = ParseJsonText(text);
  if (!root) Log(LogLevel::kError, "Error parsing JSON from JobSubmission file.");
  return 1;
}

bool IsAbsoluteSubmissionPath(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':') ||
         (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]));
}

JobSubmissionTarget SubmissionTarget(const cJSON* root, const std::string& hotFolder) {
  JobSubmissionTarget target;
  target.mode = ObjectInteger(root, "mode");
  if (target.mode == 1) {
    target.path = InHotFolder(ArrayString(Member(root, "JobFilePaths"), 0), hotFolder);
  } else if (target.mode == 2) {
    const std::string name = ObjectString(root, "FileNameBase");
    const std::string suffix = ObjectString(root, "FileTypeSuffix");
    if (IsPlainName(name) && IsPlainName(suffix)) {
      const std::string base = Concatenated(ObjectString(root, "JobPath"), name);
      target.path = InHotFolder(base + "_*." + suffix, hotFolder);
    }
  } else {
    target.path = InHotFolder(ObjectString(root, "JobFilePath"), hotFolder);
  }
  return target;
}

std::vector<std::string> SplitFolderList(std::string_view text) {
  std::vector<std::string> folders;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    std::string folder = TrimmedAscii(text.substr(start, end - start));
    if (!folder.empty()) folders.push_back(std::move(folder));
    start = end + 1;
  }
  return folders;
}

}  // namespace hf
