// Separation grouping as the hot folders call it: the life of a folder's
// group list, the scan's AddFile step, the group's share of the thumbnail
// stage (its resource ID) and the move of a closed group with its folder.
#pragma once

#include "grouping/win32/file_group.h"
#include "grouping/win32/group_move.h"
#include "host/plugin_parameters.h"
#include "hotfolder/services/preview_service.h"

#include <cstdint>
#include <memory>
#include <string>

namespace hf {

class CFileGroupList;
class CHotFolder;

// Texts handed to the host when grouping cannot be set up.
constexpr const char* kGroupListNotCreatedText = "Failed to create grouping object";
constexpr const char* kColourInfoNotLoadedText = "Failed to load Colour Info";
// "Failed to configure grouping object - error %d"
constexpr const char* kGroupListNotConfiguredFormat = "Failed to configure grouping object - error %d";

// True: this build groups separations.
bool GroupingServiceAvailable();

// The grouping set-up of a folder once its filename scheme settings file
// (`templateName`.fns) was found: a new group list, the colour catalogue
// reloaded, the list configured with the template. On success the folder's
// `groupList` is the new list (unique group names on), `groupingActive` is 1,
// "SA: Info: Grouping enabled for '<path>'" is logged (level 2) and the result
// is true. Otherwise nothing changes in the folder and `reason` is one of the
// texts above. Called while the synchronisation event is held.
bool SetUpGroupList(CHotFolder& folder, const std::string& templateName, std::string& reason);

// Destroys a folder's group list (its open groups are closed and written
// first) and leaves the pointer null.
void DestroyGroupList(std::unique_ptr<CFileGroupList>& groupList);

// The scan's AddFile step for a PDF or TIFF in a folder with grouping: kOk when
// the file was taken into a group (`previewPath` then names its new place).
// Anything else leaves the file standalone.
// With `resourceId` given (thumbnails are on), a file taken into a group shares
// the group's resource ID: the first one gives the group its own ("HFA: Setting
// group resource ID to '%s'. "), later ones take it ("HFA: Using group resource
// ID of '%s'. "), both logged at level 0. The exchange happens while the group
// is certainly open, so the file that completes a group takes part in it too.
// With `member` given, a file taken into a group also gets its group folder
// and page number there, for its thumbnail.
GroupStatus AddFileToGroup(CFileGroupList* groupList, const char* fileName, const char* sourceFolder,
                           std::string& previewPath, std::string* resourceId, GroupMember* member = nullptr);

// The thumbnail stage of a folder with grouping active, after AddFileToGroup
// has shared the resource ID: a file not taken keeps its own ("HFA: Not added -
// using unique resource ID of '%s'. ", level 0). A TIFF then gets its thumbnail
// folder and, when it was grouped (`member`), its decimated copy there
// (MakeTiffThumbnail); PostScript, PDF, EPS and valid JSON files get their
// preview (of the file's new place when it was grouped). Returns the previewed
// flag.
int GroupedThumbnailStage(CHotFolder& folder, const char* fileName, uint32_t jobType, bool jsonValid,
                          const GroupMember* member, const std::string& previewPath, const std::string& resourceId);

// Moves a group file (job type 0x8000000) at `sourcePath` in the hot folder,
// together with the group folder it names, into `destinationFolder`; the
// group file keeps its name (`targetPath` is where it arrives). 0 on success,
// otherwise the status of the group move (group_move.h); a refused or failed
// move leaves the group file and its folder where they were.
GroupMoveResult MoveGroupListWithFolder(const char* destinationFolder, const char* sourcePath, const char* targetPath);

// A group file at `sourcePath` whose group was undone with members left
// (stranded_group.h) is not handed over: true, and its members are tried once
// more (the names still left are logged). False for any other file.
bool RetryStrandedGroup(const char* sourcePath);

}  // namespace hf
