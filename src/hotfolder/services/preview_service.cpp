// Preview call points for a build without previews.
#include "hotfolder/services/preview_service.h"

#include "base/log.h"

namespace hf {

int MakeFilePreview(CHotFolder&, const std::string& filePath, const std::string&, uint32_t) {
  Log(LogLevel::kTrace, "No preview made for %s: previews are not available in this version.", filePath.c_str());
  return 0;
}

bool MakeJobPreview(const std::string& jobFolder, const std::string&, const JdfSubJobMap&, const std::string&) {
  Log(LogLevel::kTrace, "No preview made for %s: previews are not available in this version.", jobFolder.c_str());
  return false;
}

void MakeGroupComposite(CHotFolder&, const char* groupListPath) {
  Log(LogLevel::kTrace, "No composite made for %s: previews are not available in this version.", groupListPath);
}

}  // namespace hf
