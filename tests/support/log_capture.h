// Test helper: captures every Log message (level and text) while it exists,
// with logging switched on up to level 3; restores the previous sink and
// settings afterwards.
#pragma once

#include "base/log.h"

#include <string>
#include <utility>
#include <vector>

namespace hf {

using LogLine = std::pair<int, std::string>;

class LogCapture {
 public:
  LogCapture() : previousLevel_(CurrentLogLevel()), previousEnabled_(LoggingEnabled()) {
    current = this;
    previous_ = SetLogSink(&LogCapture::Sink);
    SetLogSettings(3, true);
  }
  ~LogCapture() {
    SetLogSettings(previousLevel_, previousEnabled_);
    SetLogSink(previous_);
    current = nullptr;
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  bool Has(int level, const std::string& text) const {
    for (const LogLine& line : lines)
      if (line.first == level && line.second == text) return true;
    return false;
  }

  std::vector<LogLine> lines;

 private:
  static void Sink(int level, const char* text) {
    if (current != nullptr) current->lines.emplace_back(level, text);
  }
  static inline LogCapture* current = nullptr;
  LogSink previous_ = nullptr;
  int previousLevel_;
  bool previousEnabled_;
};

}  // namespace hf
