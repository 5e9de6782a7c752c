// The preview renderer and the thumbnail application for tests. It appends "<current folder>|<command line>" to
// %HF_PREVIEW_RECORD%, writes "PNG:" and the source's bytes to the PNG after "-f" (the source follows it), then
// waits %HF_PREVIEW_SLEEP_MS% holding the source open (no sharing but reading).
#include "base/win32/windows_api.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Environment(const char* name) {
  char value[1024] = {};
  const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
  return length < sizeof value ? value : "";
}

std::string ReadAll(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<unreadable>";
}

}  // namespace

int main(int argc, char** argv) {
  char folder[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, folder);
  const std::string record = Environment("HF_PREVIEW_RECORD");
  if (!record.empty())
    std::ofstream(record, std::ios::binary | std::ios::app) << folder << "|" << ::GetCommandLineA() << "\n";
  const char* source = nullptr;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) != "-f") continue;
    source = i + 2 < argc ? argv[i + 2] : nullptr;
    std::ofstream(argv[i + 1], std::ios::binary) << "PNG:" << (source != nullptr ? ReadAll(source) : "");
    break;
  }
  const std::string sleep = Environment("HF_PREVIEW_SLEEP_MS");
  if (sleep.empty()) return 0;
  HANDLE held = source != nullptr
                    ? ::CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                    : INVALID_HANDLE_VALUE;
  ::Sleep(static_cast<DWORD>(std::atol(sleep.c_str())));
  if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
  return 0;
}
