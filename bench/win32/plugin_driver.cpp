// The timing programs' host: the selector sequence and the lock probe.
#include "bench/win32/plugin_driver.h"

#include "base/win32/windows_api.h"
#include "bench/win32/bench_files.h"
#include "host/chained_file_item.h"
#include "tools/hfhost/windows_path.h"

#include <cstring>

namespace hf {

PluginDriver::~PluginDriver() { End(); }

bool PluginDriver::Load(const std::string& dllPath, std::string& error) {
  std::string windowsPath;
  if (!ToFullWindowsPath(dllPath, windowsPath, error)) return false;
  return library_.Load(windowsPath, error);
}

bool PluginDriver::Initialise(const std::string& dataFolder, const std::string& iniPath) {
  dataFolder_ = dataFolder;
  std::memset(&ini_, 0, sizeof ini_);
  std::strncpy(ini_.path, iniPath.c_str(), sizeof ini_.path - 1);
  handler_ = std::make_unique<TaskBlock>();
  handler_->params().dataFolder = &dataFolder_[0];
  handler_->params().iniFile = &ini_;
  initialised_ = library_.Call(kInitializeHandler, handler_->params()) == kResultOk;
  return initialised_;
}

bool PluginDriver::StartTask(const std::string& source, const std::string& destination, uint32_t scanSeconds) {
  task_ = std::make_unique<TaskBlock>();
  TaskSettings settings;
  settings.sourceFolder = source;
  settings.destinationFolder = destination;
  settings.scanSeconds = scanSeconds;
  task_->Configure(settings);
  for (uint32_t selector : {kStartActionInit, kCheckActionInit, kStartAction}) {
    if (library_.Call(selector, task_->params()) != kResultOk) return false;
  }
  return true;
}

int PluginDriver::TakeRecords() {
  int count = 0;
  for (auto* record = static_cast<ChainedFileItem*>(task_->params().fileList); record != nullptr;
       record = record->next) {
    record->safeToDelete = 1;
    ++count;
  }
  return count;
}

double PluginDriver::WaitForCycle(double timeoutSeconds, double thresholdSeconds, double& handOffSeconds,
                                  int& records) {
  const double deadline = NowSeconds() + timeoutSeconds;
  TaskBlock probe;
  while (NowSeconds() < deadline) {
    probe.params().taskId = 0;  // so that StartActionInit takes the lock to number it
    double start = NowSeconds();
    library_.Call(kStartActionInit, probe.params());
    double held = NowSeconds() - start;
    if (held > thresholdSeconds) {
      start = NowSeconds();
      int32_t result = library_.Call(kGetActionStatus, task_->params());
      handOffSeconds = NowSeconds() - start;
      records = result == kResultOk ? TakeRecords() : 0;
      if (records > 0) return held;
    }
    ::Sleep(1);
  }
  return -1;
}

void PluginDriver::End() {
  if (task_) library_.Call(kEndAction, task_->params());
  if (initialised_) library_.Call(kShutdownHandler, handler_->params());
  task_.reset();
  initialised_ = false;
}

}  // namespace hf
