// Script command lines.
#include "scripting/script_command_line.h"

#include "base/ascii.h"
#include "base/path_utils.h"

namespace hf {

std::string ScriptCommandLine(const std::string& script, const std::string& scriptedPath,
                              const std::string& scriptingFolder) {
  return "\"" + script + "\" \"" + scriptedPath + "\" \"" + scriptingFolder + "\"";
}

std::string CommandLineProgram(const std::string& commandLine) {
  if (!commandLine.empty() && commandLine[0] == '"') {
    const size_t close = commandLine.find('"', 1);
    return commandLine.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  return commandLine.substr(0, commandLine.find_first_of(" \t"));
}

bool IsBatchFile(const std::string& path) {
  const std::string extension = GetExtension(path);
  return EqualsIgnoringAsciiCase(extension, ".cmd") || EqualsIgnoringAsciiCase(extension, ".bat");
}

std::string InterpreterCommandLine(const std::string& interpreter, const std::string& commandLine) {
  return "\"" + interpreter + "\" /d /s /c \"" + commandLine + "\"";
}

}  // namespace hf
