// Handler initialisation and shutdown.
#include "plugin/initialize_handler.h"

#include "base/log.h"
#include "host/log_channel.h"
#include "host/message_handover.h"
#include "host/zu_ini_file.h"
#include "hotfolder/scanner/scanner_lifecycle.h"
#include "hotfolder/sluicegate_app.h"

#include <cstdio>
#include <cstring>

namespace hf {

#define HF_STRINGIFY_VALUE(x) #x
#define HF_STRINGIFY(x) HF_STRINGIFY_VALUE(x)

namespace {

constexpr const char* kRemoteChannelTag = "HFA";
constexpr const char* kNoticeLine = "Hot Folder action plug-in, interface version 5.";

void WritePluginName(PluginParameters& params) {
  std::memset(params.pluginName, 0, sizeof params.pluginName);
  std::snprintf(params.pluginName, sizeof params.pluginName, "%s", kPluginDisplayName);
}

}  // namespace

const char* RevisionText() {
  return HF_STRINGIFY(HF_VERSION_MAJOR) "." HF_STRINGIFY(HF_VERSION_MINOR) "." HF_STRINGIFY(HF_VERSION_PATCH);
}

int32_t InitializeHandler(PluginParameters* params) {
  if (LoggingEnabled()) StartRemoteLogChannel(kRemoteChannelTag);
  Log(LogLevel::kError, "%s revision %s  %s", kPluginDisplayName, RevisionText(), kNoticeLine);
  WritePluginName(*params);
  // The descriptor is the host's; an all-ones pointer is not read.
  if (IsUsablePointer(params->iniFile)) TheIniFile().SetDescriptor(*params->iniFile);
  return PrepareAndStartScanner(params);
}

int32_t ShutdownHandler(CSluicegateApp& app, PluginParameters*) {
  Log(LogLevel::kTrace, "ShutdownHandler called.");
  app.endActionInProgress = true;
  app.initialised = false;
  StopScannerAndReleaseFolders();
  app.endActionInProgress = false;
  return kResultOk;
}

}  // namespace hf
