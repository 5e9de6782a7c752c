// The selector sequence of a host run, as the workflow host drives it.
#include "tools/hfhost/host_session.h"

#include "base/file_io.h"
#include "host/chained_file_item.h"
#include "host/zu_ini_file.h"
#include "tools/hfhost/handed_over_file.h"
#include "tools/hfhost/host_output.h"
#include "tools/hfhost/plugin_library.h"
#include "tools/hfhost/stop_request.h"
#include "tools/hfhost/task_block.h"
#include "tools/hfhost/thumbnail_host.h"
#include "tools/hfhost/windows_path.h"

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

namespace hf {

namespace {

constexpr size_t kFolderLimit = 258;  // leaves room for the trailing backslash the plug-in adds
constexpr int kHandlerTask = 0;       // the block given to InitializeHandler, in messages

using Clock = std::chrono::steady_clock;

const char* SelectorName(uint32_t selector) {
  switch (selector) {
    case kInitializeHandler: return "InitializeHandler";
    case kShutdownHandler: return "ShutdownHandler";
    case kStartAction: return "StartAction";
    case kGetActionStatus: return "GetActionStatus";
    case kEndAction: return "EndAction";
    case kClearError: return "ClearError";
    case kStartActionInit: return "StartActionInit";
    case kCheckActionInit: return "CheckActionInit";
    default: return "selector";
  }
}

struct Task {
  int number = 0;  // 1-based, in command-line order
  TaskSettings settings;
  TaskBlock block;
  bool started = false;
  bool failed = false;
  uint32_t received = 0;
};

class HostSession {
 public:
  explicit HostSession(const HostOptions& options) : options_(options), output_(options.json) {}

  int Run();

 private:
  bool PreparePaths();
  bool PrepareFolder(const std::string& given, const char* what, std::string& folder);
  bool Initialise();
  bool StartTask(Task& task);
  void PollTask(Task& task);
  void TakeFiles(Task& task);
  void Shutdown();
  void PrepareThumbnails();
  void UpdateThumbnailIndex();

  int32_t Call(uint32_t selector, TaskBlock& block, int taskNumber);
  void ShowMessage(const char* after, TaskBlock& block, int taskNumber);
  void ShowHandlerReports();
  const char* StopReason();

