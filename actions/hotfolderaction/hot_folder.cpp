// The hot folder's own clean-up.
#include "actions/hotfolderaction/hot_folder.h"

#include "actions/hotfolderaction/grouping_service.h"

CHotFolder::~CHotFolder() {
  DeleteLinkedFileList(foundList);
  DeleteLinkedFileList(pendingList);
  DestroyGroupList(groupList);
  groupingActive = 0;
}
