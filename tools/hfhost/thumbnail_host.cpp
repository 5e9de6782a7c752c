// Placing the picture programs and keeping the thumbnail page up to date.
#include "tools/hfhost/thumbnail_host.h"

#include "base/file_io.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"
#include "formats/job_type.h"
#include "grouping/group_document.h"
#include "tools/hfhost/host_output.h"

#include <utility>

namespace hf {

namespace {

constexpr unsigned kPageRefreshSeconds = 5;

bool SameFile(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b) {
  return a.nFileSizeLow == b.nFileSizeLow && a.nFileSizeHigh == b.nFileSizeHigh &&
         ::CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
  return ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) != 0 &&
         (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The first name (in byte order) of a PNG file directly in `folder`; empty when there is none.
std::string FirstPngIn(const std::string& folder) {
  WIN32_FIND_DATAA found;
  ScopedFindHandle find(::FindFirstFileA((folder + "*.png").c_str(), &found));
  if (!find) return std::string();
  std::string first;
  do {
    const std::string name = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && (first.empty() || name < first)) first = name;
  } while (::FindNextFileA(find.get(), &found));
  return first;
}

}  // namespace

std::string ThumbnailFolderOf(const std::string& hostFolder) { return hostFolder + "htdocs\\Thumbnails\\"; }

std::vector<std::string> PrepareThumbnailPrograms(const std::string& hostFolder) {
  std::vector<std::string> notices;
  const std::string built = hostFolder + "prevgen.exe";
  const std::string rendererFolder = hostFolder + "VEZ\\bin\\";
  const std::string renderer = rendererFolder + "prevgen.exe";
  WIN32_FILE_ATTRIBUTE_DATA builtData{}, placedData{};
  if (Attributes(built, builtData) && !(Attributes(renderer, placedData) && SameFile(builtData, placedData))) {
    int error = CreateFolder(WithoutTrailingSeparators(rendererFolder), true);
    if (error == 0) error = CopyFileReplacing(built, renderer);
    if (error != 0) {
      notices.push_back("cannot copy " + built + " to " + renderer + " (" + SystemErrorText(error) +
                        "): previews will not be rendered");
      return notices;
    }
  }
  if (!FileExists(renderer)) {
    notices.push_back("no prevgen.exe beside hfhost.exe (nor " + renderer + "): previews will not be rendered");
  }
  if (!FileExists(hostFolder + "ZoRidaziviv.exe")) {
    notices.push_back("no ZoRidaziviv.exe beside hfhost.exe: group composites will not be made");
  }
  return notices;
}

ThumbnailIndexFile::ThumbnailIndexFile(std::string thumbnailFolder)
    : folder_(std::move(thumbnailFolder)), path_(folder_ + "index.html") {}

void ThumbnailIndexFile::Add(const HandedOverFile& file) {
  Entry entry;
  entry.row.name = Utf8FromAnsi(file.fileName);
  entry.row.jobType = JobTypeName(file.jobType);
  entry.row.size = file.fileSize;
  entry.row.resourceId = Utf8FromAnsi(file.resourceId);
  entry.row.group = file.jobType == kJobTypeFileGroupList;
  entry.resourceId = file.resourceId;
  // A group's pictures are filed under the resource ID its separations took, which
  // the group file holds; the record carries an ID of its own.
  std::string groupResourceId;
  if (entry.row.group &&
      CGroupDocumentReader::ReadTextFromFile(file.folder + file.fileName, kFileGroupInfoSection, "ResourceID",
                                             groupResourceId) == kGroupValuePresent &&
      !groupResourceId.empty())
    entry.resourceId = groupResourceId;
  entry.arrived = Clock::now();
  FindPicture(entry);
  entries_.push_back(std::move(entry));
  changed_ = true;
}

// A job's picture is <R>\<R>.png; a group's composite is that or else the first
// PNG in <R>\ (the thumbnail application names its own output).
bool ThumbnailIndexFile::FindPicture(Entry& entry) const {
  const std::string& id = entry.resourceId;
  if (id.empty() || id.find_first_of("\\/:") != std::string::npos || id == "." || id == "..") return false;
  const std::string resourceFolder = folder_ + id + "\\";
  std::string name = FileExists(resourceFolder + id + ".png") ? id + ".png" : std::string();
  if (name.empty() && entry.row.group) name = FirstPngIn(resourceFolder);
  if (name.empty()) return false;
  entry.row.picture = Utf8FromAnsi(id) + "/" + Utf8FromAnsi(name);
  return true;
}

int ThumbnailIndexFile::Update() {
  const Clock::time_point now = Clock::now();
  for (Entry& entry : entries_) {
    if (entry.row.picture.empty() && now - entry.arrived < kPictureWait && FindPicture(entry)) changed_ = true;
  }
  if (!changed_) return 0;
  int error = CreateFolder(WithoutTrailingSeparators(folder_), true);
  if (error == 0) {
    std::vector<ThumbnailIndexRow> rows;
    rows.reserve(entries_.size());
    for (const Entry& entry : entries_) rows.push_back(entry.row);
    error = ReplaceFileContents(path_, ThumbnailIndexPage(rows, kPageRefreshSeconds));
  }
  if (error == 0) changed_ = false;
  return error;
}

}  // namespace hf
