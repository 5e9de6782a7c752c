// Frees a handed-over chained file list.
#include "actions/hotfolderaction/file_list_release.h"

#include "common/win32/chained_file_item.h"

void ReleaseHandedOverFileList(PluginParameters* params) {
  if (params == nullptr || params->fileList == nullptr) return;
  auto* list = static_cast<ChainedFileItem*>(params->fileList);
  params->fileList = nullptr;
  DeleteFileList(list, 1);
}
