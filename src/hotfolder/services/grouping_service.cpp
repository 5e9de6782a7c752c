// The grouping call points of the hot folders.
#include "hotfolder/services/grouping_service.h"

#include "base/log.h"
#include "base/path_utils.h"
#include "formats/job_type.h"
#include "grouping/group_document.h"
#include "grouping/win32/file_group_list.h"
#include "grouping/win32/group_move.h"
#include "grouping/win32/stranded_group.h"
#include "hotfolder/hot_folder.h"
#include "hotfolder/services/colour_catalogue_service.h"
#include "hotfolder/services/preview_service.h"

#include <cstdio>
#include <functional>
#include <new>

namespace hf {

bool GroupingServiceAvailable() { return true; }

bool SetUpGroupList(CHotFolder& folder, const std::string& templateName, std::string& reason) {
  std::unique_ptr<CFileGroupList> groupList(new (std::nothrow) CFileGroupList());
  if (!groupList) {
    reason = kGroupListNotCreatedText;
    return false;
  }
  if (!LoadColourCatalogue()) {
    reason = kColourInfoNotLoadedText;
    return false;
  }
  const GroupStatus result = groupList->SetUpGrouping(folder.path, templateName, &TheColourCatalogue());
  if (result != GroupStatus::kOk) {
    char text[64];
    std::snprintf(text, sizeof text, kGroupListNotConfiguredFormat, static_cast<int>(result));
    reason = text;
    return false;
  }
  groupList->SetUniqueNames(1);
  Log(LogLevel::kDetail, "SA: Info: Grouping enabled for '%s'", folder.path);
  folder.groupList = std::move(groupList);
  folder.groupingActive = 1;
  return true;
}

void DestroyGroupList(std::unique_ptr<CFileGroupList>& groupList) { groupList.reset(); }

namespace {

void ShareResourceId(CFileGroup& group, std::string& resourceId) {
  std::string groupId;
  group.group().GetResourceID(groupId);
  if (groupId.empty()) {
    group.group().SetResourceID(resourceId);
    Log(LogLevel::kError, "HFA: Setting group resource ID to '%s'. ", resourceId.c_str());
  } else {
    resourceId = groupId;
    Log(LogLevel::kError, "HFA: Using group resource ID of '%s'. ", resourceId.c_str());
  }
}

}  // namespace

GroupStatus AddFileToGroup(CFileGroupList* groupList, const char* fileName, const char* sourceFolder,
                           std::string& previewPath, std::string* resourceId, GroupMember* member) {
  previewPath.clear();
  if (groupList == nullptr || fileName == nullptr || sourceFolder == nullptr) return GroupStatus::kNotCreated;
  CFileGroup* taken = nullptr;
  std::function<void(CFileGroup&)> whileOpen;
  if (resourceId != nullptr || member != nullptr) {
    whileOpen = [resourceId, member, fileName](CFileGroup& open) {
      if (resourceId != nullptr) ShareResourceId(open, *resourceId);
      if (member == nullptr) return;
      member->groupFolder = open.folder();
      open.group().GetPageNumber(fileName, member->pageNumber);
    };
  }
  return groupList->AddFile(fileName, sourceFolder, previewPath, taken, whileOpen);
}

int GroupedThumbnailStage(CHotFolder& folder, const char* fileName, uint32_t jobType, bool jsonValid,
                          const GroupMember* member, const std::string& previewPath, const std::string& resourceId) {
  if (member == nullptr)
    Log(LogLevel::kError, "HFA: Not added - using unique resource ID of '%s'. ", resourceId.c_str());

  const std::string name = fileName != nullptr ? fileName : "";
  if (jobType == kJobTypeTiff) return MakeTiffThumbnail(folder, name, resourceId, member);
  const bool previewable = jobType == kJobTypePostScript || jobType == kJobTypePdf || jobType == kJobTypeEps ||
                           (jobType == kJobTypeJson && jsonValid);
  if (!previewable) return 0;
  return MakeFilePreview(folder, !previewPath.empty() ? previewPath : name, resourceId, jobType);
}

GroupMoveResult MoveGroupListWithFolder(const char* destinationFolder, const char* sourcePath, const char*) {
  if (destinationFolder == nullptr || sourcePath == nullptr) return GroupMoveResult::Refused();
  return Move(sourcePath, destinationFolder, ParentFolder(sourcePath));
}

bool RetryStrandedGroup(const char* sourcePath) {
  if (sourcePath == nullptr) return false;
  const std::string folder = StrandedGroupFolder(sourcePath);
  if (folder.empty()) return false;
  const std::vector<std::string> left = ReturnStrandedGroup(sourcePath, folder);
  if (left.empty()) {
    Log(LogLevel::kDetail, "Group folder <%s>: its members are back in the hot folder", folder.c_str());
    return true;
  }
  Log(LogLevel::kDetail, "Group folder <%s>: %lu member(s) still cannot go back to the hot folder: %s", folder.c_str(),
      static_cast<unsigned long>(left.size()), JoinTexts(left, ", ").c_str());
  return true;
}

}  // namespace hf
