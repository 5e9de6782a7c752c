// hflog: the remote debug monitor. Creates the mailslot named after this
// computer and prints every log record that arrives, one line each.
#include "base/win32/scoped_handle.h"
#include "formats/log_record.h"
#include "host/log_channel.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace hf;

namespace {

constexpr DWORD kReadTimeoutMs = 100;  // how often the stop conditions are looked at
constexpr size_t kReadBufferSize = 70000;

const char kUsage[] =
    "Usage: hflog [--count N] [--seconds S] [--help]\n"
    "\n"
    "Creates the mailslot \\\\.\\mailslot\\<computer name> and prints each log\n"
    "record written to it, one line per record:\n"
    "\n"
    "  <sequence> <date> <level> <text>\n"
    "\n"
    "  sequence  the record's sequence number in hexadecimal (the first record\n"
    "            of a process is 100001)\n"
    "  date      the sender's local date and time, YYYY/MM/DD hh:mm\n"
    "  level     0 errors and warnings, 1 progress, 2 detail, 3 trace\n"
    "  text      the sender's time, process:thread ids, level/current level and\n"
    "            the message; line breaks inside it are shown as \\n, other\n"
    "            control characters as \\r, \\t or \\xHH\n"
    "\n"
    "Options:\n"
    "  --count N    stop after N records\n"
    "  --seconds S  stop after S seconds (whether or not records arrive)\n"
    "  --help       show this text\n"
    "\n"
    "Ctrl+C stops at any time. Exit status: 0 after a normal stop, 1 when the\n"
    "mailslot cannot be created (another monitor may be running), 2 for bad\n"
    "arguments.\n";

std::atomic<bool> interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
    interrupted.store(true);
    return TRUE;
  }
  return FALSE;
}

struct Options {
  unsigned long count = 0;    // 0: no limit
  unsigned long seconds = 0;  // 0: no limit
  bool help = false;
};

bool ParseNumber(const char* text, unsigned long& value) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoul(text, &end, 10);
  return errno == 0 && end != nullptr && *end == '\0';
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help" || argument == "-h" || argument == "/?") {
      options.help = true;
    } else if (argument == "--count" && i + 1 < argc) {
      if (!ParseNumber(argv[++i], options.count) || options.count == 0) return false;
    } else if (argument == "--seconds" && i + 1 < argc) {
      if (!ParseNumber(argv[++i], options.seconds) || options.seconds == 0) return false;
    } else {
      return false;
    }
  }
  return true;
}

// True once the run should end.
bool TimeIsUp(const Options& options, ULONGLONG started) {
  return options.seconds != 0 && ::GetTickCount64() - started >= options.seconds * 1000ULL;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }

  const std::string path = LogMailslotPath(".");
  ScopedHandle mailslot(::CreateMailslotA(path.c_str(), 0, kReadTimeoutMs, nullptr));
  if (!mailslot) {
    const DWORD error = ::GetLastError();
    std::fprintf(stderr, "hflog: cannot create %s (error %lu)\n", path.c_str(), static_cast<unsigned long>(error));
    return 1;
  }
  ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  std::fprintf(stderr, "hflog: reading %s\n", path.c_str());
  std::fflush(stderr);

  const ULONGLONG started = ::GetTickCount64();
  unsigned long printed = 0;
  std::string buffer(kReadBufferSize, '\0');
  while (!interrupted.load() && !TimeIsUp(options, started)) {
    DWORD got = 0;
    if (!::ReadFile(mailslot.get(), &buffer[0], static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      if (::GetLastError() != ERROR_SEM_TIMEOUT) ::Sleep(kReadTimeoutMs);
      continue;
    }
    LogRecord record;
    if (!ParseLogRecord(std::string_view(buffer.data(), got), record)) {
      std::fprintf(stderr, "hflog: ignored a message of %lu bytes (shorter than a record header)\n",
                   static_cast<unsigned long>(got));
      continue;
    }
    std::printf("%s\n", FormatLogRecordLine(record).c_str());
    std::fflush(stdout);
    if (options.count != 0 && ++printed >= options.count) break;
  }
  return 0;
}
