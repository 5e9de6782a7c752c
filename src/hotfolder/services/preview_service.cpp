// The preview call points of the hot folders.
#include "hotfolder/services/preview_service.h"

#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "base/win32/windows_api.h"
#include "hotfolder/hot_folder.h"
#include "previews/tiff_decimation.h"
#include "previews/win32/group_composite.h"
#include "previews/win32/renderer_previews.h"

namespace hf {

namespace {

// A thumbnail folder made with its parents; false (logged) when it cannot be.
bool MakeThumbnailFolder(const std::string& path) {
  return CreateFolderOrLog(path, "HFA: Unable to access/create Thumbnail target folder at '%s'. Error 0x%lx.");
}

}  // namespace

int MakeFilePreview(CHotFolder& folder, const std::string& filePath, const std::string& resourceId, uint32_t jobType) {
  return MakeFilePreview(folder.path, folder.thumbnailFolder, filePath, resourceId, jobType) ? 1 : 0;
}

int MakeTiffThumbnail(CHotFolder& folder, const std::string& fileName, const std::string& resourceId,
                      const GroupMember* member) {
  const std::string resourceFolder = JoinPath(folder.thumbnailFolder, resourceId);
  if (!MakeThumbnailFolder(resourceFolder)) return 0;
  const int page = member != nullptr ? member->pageNumber : 1;
  const std::string pageFolder = JoinPath(resourceFolder, std::to_string(page));
  if (!MakeThumbnailFolder(pageFolder)) return 0;
  if (member == nullptr) return 0;

  const std::string source = JoinPath(member->groupFolder, fileName);
  const std::string target = JoinPath(pageFolder, fileName);
  Log(LogLevel::kDetail, "HFA (1): Decimating '%s' to '%s'.", source.c_str(), target.c_str());
  if (DecimateTiff(source, target)) return 1;
  const DWORD error = ::GetLastError();
  Log(LogLevel::kError, "HFA: (1) Unable to copy high-res file '%s' to thumbnails folder '%s'. Error 0x%lx.",
      source.c_str(), target.c_str(), static_cast<unsigned long>(error));
  return 0;
}

void MakeGroupComposite(CHotFolder& folder, const char* groupListPath) {
  if (groupListPath == nullptr) return;
  MakeGroupComposite(folder.thumbnailFolder, groupListPath);
}

}  // namespace hf
