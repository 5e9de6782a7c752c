// The hot folder's own clean-up and its queue of reports for the host.
#include "hotfolder/hot_folder.h"

#include "base/log.h"
#include "grouping/win32/file_group_list.h"
#include "hotfolder/services/grouping_service.h"

#include <algorithm>
#include <utility>

namespace hf {

namespace {

// Far more than a host polling every few seconds ever lets pile up.
constexpr size_t kMaxPendingReports = 32;

}  // namespace

CHotFolder::CHotFolder() = default;

CHotFolder::~CHotFolder() {
  DeleteLinkedFileList(foundList);
  DeleteLinkedFileList(pendingList);
  DestroyGroupList(groupList);
  groupingActive = 0;
}

void CHotFolder::QueueReport(BlockReport report) {
  if (std::find(pendingReports.begin(), pendingReports.end(), report) != pendingReports.end()) return;
  if (pendingReports.size() >= kMaxPendingReports) {
    Log(LogLevel::kDetail, "%s: the host has not taken its earlier reports; this one stays in the log only.", path);
    return;
  }
  pendingReports.push_back(std::move(report));
}

}  // namespace hf
