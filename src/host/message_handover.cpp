// Message hand-over to the host, error reports and the pointer check before a free.
#include "host/message_handover.h"

#include "base/log.h"
#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace hf {

namespace {

constexpr const char* kNotAcknowledged = "==WARNING!== The last message/data has not yet been acknowledged!";
constexpr const char* kErrorLogFormat = "! %s (line %d of file %s).\n";
constexpr size_t kErrorTextSize = 1024;
constexpr size_t kUnknownErrorBlockSize = 128;

// The host thread and the scanner thread may report on the same block; the
// message fields of a block change under this lock, one routine at a time.
std::mutex& MessageFieldsLock() {
  static std::mutex lock;
  return lock;
}

// Guards ReportSystemError against itself on one thread (a report made while
// reporting); other threads report independently.
thread_local bool insideSystemErrorReport = false;

class SystemErrorReentryGuard {
 public:
  SystemErrorReentryGuard() { insideSystemErrorReport = true; }
  ~SystemErrorReentryGuard() { insideSystemErrorReport = false; }
  SystemErrorReentryGuard(const SystemErrorReentryGuard&) = delete;
  SystemErrorReentryGuard& operator=(const SystemErrorReentryGuard&) = delete;
};

// A message the host has still to take: not acknowledged, readable, not empty.
bool HoldsUnacknowledgedText(const PluginParameters& params) {
  return params.messageAcknowledged == 0 && IsUsablePointer(params.messageText) && params.messageText[0] != '\0';
}

// Frees messageText when it is a block of ours that passes the pointer check.
void FreeMessageText(PluginParameters& params) {
  if (IsValidPointer(&params.messageText, HF_SOURCE_FILE, __LINE__)) ::GlobalFree(params.messageText);
  params.messageText = nullptr;
}

// A fixed, zero-initialised global block of `size` bytes holding `length` bytes of `text`.
char* NewGlobalText(const char* text, size_t length, size_t size) {
  char* block = static_cast<char*>(::GlobalAlloc(GPTR, size));
  if (block != nullptr) std::memcpy(block, text, length < size ? length : size - 1);
  return block;
}

// Places an error report's text; the pending-message rule comes first.
void PlaceErrorText(PluginParameters& params, const char* text) {
  {
    std::lock_guard<std::mutex> hold(MessageFieldsLock());
    if (!HoldsUnacknowledgedText(params)) {
      if (params.messageText != nullptr && params.messageOwned != 0) FreeMessageText(params);
      size_t length = std::strlen(text);
      params.messageText = NewGlobalText(text, length, length + 1);
      params.messageAcknowledged = 0;
      params.messageOwned = params.messageText != nullptr ? 1 : 0;
      params.messageLength = params.messageText != nullptr ? static_cast<uint32_t>(length + 1) : 0;
      return;
    }
  }
  Log(LogLevel::kError, "%s", kNotAcknowledged);
}

}  // namespace

bool IsUsablePointer(const void* pointer) {
  auto value = reinterpret_cast<uintptr_t>(pointer);
  return value != 0 && value != ~uintptr_t{0};
}

bool IsValidPointer(void* pointerField, const char* sourceFile, int line) {
  if (!IsUsablePointer(pointerField)) {
    Log(LogLevel::kTrace, "Invalid pointer (0x%p) used on line %d of file %s", pointerField, line, sourceFile);
    return false;
  }
  void* value = nullptr;
  std::memcpy(&value, pointerField, sizeof value);
  if (!IsUsablePointer(value)) {
    Log(LogLevel::kTrace, "Invalid pointer (0x%p) used on line %d of file %s", value, line, sourceFile);
    value = nullptr;
    std::memcpy(pointerField, &value, sizeof value);
    return false;
  }
  return true;
}

void HandOverMessage(PluginParameters* params, const char* logFormat, const char* text) {
  if (text == nullptr) text = "";
  if (logFormat != nullptr) Log(LogLevel::kError, logFormat, text);
  if (params == nullptr) return;
  {
    std::lock_guard<std::mutex> hold(MessageFieldsLock());
    if (!HoldsUnacknowledgedText(*params)) {
      params->messageAcknowledged = 0;
      if (params->messageOwned == 1 && params->messageText != nullptr) {
        FreeMessageText(*params);
        params->messageOwned = 0;
        params->messageLength = 0;
      }
      size_t length = std::strlen(text);
      params->messageText = NewGlobalText(text, length, length + 2);
      if (params->messageText != nullptr) {
        params->messageOwned = 1;
        params->messageLength = static_cast<uint32_t>(length);
      } else {
        params->messageLength = 0;
      }
      return;
    }
  }
  Log(LogLevel::kDetail, "%s", kNotAcknowledged);
}

