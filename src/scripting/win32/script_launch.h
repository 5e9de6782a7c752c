// Starting a task's script and waiting for it. The wait is bounded by
// ScriptTimeoutSecs (section "HFA"): a script that never ends is stopped,
// together with every process it started, so that it cannot hold the scanner
// and the hand-over to the host.
//
// Programs are started directly. A batch file (".cmd", ".bat") is run through
// the command interpreter (%ComSpec%) with /d /s /c and the whole command line
// in one more pair of quotes, so that its arguments arrive exactly as given,
// blanks included; the interpreter ends when the batch file does.
//
// The script and everything it starts run in a job object of their own (the
// process is created suspended, put into the job, then resumed), so that a
// script that runs out of time is ended with its whole process tree and no
// child of it keeps the scripted file open. A script that ends in time may
// leave programs running that it started; they are not touched.
#pragma once

#include <string>

namespace hf {

constexpr int kDefaultScriptTimeoutSecs = 300;

struct ScriptLaunchSettings {
  bool minimised = false;                               // HideScriptWindow = 1
  unsigned timeoutSeconds = kDefaultScriptTimeoutSecs;  // 0: no limit
};

// HideScriptWindow (default 0; 1 = minimised) and ScriptTimeoutSecs (default
// 300, 0 = no limit; a negative value counts as the default) of section "HFA"
// of the host's INI file, read now.
ScriptLaunchSettings ReadScriptLaunchSettings();

enum class ScriptRunResult {
  kEnded,       // started and ended by itself (its exit code is not looked at)
  kNotStarted,  // it could not be started
  kStopped,     // it ran out of time (or could not be waited for) and was ended
};

// Starts `commandLine` (no separate program name, handles not inherited, the
// calling environment) in `workingFolder` and waits for it. Logs:
//   1 "CommandLine: <commandLine>"
//   2 "SP: Launched <displayName> - waiting for it to complete."
//   0 "SP: Error: Couldn't start <displayName>: error 0x<code>"
//   0 "SP: Error: <displayName> did not complete within <n> seconds - stopping it."
ScriptRunResult RunScript(const std::string& displayName, const std::string& commandLine,
                          const std::string& workingFolder, const ScriptLaunchSettings& settings);

// RunScript with the settings of the INI file: 1 when the script was started
// and has ended, 0 when it could not be started or had to be stopped.
int LaunchScript(const std::string& displayName, const std::string& commandLine, const std::string& workingFolder);

}  // namespace hf
