// What hfhost does for a run with --thumbnails, as the workflow host's own
// installation would: it puts the picture programs where the plug-in looks for
// them, and keeps index.html in the thumbnail folder up to date as jobs arrive.
#pragma once

#include "tools/hfhost/handed_over_file.h"
#include "tools/hfhost/thumbnail_index.h"

#include <chrono>
#include <string>
#include <vector>

namespace hf {

// The thumbnail folder the plug-in uses by default: <hostFolder>htdocs\Thumbnails\.
std::string ThumbnailFolderOf(const std::string& hostFolder);

// Makes the renderer findable the way the plug-in looks for it without the
// registry value VEZ_Thumbnail (which is left alone): a prevgen.exe beside
// hfhost.exe is copied to <hostFolder>VEZ\bin\prevgen.exe when that copy is
// missing or differs in size or time. `hostFolder` ends with a backslash.
// Returns one line per program the plug-in will not find (or could not be
// placed), empty when both the renderer and <hostFolder>ZoRidaziviv.exe are there.
std::vector<std::string> PrepareThumbnailPrograms(const std::string& hostFolder);

// index.html of the thumbnail folder, rewritten in one step (a temporary file
// moved over it) whenever a row is added or a missing picture appears.
class ThumbnailIndexFile {
 public:
  using Clock = std::chrono::steady_clock;

  // How long after a job arrived its picture is looked for again: the renderer
  // is waited for 10 s by default, and a composite is made in the background.
  static constexpr std::chrono::seconds kPictureWait{180};

  explicit ThumbnailIndexFile(std::string thumbnailFolder);
  ThumbnailIndexFile(const ThumbnailIndexFile&) = delete;
  ThumbnailIndexFile& operator=(const ThumbnailIndexFile&) = delete;

  const std::string& path() const { return path_; }

  // A row for a handed-over file; the page is written at the next Update().
  void Add(const HandedOverFile& file);

  // Looks again for the pictures still missing of rows younger than
  // kPictureWait and writes the page when it is new or anything changed.
  // 0, or the system error of creating the folder or writing the page (it is
  // tried again at the next call).
  int Update();

 private:
  struct Entry {
    ThumbnailIndexRow row;
    std::string resourceId;  // as the record carries it (system code page)
    Clock::time_point arrived;
  };
  bool FindPicture(Entry& entry) const;

  std::string folder_;
  std::string path_;
  std::vector<Entry> entries_;
  bool changed_ = true;  // the page has not been written yet
};

}  // namespace hf
