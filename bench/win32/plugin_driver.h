// hotfolder.dll driven the way the host drives it, for timing: one handler
// block, one task, and a probe that sees when a scan cycle holds the
// synchronisation lock.
#pragma once

#include "host/zu_ini_file.h"
#include "tools/hfhost/plugin_library.h"
#include "tools/hfhost/task_block.h"

#include <memory>
#include <string>

namespace hf {

class PluginDriver {
 public:
  PluginDriver() = default;
  ~PluginDriver();
  PluginDriver(const PluginDriver&) = delete;
  PluginDriver& operator=(const PluginDriver&) = delete;

  // Loads the DLL (a Linux path is turned into a Windows path under Wine).
  bool Load(const std::string& dllPath, std::string& error);

  // InitializeHandler with the data folder and the INI file; true on result 0.
  bool Initialise(const std::string& dataFolder, const std::string& iniPath);

  // StartActionInit, CheckActionInit and StartAction for one task; true when all returned 0.
  bool StartTask(const std::string& source, const std::string& destination, uint32_t scanSeconds);

  // Probes the lock (StartActionInit on a spare block, which takes the
  // synchronisation event when it numbers a task) about once a millisecond
  // until one probe is held up for longer than `thresholdSeconds`: a scan cycle
  // held the lock. Then asks GetActionStatus whether the cycle made files
  // ready; a hold-up that made none is not counted (the task must have at
  // least one admissible file). Returns the hold-up in seconds (the cycle
  // time, at most about a millisecond short), the hand-off time in
  // `handOffSeconds` and the number of records in `records`; -1 on time-out.
  double WaitForCycle(double timeoutSeconds, double thresholdSeconds, double& handOffSeconds, int& records);

  // EndAction and ShutdownHandler.
  void End();

 private:
  int TakeRecords();

  PluginLibrary library_;
  std::string dataFolder_;
  IniFileDescriptor ini_{};
  std::unique_ptr<TaskBlock> handler_;
  std::unique_ptr<TaskBlock> task_;
  bool initialised_ = false;
};

}  // namespace hf