  const HostOptions& options_;
  HostOutput output_;
  PluginLibrary library_;
  std::string dllPath_;
  std::string dataFolder_;
  IniFileDescriptor iniDescriptor_{};
  bool haveIni_ = false;
  TaskBlock handlerBlock_;  // lives until the end: the scanner keeps a pointer to it
  std::vector<std::unique_ptr<Task>> tasks_;
  uint64_t filesReceived_ = 0;
  Clock::time_point lastFileAt_;
  std::unique_ptr<ThumbnailIndexFile> thumbnailIndex_;  // only with --thumbnails
  int thumbnailIndexError_ = 0;                         // the last one reported
};

int HostSession::Run() {
  if (!PreparePaths()) return 3;
  if (options_.thumbnails) PrepareThumbnails();
  std::string error;
  if (!library_.Load(dllPath_, error)) {
    output_.Error(error);
    return 2;
  }
  if (!InstallStopRequest()) output_.Error("cannot watch for Ctrl+C; stop with --exit-after-idle or --max-files");
  if (!Initialise()) {
    StopRequestFinished();
    return 1;
  }
  bool allStarted = true;
  for (auto& task : tasks_) {
    if (!StartTask(*task)) {
      allStarted = false;
      break;
    }
  }
  if (!allStarted) {
    Shutdown();
    output_.Stopped("start failed", filesReceived_, CurrentMemoryFigures());
    StopRequestFinished();
    return 1;
  }
  output_.Ready(tasks_.size(), CurrentMemoryFigures());
  UpdateThumbnailIndex();

  lastFileAt_ = Clock::now();
  const char* reason = nullptr;
  while (reason == nullptr) {
    for (auto& task : tasks_) PollTask(*task);
    ShowHandlerReports();
    UpdateThumbnailIndex();
    reason = StopReason();
    if (reason == nullptr && WaitForStopRequest(options_.pollMs)) reason = "interrupted";
  }
  Shutdown();
  output_.Stopped(reason, filesReceived_, CurrentMemoryFigures());
  StopRequestFinished();
  return std::strcmp(reason, "all tasks failed") == 0 ? 1 : 0;
}

bool HostSession::PreparePaths() {
  if (options_.dllPath.empty()) {
    dllPath_ = HostExecutableFolder() + "hotfolder.dll";
  } else if (!PrepareFolder(options_.dllPath, "plug-in", dllPath_)) {
    return false;
  }

  std::string given = options_.dataFolder.empty() ? HostExecutableFolder() : options_.dataFolder;
  if (!PrepareFolder(given, "data folder", dataFolder_)) return false;
  if (dataFolder_.back() != '\\') dataFolder_ += '\\';

  if (!options_.iniFile.empty()) {
    std::string iniPath;
    if (!PrepareFolder(options_.iniFile, "INI file", iniPath)) return false;
    std::memcpy(iniDescriptor_.path, iniPath.data(), iniPath.size());
    std::strcpy(iniDescriptor_.productFolder, "hfhost");
    std::strcpy(iniDescriptor_.companyFolder, "Hot Folder");
    haveIni_ = true;
  }

  int number = 0;
  for (const TaskFolders& folders : options_.tasks) {
    auto task = std::make_unique<Task>();
    task->number = ++number;
    TaskSettings& settings = task->settings;
    if (!PrepareFolder(folders.source, "source folder", settings.sourceFolder)) return false;
    if (!folders.destination.empty() &&
        !PrepareFolder(folders.destination, "destination folder", settings.destinationFolder)) {
      return false;
    }
    settings.scanSeconds = options_.scanSeconds;
    settings.groupingTemplate = options_.groupingTemplate;
    settings.scriptName = options_.scriptName;
    settings.thumbnails = options_.thumbnails;
    tasks_.push_back(std::move(task));
  }
  return true;
}

// Makes a full Windows path of a folder or file of the command line that fits the block.
bool HostSession::PrepareFolder(const std::string& given, const char* what, std::string& folder) {
  std::string error;
  if (!ToFullWindowsPath(given, folder, error)) {
    output_.Error(std::string(what) + ": " + error);
    return false;
  }
  if (folder.size() > kFolderLimit) {
    output_.Error(std::string(what) + " \"" + folder + "\" is longer than " + std::to_string(kFolderLimit) +
                  " characters");
    return false;
  }
  return true;
}

bool HostSession::Initialise() {
  PluginParameters& params = handlerBlock_.params();
  params.dataFolder = &dataFolder_[0];
  if (haveIni_) params.iniFile = &iniDescriptor_;
  // The scanner reads the handler block's dwFlags before it runs a script.
  if (!options_.scriptName.empty()) params.dwFlags |= ScriptBit;
  int32_t result = Call(kInitializeHandler, handlerBlock_, kHandlerTask);
  if (result != kResultOk) {
    output_.Error("InitializeHandler failed with result " + std::to_string(result));
    return false;
  }
  return true;
}

bool HostSession::StartTask(Task& task) {
  task.block.Configure(task.settings);
  const uint32_t sequence[] = {kStartActionInit, kCheckActionInit, kStartAction};
  for (uint32_t selector : sequence) {
    int32_t result = Call(selector, task.block, task.number);
    if (result != kResultOk) {
      output_.Error(std::string(SelectorName(selector)) + " of task " + std::to_string(task.number) + " (" +
                    task.settings.sourceFolder + ") failed with result " + std::to_string(result) +
                    (selector == kStartAction ? "; the plug-in's log (hflog) tells why" : ""));
      return false;
    }
  }
  task.started = true;
  const PluginParameters& params = task.block.params();
  output_.TaskStarted(task.number, params.taskId, TaskBlock::FieldText(params.sourceFolder, sizeof params.sourceFolder),
                      TaskBlock::FieldText(params.destinationFolder, sizeof params.destinationFolder));
  return true;
}

void HostSession::PollTask(Task& task) {
  if (!task.started || task.failed) return;
  task.block.params().itemNumber = static_cast<int32_t>(task.received);
  int32_t result = library_.Call(kGetActionStatus, task.block.params());
  if (result == kResultOk) TakeFiles(task);
  ShowMessage(SelectorName(kGetActionStatus), task.block, task.number);
  if (result == kResultRefused) {
    task.failed = true;
    output_.Error("GetActionStatus of task " + std::to_string(task.number) + " failed; the task is no longer polled");
  }
}

void HostSession::TakeFiles(Task& task) {
  auto* record = static_cast<ChainedFileItem*>(task.block.params().fileList);
  for (; record != nullptr; record = record->next) {
    const HandedOverFile file = ReadHandedOverFile(*record);
    output_.File(task.number, filesReceived_, file);
    if (thumbnailIndex_) thumbnailIndex_->Add(file);
    record->safeToDelete = 1;
    ++filesReceived_;
    ++task.received;
    lastFileAt_ = Clock::now();
  }
}

void HostSession::Shutdown() {
  for (auto& task : tasks_) {
    if (task->started) Call(kEndAction, task->block, task->number);
  }
  Call(kShutdownHandler, handlerBlock_, kHandlerTask);
}

// The plug-in's host program folder is hfhost's folder: the programs go there,
// and the pictures arrive in its thumbnail folder.
void HostSession::PrepareThumbnails() {
  const std::string hostFolder = HostExecutableFolder();
  for (const std::string& notice : PrepareThumbnailPrograms(hostFolder)) output_.Error(notice);
  thumbnailIndex_ = std::make_unique<ThumbnailIndexFile>(ThumbnailFolderOf(hostFolder));
}

// Writes the page when something changed; a failure is reported once until it changes.
void HostSession::UpdateThumbnailIndex() {
  if (!thumbnailIndex_) return;
  const int error = thumbnailIndex_->Update();
  if (error != 0 && error != thumbnailIndexError_) {
    output_.Error("cannot write " + thumbnailIndex_->path() + ": " + SystemErrorText(error));
  }
  thumbnailIndexError_ = error;
}

int32_t HostSession::Call(uint32_t selector, TaskBlock& block, int taskNumber) {
  int32_t result = library_.Call(selector, block.params());
  ShowMessage(SelectorName(selector), block, taskNumber);
  return result;
}

// Prints a new message, takes it, and clears a pending error so that the next
// error can be reported.
void HostSession::ShowMessage(const char* after, TaskBlock& block, int taskNumber) {
  PluginParameters& params = block.params();
  const int32_t errorCode = params.errorCode;
  if (block.HasNewMessage()) {
    output_.Message(taskNumber, after, errorCode, block.MessageText());
    block.AcknowledgeMessage();
  } else if (errorCode != 0) {
    output_.Message(taskNumber, after, errorCode, std::string());
  }
  if (errorCode != 0) library_.Call(kClearError, params);
}

// The scanner reports its own failures in the handler block. It writes the
// message before the error code and leaves both alone while the code is set,
// so the block is read only once the code is non-zero.
void HostSession::ShowHandlerReports() {
  const volatile int32_t& errorCode = handlerBlock_.params().errorCode;
  if (errorCode == 0) return;
  ShowMessage("scan", handlerBlock_, kHandlerTask);
}

const char* HostSession::StopReason() {
  if (options_.maxFiles != 0 && filesReceived_ >= options_.maxFiles) return "max-files";
  if (options_.exitAfterIdleSeconds != 0 &&
      Clock::now() - lastFileAt_ >= std::chrono::seconds(options_.exitAfterIdleSeconds)) {
    return "idle";
  }
  bool anyAlive = false;
  for (auto& task : tasks_) anyAlive = anyAlive || !task->failed;
  return anyAlive ? nullptr : "all tasks failed";
}

}  // namespace

int RunHotFolders(const HostOptions& options) {
  HostSession session(options);
  return session.Run();
}

}  // namespace hf
