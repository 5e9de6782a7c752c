// Scripting of arrived files: every file that arrives in a hot folder whose
// task names a script is run through that script before it goes on.
//
// The script protocol (see docs/SCRIPTING.md):
//   - the file is moved into the folder's scripting folder, <hot folder>\_.script\,
//     which is created when missing and emptied before each run;
//   - the script (Config\Scripts\<name> below the host program's folder) is
//     started in the scripts folder with three quoted arguments:
//       "<script>" "<scripting folder>\<file>" "<scripting folder>"
//     and waited for, at most ScriptTimeoutSecs (section "HFA", default 300);
//   - afterwards the file goes on as the script left it:
//       a file of the same name back in the hot folder: that file;
//       "newname.txt" with NEWNAME=<name> in its leading unnamed section: the
//         file <name> that the script wrote into the scripting folder, in place
//         of the arrived file;
//       otherwise the file from the scripting folder, with the ResourceID of
//         [General] in "results.txt" when the script wrote one.
//
// Where the protocol's answers are checked:
//   - NEWNAME and ResourceID lose trailing blanks and must be plain file names
//     (common/plain_file_name.h); NEWNAME must name a file in the scripting
//     folder and no file already in the hot folder. An answer that fails is
//     logged at level 0 and treated as no answer, so the file goes on as it
//     arrived and no file is lost that the script did not remove itself.
//   - The arrived file is given up only after the new file is in the hot folder.
//   - A file named "newname.txt" or "results.txt" goes on unscripted.
#pragma once

#include <cstdint>
#include <string>

#include "host/plugin_parameters.h"

namespace hf {

// What a script run needs of its hot folder.
struct ScriptedFolder {
  const char* path;               // the hot folder, with a trailing backslash
  const std::string& scriptName;  // in the scripts folder
  uint32_t& scriptingEnabled;     // cleared when the script file is missing
};

// Kept for the folder set-up, which asks whether scripts can run at all.
constexpr const char* kScriptingNotAvailableText = "Scripting is not available in this version";

// True: this build runs scripts.
bool ScriptingServiceAvailable();

// The folder the scripts are in: host program folder + "Config\Scripts".
std::string ScriptsFolder();

// The folder's scripting folder: its path + "_.script".
std::string ScriptingFolderOf(const char* folderPath);

// Runs the folder's script on the file `fileName` of the folder. Returns 1 to
// go on with the file under `fileName` (changed when the script renamed it;
// `resourceId` changed when it gave one), 0 when the file is gone or could not
// be put back, so that it is dropped for this cycle.
// When the script file is missing, the host is told "Script File is missing.
// Scripting will be disabled.", the folder's scriptingEnabled is cleared and
// the file goes on unscripted.
int ScriptThisFile(PluginParameters* params, const ScriptedFolder& folder, std::string& fileName,
                   std::string& resourceId);

}  // namespace hf
