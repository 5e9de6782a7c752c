// ScriptThisFile: one arrived file through the folder's script, and what the
// script left behind.
#include "scripting/win32/scripting_service.h"
#include "base/ascii.h"

#include "base/file_io.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/plain_file_name.h"
#include "base/win32/file_system.h"
#include "base/win32/windows_api.h"
#include "formats/ini_document.h"
#include "host/message_handover.h"
#include "scripting/script_command_line.h"
#include "scripting/win32/move_the_file.h"
#include "scripting/win32/script_launch.h"

namespace hf {

namespace {

constexpr const char* kScriptingFolderName = "_.script";
constexpr const char* kNewNameFileName = "newname.txt";
constexpr const char* kResultsFileName = "results.txt";
constexpr const char* kMissingScriptText = "Script File is missing. Scripting will be disabled.";

// The paths of one run.
struct ScriptPaths {
  std::string scriptsFolder;
  std::string script;
  std::string scriptingFolder;
  std::string hotFolderPath;  // where the file arrived
  std::string scriptedPath;   // where the script finds it
  std::string newNameFile;
  std::string resultsFile;
};

ScriptPaths PathsOf(const ScriptedFolder& folder, const std::string& fileName) {
  ScriptPaths paths;
  paths.scriptsFolder = ScriptsFolder();
  paths.script = JoinPath(paths.scriptsFolder, folder.scriptName);
  paths.scriptingFolder = ScriptingFolderOf(folder.path);
  paths.hotFolderPath = JoinPath(folder.path, fileName);
  paths.scriptedPath = JoinPath(paths.scriptingFolder, fileName);
  paths.newNameFile = JoinPath(paths.scriptingFolder, kNewNameFileName);
  paths.resultsFile = JoinPath(paths.scriptingFolder, kResultsFileName);
  return paths;
}

// Removes the file when it is there; false when it is there afterwards.
bool RemoveIfPresent(const std::string& path) {
  if (FileExists(path)) ::DeleteFileA(path.c_str());
  return !FileExists(path);
}

// NEWNAME from the unnamed section before the first header, trailing blanks
// removed; empty when the file or the key is missing.
std::string ReadNewName(const std::string& path) {
  CIniDocument document;
  document.Load(path);
  if (document.SectionCount() == 0 || !document.Section(0).name().empty()) return std::string();
  const CIniSection& leading = document.Section(0);
  const std::optional<size_t> position = leading.FindKey("NEWNAME");
  if (!position) return std::string();
  return WithoutTrailingBlanks(leading.Entry(*position).value);
}

// [General] ResourceID, trailing blanks removed; empty when missing.
std::string ReadResourceId(const std::string& path) {
  CIniDocument document;
  document.Load(path);
  return WithoutTrailingBlanks(document.GetValue("General", "ResourceID", ""));
}

// The script's NEWNAME when it can be taken: a plain name of a file that the
// script left in the scripting folder, with no file of that name in the hot
// folder (which would be overwritten). Otherwise logged and empty.
std::string UsableNewName(const std::string& newName, const ScriptedFolder& folder, const ScriptPaths& paths,
                          const std::string& fileName) {
  if (newName.empty()) return newName;
  if (!IsPlainFileName(newName)) {
    Log(LogLevel::kError, "ScriptThisFile(): NEWNAME <%s> is not a plain file name - it is ignored.", newName.c_str());
    return std::string();
  }
  if (EqualsIgnoringAsciiCase(newName, fileName)) return newName;
  if (!FileExists(JoinPath(paths.scriptingFolder, newName))) {
    Log(LogLevel::kError, "ScriptThisFile(): NEWNAME <%s> names no file in the scripting folder - it is ignored.",
        newName.c_str());
    return std::string();
  }
  if (FileExists(JoinPath(folder.path, newName))) {
    Log(LogLevel::kError, "ScriptThisFile(): NEWNAME <%s> names a file already in the hot folder - it is ignored.",
        newName.c_str());
    return std::string();
  }
  return newName;
}

// Puts the scripted file back into the hot folder, under a free name when its
// own was taken meanwhile (`fileName` then changes). 0 when it cannot be moved.
int PutBack(const ScriptPaths& paths, std::string& fileName) {
  std::string arrived;
  if (MoveTheFile(paths.scriptedPath, paths.hotFolderPath, &arrived) == 0) return 0;
  fileName = FileNameOnly(arrived);
  return 1;
}

// Puts the file back from the scripting folder. 0 when the script took it away.
int RestoreFile(const ScriptPaths& paths, std::string& fileName) {
  Log(LogLevel::kTrace, "Attempting to restore file <%s>.", paths.scriptedPath.c_str());
  if (FileExists(paths.scriptedPath)) return PutBack(paths, fileName);
  Log(LogLevel::kTrace, "File <%s> has been moved out of HF by the script", paths.scriptedPath.c_str());
  return 0;
}

// The script's new file goes into the hot folder in place of the arrived one.
// The arrived file is removed only once the new one is in place; when the new
// one cannot be moved, the arrived file goes on as it is.
int TakeNewName(const std::string& newName, const ScriptedFolder& folder, const ScriptPaths& paths,
                std::string& fileName) {
  Log(LogLevel::kTrace, "File <%s> will reappear as <%s>.", fileName.c_str(), newName.c_str());
  std::string arrived;
  if (!MoveTheFile(JoinPath(paths.scriptingFolder, newName), JoinPath(folder.path, newName), &arrived))
    return RestoreFile(paths, fileName);
  if (FileExists(paths.scriptedPath)) ::DeleteFileA(paths.scriptedPath.c_str());
  fileName = FileNameOnly(arrived);
  return 1;
}

// What the script left when it ended by itself.
int TakeOutcome(const ScriptedFolder& folder, const ScriptPaths& paths, std::string& fileName,
                std::string& resourceId) {
  if (FileExists(paths.hotFolderPath)) {
    Log(LogLevel::kTrace, "File <%s> has reappeared.", fileName.c_str());
    // The script put a file in its place: the arrived one is given up now
    // that its successor is in the hot folder.
    if (FileExists(paths.scriptedPath)) ::DeleteFileA(paths.scriptedPath.c_str());
    return 1;
  }
  if (FileExists(paths.newNameFile)) {
    Log(LogLevel::kTrace, "ScriptThisFile(): Results file exists");
    const std::string newName = UsableNewName(ReadNewName(paths.newNameFile), folder, paths, fileName);
    ::DeleteFileA(paths.newNameFile.c_str());
    if (newName.empty()) return RestoreFile(paths, fileName);
    if (!EqualsIgnoringAsciiCase(newName, fileName)) return TakeNewName(newName, folder, paths, fileName);
    Log(LogLevel::kTrace, "File <%s> will reappear.", fileName.c_str());
    return PutBack(paths, fileName);
  }

  const int result = RestoreFile(paths, fileName);
  if (FileExists(paths.resultsFile)) {
    Log(LogLevel::kTrace, "ScriptThisFile(): Results file 2 exists");
    const std::string newId = ReadResourceId(paths.resultsFile);
    ::DeleteFileA(paths.resultsFile.c_str());
    if (newId.empty())
      Log(LogLevel::kDetail, "ScriptThisFile(): No ResourceID in the results file - the resource ID stays <%s>.",
          resourceId.c_str());
    else if (!IsPlainFileName(newId))
      Log(LogLevel::kError, "ScriptThisFile(): ResourceID <%s> is not a plain name - it is ignored.", newId.c_str());
    else
      resourceId = newId;
  }
  return result;
}

bool IsResultFileName(const std::string& fileName) {
  return EqualsIgnoringAsciiCase(fileName, kNewNameFileName) || EqualsIgnoringAsciiCase(fileName, kResultsFileName);
}

}  // namespace

bool ScriptingServiceAvailable() { return true; }

std::string ScriptsFolder() { return JoinPath(JoinPath(HostProgramFolder(), "Config"), "Scripts"); }

std::string ScriptingFolderOf(const char* folderPath) { return JoinPath(folderPath, kScriptingFolderName); }

int ScriptThisFile(PluginParameters* params, const ScriptedFolder& folder, std::string& fileName,
                   std::string& resourceId) {
  Log(LogLevel::kTrace, "ScriptThisFile(): Entry");
  Log(LogLevel::kTrace, "ScriptThisFile(): Executing script");
  const ScriptPaths paths = PathsOf(folder, fileName);
  Log(LogLevel::kTrace, "ScriptThisFile(): Script to use: <%s>", paths.script.c_str());
  if (!FileExists(paths.script)) {
    HandOverMessage(params, "STF: Warning - %s", kMissingScriptText);
    folder.scriptingEnabled = 0;
    return 1;
  }
  // The script's answer files would take the place of such a file.
  if (IsResultFileName(fileName)) {
    Log(LogLevel::kError, "ScriptThisFile(): <%s> has the name of a script result file - it goes on unscripted.",
        fileName.c_str());
    return 1;
  }

  Log(LogLevel::kTrace, "ScriptThisFile(): Creating scripting folder");
  const int createError = CreateFolder(paths.scriptingFolder, true);
  if (createError != 0) {
    Log(LogLevel::kTrace, "Failed to create script folder. Error 0x%lx", static_cast<unsigned long>(createError));
    return 1;
  }
  RescueScriptingFolder(folder.path, paths.scriptingFolder);
  CreateFolder(paths.scriptingFolder, true);  // a rescue that emptied it removed it

  Log(LogLevel::kTrace, "ScriptThisFile(): Copying file into scripting folder");
  if (!MoveTheFile(paths.hotFolderPath, paths.scriptedPath)) return 1;
  // Answers of an earlier run that could not be removed must not be taken for this file's.
  if (!RemoveIfPresent(paths.newNameFile) || !RemoveIfPresent(paths.resultsFile)) {
    Log(LogLevel::kError,
        "ScriptThisFile(): An earlier script's answer in <%s> cannot be removed - <%s> goes on unscripted.",
        paths.scriptingFolder.c_str(), fileName.c_str());
    return PutBack(paths, fileName);
  }

  const std::string commandLine = ScriptCommandLine(paths.script, paths.scriptedPath, paths.scriptingFolder);
  Log(LogLevel::kTrace, "ScriptThisFile(): CommandLine: <%s>", commandLine.c_str());
  if (LaunchScript(folder.scriptName, commandLine, paths.scriptsFolder) == 0) {
    Log(LogLevel::kError, "Failed to process <%s> using <%s>.", fileName.c_str(), folder.scriptName.c_str());
    return PutBack(paths, fileName);
  }
  Log(LogLevel::kTrace, "ScriptThisFile(): Script completed OK");
  return TakeOutcome(folder, paths, fileName, resourceId);
}

}  // namespace hf
