// A host-owned parameter block.
#include "tools/hfhost/task_block.h"

#include <cstring>

namespace hf {

namespace {

template <size_t N>
void CopyField(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size() < N - 1 ? text.size() : N - 1);
}

}  // namespace

TaskBlock::TaskBlock() { InitialiseDefaultParameters(params_); }

void TaskBlock::Configure(const TaskSettings& settings) {
  CopyField(params_.sourceFolder, settings.sourceFolder);
  CopyField(params_.destinationFolder, settings.destinationFolder);
  params_.scanTimeout = settings.scanSeconds;
  params_.taskSettings.groupingEnabled = settings.groupingTemplate.empty() ? 0 : 1;
  params_.taskSettings.scriptingEnabled = settings.scriptName.empty() ? 0 : 1;
  params_.taskSettings.thumbnailsEnabled = settings.thumbnails ? 1 : 0;
  CopyField(params_.taskText[0], settings.groupingTemplate);
  CopyField(params_.taskText[1], settings.scriptName);
  if (!settings.scriptName.empty()) params_.dwFlags |= ScriptBit;
}

std::string TaskBlock::MessageText() const {
  if (params_.messageText == nullptr) return std::string();
  // Error reports count the NUL in messageLength, handed-over texts do not.
  size_t limit = static_cast<size_t>(params_.messageLength) + 1;
  return std::string(params_.messageText, strnlen(params_.messageText, limit));
}

bool TaskBlock::HasNewMessage() const {
  return params_.messageText != nullptr && params_.messageAcknowledged == 0 && params_.messageText[0] != '\0';
}

void TaskBlock::AcknowledgeMessage() {
  if (params_.messageText != nullptr) params_.messageAcknowledged = 1;
}

std::string TaskBlock::FieldText(const char* field, size_t width) { return std::string(field, strnlen(field, width)); }

}  // namespace hf
