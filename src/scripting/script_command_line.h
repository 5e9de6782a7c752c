// Command lines of a task's script: the three quoted arguments the script is
// given, and the form that starts a batch file through the command interpreter.
#pragma once

#include <string>

namespace hf {

// "\"script\" \"scripted path\" \"scripting folder\"": three arguments, each in
// double quotes, separated by single blanks. (Paths cannot hold a double quote.)
std::string ScriptCommandLine(const std::string& script, const std::string& scriptedPath,
                              const std::string& scriptingFolder);

// The program a command line starts: its first argument without quotes. A
// quoted first argument runs to the next quote (or the end); an unquoted one
// to the first blank or tab.
//   CommandLineProgram("\"C:\\a b\\s.cmd\" \"x\"") == "C:\\a b\\s.cmd"
//   CommandLineProgram("C:\\s.exe x") == "C:\\s.exe"
std::string CommandLineProgram(const std::string& commandLine);

// True when the path ends with ".cmd" or ".bat" (in any letter case): a batch
// file, which only the command interpreter can run.
bool IsBatchFile(const std::string& path);

// The command line that runs `commandLine` through the interpreter:
//   "<interpreter>" /d /s /c "<commandLine>"
// /s makes the interpreter strip exactly the outer pair of quotes and run the
// rest as it stands, so every quoted argument reaches the batch file intact,
// blanks and & ( ) ^ included. /d keeps AutoRun commands out. (A %NAME% in a
// path is still expanded when NAME is set: the interpreter does that even
// inside quotes.)
std::string InterpreterCommandLine(const std::string& interpreter, const std::string& commandLine);

}  // namespace hf
