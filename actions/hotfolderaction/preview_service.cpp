// Preview call points for a build without previews.
#include "actions/hotfolderaction/preview_service.h"

#include "common/log.h"

int MakeFilePreview(CHotFolder&, const std::string& filePath, const std::string&, uint32_t) {
  Log(3, "No preview made for %s: previews are not available in this version.", filePath.c_str());
  return 0;
}

void MakeGroupComposite(CHotFolder&, const char* groupListPath) {
  Log(3, "No composite made for %s: previews are not available in this version.", groupListPath);
}
