// One task's parameter block, owned by the host: default-initialised, filled
// with the task's folders and settings, read after each call and acknowledged
// the way the host does.
#pragma once

#include "host/plugin_parameters.h"

#include <cstdint>
#include <string>

namespace hf {

// The settings hfhost gives a task.
struct TaskSettings {
  std::string sourceFolder;       // full Windows path, at most 259 characters
  std::string destinationFolder;  // empty: none
  uint32_t scanSeconds = 0;
  std::string groupingTemplate;  // empty: grouping off
  std::string scriptName;        // empty: scripting off
  bool thumbnails = false;
};

class TaskBlock {
 public:
  TaskBlock();
  TaskBlock(const TaskBlock&) = delete;
  TaskBlock& operator=(const TaskBlock&) = delete;

  PluginParameters& params() { return params_; }
  const PluginParameters& params() const { return params_; }

  // Writes folders, scan interval, the three switches of the task settings
  // record and the two task texts; sets ScriptBit in dwFlags when a script is
  // named. Texts are cut to their fields and terminated.
  void Configure(const TaskSettings& settings);

  // The text in messageText (empty when there is none), read within its length.
  std::string MessageText() const;

  // True when the plug-in placed a message the host has not taken yet.
  bool HasNewMessage() const;

  // Marks the current message as taken, so that the plug-in frees it at the next call.
  void AcknowledgeMessage();

  // A text field of the block read within its width.
  static std::string FieldText(const char* field, size_t width);

 private:
  PluginParameters params_;
};

}  // namespace hf
