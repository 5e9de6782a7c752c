// The probe sequence and the printing of the block fields it shows.
#include "tools/hfhost/probe.h"

#include "tools/hfhost/plugin_library.h"
#include "tools/hfhost/task_block.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace hf {

namespace {

// Shows line feeds and other control characters of a message as escapes.
std::string Escaped(const std::string& text) {
  std::string shown;
  for (unsigned char c : text) {
    if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02x", c);
      shown += escape;
    } else {
      shown += static_cast<char>(c);
    }
  }
  return shown;
}

void PrintMessageFields(const TaskBlock& block) {
  const PluginParameters& params = block.params();
  std::printf("  errorCode %d\n", static_cast<int>(params.errorCode));
  if (params.messageText == nullptr) {
    std::printf("  message: none\n");
  } else {
    std::printf("  message (messageLength %u, messageOwned %u): \"%s\"\n", static_cast<unsigned>(params.messageLength),
                static_cast<unsigned>(params.messageOwned), Escaped(block.MessageText()).c_str());
  }
}

void PrintSelectorFields(uint32_t selector, const PluginParameters& params) {
  switch (selector) {
    case kGetVersion:
      std::printf("  version %u, versionFlag %u, versionByte %u\n", static_cast<unsigned>(params.version),
                  static_cast<unsigned>(params.versionFlag), static_cast<unsigned>(params.versionByte));
      break;
    case kGetCaps:
      std::printf("  dwFlags 0x%08x, capsExtra1 %d, capsExtra2 %d\n", static_cast<unsigned>(params.dwFlags),
                  static_cast<int>(params.capsExtra1), static_cast<int>(params.capsExtra2));
      break;
    case kInitializeHandler:
      std::printf("  pluginName \"%s\"\n",
                  std::string(params.pluginName, strnlen(params.pluginName, sizeof params.pluginName)).c_str());
      break;
    default: break;
  }
}

const char* SelectorName(uint32_t selector) {
  switch (selector) {
    case kInitializeHandler: return "InitializeHandler";
    case kShutdownHandler: return "ShutdownHandler";
    case kGetVersion: return "GetVersion";
    case kGetCaps: return "GetCaps";
    default: return "selector";
  }
}

// One call as the host makes it: call, show what was written, take the message.
int32_t CallAndShow(const PluginLibrary& library, uint32_t selector, TaskBlock& block) {
  int32_t result = library.Call(selector, block.params());
  std::printf("%s (%u): result %d\n", SelectorName(selector), static_cast<unsigned>(selector),
              static_cast<int>(result));
  PrintSelectorFields(selector, block.params());
  PrintMessageFields(block);
  block.AcknowledgeMessage();
  return result;
}

}  // namespace

int RunProbe(const std::string& dllPath) {
  PluginLibrary library;
  std::string error;
  if (!library.Load(dllPath, error)) {
    std::fprintf(stderr, "hfhost: %s\n", error.c_str());
    return 2;
  }
  std::printf("Probing %s\n", dllPath.c_str());
  TaskBlock block;
  CallAndShow(library, kGetVersion, block);
  CallAndShow(library, kGetCaps, block);
  int32_t initialised = CallAndShow(library, kInitializeHandler, block);
  int32_t versionResult = CallAndShow(library, kGetVersion, block);
  int32_t capsResult = CallAndShow(library, kGetCaps, block);
  int32_t shutdown = CallAndShow(library, kShutdownHandler, block);
  std::fflush(stdout);
  bool ok = initialised == kResultOk && versionResult == kResultOk && capsResult == kResultOk && shutdown == kResultOk;
  return ok ? 0 : 1;
}

}  // namespace hf
