// The hot folder's own clean-up.
#include "hotfolder/hot_folder.h"

#include "grouping/win32/file_group_list.h"
#include "hotfolder/services/grouping_service.h"

namespace hf {

CHotFolder::CHotFolder() = default;

CHotFolder::~CHotFolder() {
  DeleteLinkedFileList(foundList);
  DeleteLinkedFileList(pendingList);
  DestroyGroupList(groupList);
  groupingActive = 0;
}

}  // namespace hf
