// Command line of hfhost: what to do, with which plug-in DLL, on which tasks.
#pragma once

#include "tools/hfhost/task_argument.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hf {

enum class HostCommand { Help, Probe, Run, Invalid };

// Defaults of the run.
constexpr uint32_t kDefaultScanSeconds = 5;
constexpr uint32_t kDefaultPollMs = 500;

struct HostOptions {
  HostCommand command = HostCommand::Invalid;
  std::string dllPath;             // --probe DLL or --dll PATH; empty: hotfolder.dll beside hfhost.exe
  std::vector<TaskFolders> tasks;  // --source/--dest first, then each --task in order
  uint32_t scanSeconds = kDefaultScanSeconds;
  uint32_t pollMs = kDefaultPollMs;
  std::string groupingTemplate;  // --grouping: empty = grouping off
  std::string scriptName;        // --script: empty = scripting off
  bool thumbnails = false;
  std::string dataFolder;  // empty: the folder of hfhost.exe
  std::string iniFile;     // empty: no INI descriptor is passed
  bool json = false;
  uint32_t exitAfterIdleSeconds = 0;  // 0: no idle limit
  uint32_t maxFiles = 0;              // 0: no limit
  std::string error;                  // why the command line was not understood
};

// Understands "--help", "--probe DLL" and the run options listed in HostUsageText().
HostOptions ParseHostArguments(int argc, const char* const* argv);

// The text printed for --help.
const char* HostUsageText();

}  // namespace hf
