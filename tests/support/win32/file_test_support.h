// Helpers shared by the tests of the Windows-only code: a fresh folder under
// the temporary folder, whole-file writes and reads, log-line searches, the
// host's default block and a bounded wait.
#pragma once

#include "host/plugin_parameters.h"
#include "base/file_io.h"
#include "base/win32/file_system.h"
#include "base/win32/windows_api.h"
#include "tests/support/log_capture.h"
#include "tests/support/win32/scratch_folder.h"

#include <cstdint>
#include <functional>
#include <string>

namespace hf {

// A fresh folder under the temporary folder, removed with everything in it.
using TempFolder = ScratchFolder;

inline bool Put(const std::string& path, const std::string& bytes) { return ReplaceFileContents(path, bytes) == 0; }

// A whole file, or "<missing>" when it cannot be read.
inline std::string Contents(const std::string& path) {
  std::string bytes;
  return ReadWholeFile(path, bytes) == 0 ? bytes : std::string("<missing>");
}

inline void Put32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// A captured line of `level` (any level when negative) that starts with
// `start` and contains `part`.
inline bool HasLineStartingWith(const LogCapture& log, int level, const std::string& start,
                                const std::string& part = std::string()) {
  for (const LogLine& line : log.lines)
    if ((level < 0 || line.first == level) && line.second.rfind(start, 0) == 0 &&
        line.second.find(part) != std::string::npos)
      return true;
  return false;
}

inline bool HasLineContaining(const LogCapture& log, const std::string& part) {
  for (const LogLine& line : log.lines)
    if (line.second.find(part) != std::string::npos) return true;
  return false;
}

inline PluginParameters DefaultBlock() {
  PluginParameters params;
  InitialiseDefaultParameters(params);
  return params;
}

inline std::string MessageOf(const PluginParameters& params) {
  return params.messageText != nullptr ? std::string(params.messageText) : std::string();
}

// Polls the condition every 10 ms for at most `limitMs`.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD limitMs = 20000) {
  for (const DWORD started = ::GetTickCount(); !condition(); ::Sleep(10))
    if (::GetTickCount() - started > limitMs) return false;
  return true;
}

}  // namespace hf
