// The per-folder set-up of the three optional services a task can ask for:
// separation grouping, scripting and thumbnails; and the check that a named
// settings file exists in the configuration folder of the host program.
//
// A service that cannot be set up never fails StartAction: it is switched off
// for the folder and the host is told why (HandOverMessage).
#pragma once

#include "host/plugin_parameters.h"
#include "hotfolder/hot_folder.h"

#include <string>

namespace hf {

// The file `name` (plus ".fns" when `addExtension`) in `configFolder`\`subFolder`.
// False with `errorText` set when:
//   - the name is empty:             "No Filename provided";
//   - the folder does not exist:     "Folder '<configFolder>\<subFolder>' does not exist";
//   - the file is not an existing file: "File '<path>' does not exist".
bool CheckSettingsFileIn(const std::string& configFolder, const std::string& name, const char* subFolder,
                         std::string& errorText, bool addExtension);

// CheckSettingsFileIn with the "Config" folder of the host program's folder.
bool CheckSettingsFile(const std::string& name, const char* subFolder, std::string& errorText, bool addExtension);

// host program folder + "htdocs\Thumbnails".
std::string DefaultThumbnailFolder();

// Grouping: any old group list is destroyed; when the task asks for grouping,
// its filename scheme settings file ("FilenameSetups", ".fns") is checked.
// The folder is watched without grouping when the check fails or grouping is
// not available, and the host receives "<reason>. Grouping was disabled for
// '<path>'." (logged with "SA: Warning - %s").
void SetUpGrouping(CHotFolder& folder, const TaskSettingsView& view, PluginParameters* params);

// Scripting: the folder's "_.script" folder is removed with its content and
// scripting is switched off; when the task asks for scripting, its script file
// ("Scripts") is checked and, when scripts can run, switched on. Otherwise the
// host receives "<reason>. Scripting will be disabled." (logged with
// "STF: Warning - %s").
void SetUpScripting(CHotFolder& folder, const TaskSettingsView& view, PluginParameters* params);

// Thumbnails: the switch follows the task; the thumbnail folder is created with
// its parents (also when thumbnails are off). When it cannot be created the
// host receives "Failed to create folder '<folder>'. Thumbnail Generation will
// be disabled." (logged with "Hot Folder: Warning - %s") and thumbnails are off.
void SetUpThumbnails(CHotFolder& folder, const TaskSettingsView& view, PluginParameters* params,
                     const std::string& thumbnailFolder);

// The three set-ups in order, with the default thumbnail folder.
void SetUpFolderServices(CHotFolder& folder, const TaskSettingsView& view, PluginParameters* params);

}  // namespace hf
