// Reads arbitrary bytes as a received mailslot log record and formats it for
// the monitor, as hflog does with whatever arrives in its mailslot.
#include "formats/log_record.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace hf;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LogRecord record;
  if (ParseLogRecord(std::string_view(reinterpret_cast<const char*>(data), size), record)) {
    const std::string line = FormatLogRecordLine(record);
    if (line.find('\n') != std::string::npos) __builtin_trap();  // one record, one line
  }
  return 0;
}
