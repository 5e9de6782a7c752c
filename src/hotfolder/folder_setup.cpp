// Grouping, scripting and thumbnail set-up of a hot folder.
#include "hotfolder/folder_setup.h"
#include "scripting/win32/move_the_file.h"

#include "base/file_io.h"
#include "base/format.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "host/message_handover.h"
#include "hotfolder/services/grouping_service.h"
#include "scripting/win32/scripting_service.h"

namespace hf {

namespace {

constexpr const char* kScriptingFolderName = "_.script";
constexpr const char* kSchemeExtension = ".fns";

std::string HostConfigFolder() { return JoinPath(HostProgramFolder(), "Config"); }

}  // namespace

bool CheckSettingsFileIn(const std::string& configFolder, const std::string& name, const char* subFolder,
                         std::string& errorText, bool addExtension) {
  if (name.empty()) {
    errorText = "No Filename provided";
    return false;
  }
  const std::string folder = JoinPath(configFolder, subFolder);
  if (!FolderExists(folder)) {
    errorText = FormatText("Folder '%s' does not exist", folder.c_str());
    return false;
  }
  std::string file = JoinPath(folder, name);
  if (addExtension) file += kSchemeExtension;
  if (!FileExists(file)) {
    errorText = FormatText("File '%s' does not exist", file.c_str());
    return false;
  }
  return true;
}

bool CheckSettingsFile(const std::string& name, const char* subFolder, std::string& errorText, bool addExtension) {
  return CheckSettingsFileIn(HostConfigFolder(), name, subFolder, errorText, addExtension);
}

std::string DefaultThumbnailFolder() { return JoinPath(JoinPath(HostProgramFolder(), "htdocs"), "Thumbnails"); }

void SetUpGrouping(CHotFolder& folder, const TaskSettingsView& view, PluginParameters* params) {
  DestroyGroupList(folder.groupList);
  folder.groupingActive = 0;
  if (!view.groupingEnabled()) return;

  std::string reason;
  // The group list, the colour catalogue and the configuration of the group
  // list belong to the grouping service.
  const std::string schemeName = view.filenameSchemeName();
  if (CheckSettingsFile(schemeName, "FilenameSetups", reason, true) && SetUpGroupList(folder, schemeName, reason))
    return;
  HandOverMessage(params, "SA: Warning - %s",
                  FormatText("%s. Grouping was disabled for '%s'.", reason.c_str(), folder.path));
}

void SetUpScripting(CHotFolder& folder, const TaskSettingsView& view, PluginParameters* params) {
  // A job left in the scripting folder (a host that ended while its script ran)
  // goes back into the hot folder; nothing there is deleted.
  const std::string scriptingFolder = std::string(folder.path) + kScriptingFolderName;
  if (FolderExists(scriptingFolder)) RescueScriptingFolder(folder.path, scriptingFolder);
  folder.scriptingEnabled = 0;
  folder.scriptName.clear();
  if (!view.scriptingEnabled()) return;

  std::string reason;
  const std::string scriptName = view.scriptName();
  if (CheckSettingsFile(scriptName, "Scripts", reason, false)) {
    if (ScriptingServiceAvailable()) {
      folder.scriptingEnabled = 1;
      folder.scriptName = scriptName;
      return;
    }
    reason = kScriptingNotAvailableText;
  }
  HandOverMessage(params, "STF: Warning - %s", FormatText("%s. Scripting will be disabled.", reason.c_str()));
}

void SetUpThumbnails(CHotFolder& folder, const TaskSettingsView& view, PluginParameters* params,
                     const std::string& thumbnailFolder) {
  folder.thumbnailsEnabled = view.thumbnailsEnabled() ? 1 : 0;
  folder.thumbnailFolder = thumbnailFolder;
  if (CreateFolder(thumbnailFolder, true) == 0) return;
  HandOverMessage(
      params, "Hot Folder: Warning - %s",
      FormatText("Failed to create folder '%s'. Thumbnail Generation will be disabled.", thumbnailFolder.c_str()));
  folder.thumbnailsEnabled = 0;
}

void SetUpFolderServices(CHotFolder& folder, const TaskSettingsView& view, PluginParameters* params) {
  SetUpGrouping(folder, view, params);
  SetUpScripting(folder, view, params);
  SetUpThumbnails(folder, view, params, DefaultThumbnailFolder());
}

}  // namespace hf