void HandOverMessage(PluginParameters* params, const char* logFormat, const std::string& text) {
  HandOverMessage(params, logFormat, text.c_str());
}

void ReleaseHandedOverMessage(PluginParameters* params) {
  if (params == nullptr) return;
  {
    std::lock_guard<std::mutex> hold(MessageFieldsLock());
    if (params->messageText == nullptr) return;
    if (!HoldsUnacknowledgedText(*params)) {
      params->messageAcknowledged = 0;
      if (params->messageOwned == 1) FreeMessageText(*params);
      params->messageOwned = 0;
      params->messageText = nullptr;
      params->messageLength = 0;
      return;
    }
  }
  Log(LogLevel::kError, "%s", kNotAcknowledged);
}

std::optional<BlockReport> TakeBlockReport(PluginParameters& block) {
  std::optional<BlockReport> report;
  std::lock_guard<std::mutex> hold(MessageFieldsLock());
  if (IsUsablePointer(block.messageText) && block.messageText[0] != '\0')
    report =
        BlockReport{block.errorCode, std::string(block.messageText, strnlen(block.messageText, block.messageLength))};
  else if (block.errorCode != 0)
    report = BlockReport{block.errorCode, std::string()};
  if (block.messageOwned != 0 && block.messageText != nullptr) FreeMessageText(block);
  block.messageText = nullptr;
  block.messageOwned = 0;
  block.messageLength = 0;
  block.messageAcknowledged = 0;
  block.errorCode = 0;
  return report;
}

bool PlaceBlockReport(PluginParameters* params, const BlockReport& report) {
  if (params == nullptr) return false;
  std::lock_guard<std::mutex> hold(MessageFieldsLock());
  if (params->errorCode != 0 || HoldsUnacknowledgedText(*params)) return false;
  if (params->messageText != nullptr && params->messageOwned != 0) FreeMessageText(*params);
  // A message's length leaves its NUL out; an error's counts it.
  const size_t length = report.text.size();
  params->messageText = NewGlobalText(report.text.c_str(), length, length + 2);
  params->messageOwned = params->messageText != nullptr ? 1 : 0;
  params->messageLength =
      params->messageText != nullptr ? static_cast<uint32_t>(report.errorCode != 0 ? length + 1 : length) : 0;
  params->messageAcknowledged = 0;
  params->errorCode = report.errorCode;
  return true;
}

void ReportError(PluginParameters* params, const char* text, const char* sourceFile, int line) {
  if (text == nullptr) text = "";
  if (sourceFile == nullptr) sourceFile = "";
  if (params != nullptr && params->errorCode != 0) {
    Log(LogLevel::kError, kErrorLogFormat, text, line, sourceFile);
    return;
  }
  char buffer[kErrorTextSize];
  std::snprintf(buffer, sizeof buffer, "%s\n", text);
  if (params != nullptr) {
    params->errorCode = -1;
    PlaceErrorText(*params, buffer);
  }
  Log(LogLevel::kError, kErrorLogFormat, buffer, line, sourceFile);
}

uint32_t ReportSystemError(PluginParameters* params, uint32_t error, const char* what, const char* sourceFile,
                           int line) {
  if (insideSystemErrorReport) return 0;
  SystemErrorReentryGuard guard;
  if (what == nullptr) what = "";
  if (sourceFile == nullptr) sourceFile = "";

  if (error == 0) {
    if (params != nullptr) params->errorCode = 0;
    return 0;
  }

  char* systemText = nullptr;
  DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&systemText), 0, nullptr);
  if (length == 0) {
    Log(LogLevel::kError, "! %s failed: System message is: #%d (Unlisted)\n", what, static_cast<int>(error));
    systemText = static_cast<char*>(::LocalAlloc(LPTR, kUnknownErrorBlockSize));
    if (systemText != nullptr) std::snprintf(systemText, kUnknownErrorBlockSize, "%s", "? Unknown Error ?");
  }
  ScopedLocalBlock systemTextOwner(systemText);
  const char* shownText =
      (systemText != nullptr && systemText[0] != '\0') ? systemText : "An undefined error has occurred.";

  Log(LogLevel::kError, "! %s failed at line %d of file %s.", what, line, sourceFile);
  Log(LogLevel::kError, "  System message is: %d: %s\n", static_cast<int>(error), shownText);

  if (params != nullptr && params->errorCode == 0) {
    params->errorCode = static_cast<int32_t>(error);
    char buffer[kErrorTextSize];
    std::snprintf(buffer, sizeof buffer, "%d: %s\n%s\n", static_cast<int>(error), shownText, what);
    PlaceErrorText(*params, buffer);
  }
  if (params != nullptr) params->errorCode = static_cast<int32_t>(error);
  return error;
}

}  // namespace hf
