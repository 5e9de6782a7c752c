// The only ways text reaches the host: messages and error reports placed in the
// parameter block as global-memory blocks that the plug-in owns and frees, and
// the pointer check made before every such free.
//
// Rules kept by every routine here:
// - A message the host has not acknowledged (messageAcknowledged 0, text not
//   empty) is never overwritten or freed; the new text is dropped and a warning
//   is logged.
// - A global block that fails IsValidPointer is not freed; its field is cleared.
// - messageLength counts the NUL for error reports, not for handed-over messages.
#pragma once

#include "host/plugin_parameters.h"

#include <cstdint>
#include <optional>
#include <string>

namespace hf {

// The file name without its folders, for the "line %d of file %s" reports.
constexpr const char* SourceFileBaseName(const char* path) {
  const char* base = path;
  for (const char* p = path; *p != '\0'; ++p)
    if (*p == '/' || *p == '\\') base = p + 1;
  return base;
}
#define HF_SOURCE_FILE SourceFileBaseName(__FILE__)

#define HF_REPORT_ERROR(params, text) ReportError((params), (text), HF_SOURCE_FILE, __LINE__)
#define HF_REPORT_SYSTEM_ERROR(params, error, what) \
  ReportSystemError((params), (error), (what), HF_SOURCE_FILE, __LINE__)
#define HF_IS_VALID_POINTER(field) IsValidPointer((field), HF_SOURCE_FILE, __LINE__)

// Places `text` in the block for the host: a zero-initialised global block of
// length + 2 bytes, messageOwned 1, messageLength = length without the NUL.
// When `logFormat` is given, the text is first logged at level 0 with it (the
// format takes the text as its one "%s"). A null `params` only logs.
void HandOverMessage(PluginParameters* params, const char* logFormat, const char* text);
void HandOverMessage(PluginParameters* params, const char* logFormat, const std::string& text);

// At the start of every admitted call: frees the message the host has taken
// (or a message left empty) and clears the message fields.
void ReleaseHandedOverMessage(PluginParameters* params);

// Reports a failure to the host: errorCode -1 and the text (cut to 1023 bytes
// with its line feed) as the message, unless an error is already pending, in
// which case only the log line is written. `params` may be null.
void ReportError(PluginParameters* params, const char* text, const char* sourceFile, int line);

// Reports a Windows error, passed as read right after the failing call:
// errorCode = the error number, message "%d: <system text>\n<what>\n".
// Returns the error number, 0 when there was none. `params` may be null.
uint32_t ReportSystemError(PluginParameters* params, uint32_t error, const char* what, const char* sourceFile,
                           int line);

// A report as a block carries it to its host: a message (errorCode 0) or an
// error report (the error's code, the text with its line feed).
struct BlockReport {
  int32_t errorCode = 0;
  std::string text;
  bool operator==(const BlockReport& other) const { return errorCode == other.errorCode && text == other.text; }
};

// Takes the report a call left in `block` (freeing its text) and clears the
// block's message and error fields; nullopt when it held none.
std::optional<BlockReport> TakeBlockReport(PluginParameters& block);

// Places `report` in the host's block when the block has room for it (no
// unacknowledged message, no pending error); true when placed. Logs nothing:
// the report was logged when it was made.
bool PlaceBlockReport(PluginParameters* params, const BlockReport& report);

// `pointerField` is the address of a pointer-sized field. True when both the
// address and the pointer it holds are neither null nor all ones; otherwise
// logs at level 3, clears the field when the address was usable, and returns
// false: the caller then skips the free.
bool IsValidPointer(void* pointerField, const char* sourceFile, int line);

// True when the pointer is neither null nor all ones.
bool IsUsablePointer(const void* pointer);

}  // namespace hf
