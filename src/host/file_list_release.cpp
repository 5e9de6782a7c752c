// Frees a handed-over chained file list.
#include "host/file_list_release.h"

#include "host/chained_file_item.h"

namespace hf {

void ReleaseHandedOverFileList(PluginParameters* params) {
  if (params == nullptr || params->fileList == nullptr) return;
  auto* list = static_cast<ChainedFileItem*>(params->fileList);
  params->fileList = nullptr;
  DeleteFileList(list, 1);
}

}  // namespace hf
