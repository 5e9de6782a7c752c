// Fuzzes the reading of a job submission: the parse, the accessors on every
// member of the root, and the target of the submission: a relative job path is
// joined to the hot folder, so every path that comes out is absolute.
#include "formats/job_submission.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace hf;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  JsonTree root = ParseJsonText(text);
  if (!root) return 0;
  for (const cJSON* member = root->child; member != nullptr; member = member->next) {
    if (member->string == nullptr) continue;
    ObjectString(root.get(), member->string);
    ObjectInteger(root.get(), member->string);
    for (int index = -1; index <= 2; ++index) ArrayString(member, index);
  }
  const JobSubmissionTarget target = SubmissionTarget(root.get(), "C:\\hot\\");
  if (target.mode == 2 && !target.path.empty() && target.path.find("_*.") == std::string::npos) std::abort();
  if (!target.path.empty() && !IsAbsoluteSubmissionPath(target.path)) std::abort();
  SplitFolderList(text);
  return 0;
}
