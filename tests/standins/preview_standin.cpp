// The preview renderer (prevgen.exe) and the thumbnail application for tests.
// Steered by the environment it inherits:
//   HF_PREVIEW_RECORD    append "<current folder>|<command line>" as one line to this file
//   HF_PREVIEW_SLEEP_MS  then wait this long, holding the rendered source open (no sharing but reading)
//   HF_PREVIEW_EXIT      the exit code (default 0)
// The argument after "-f" is the PNG to write: "PNG:" and the bytes of the
// argument after it (the source), so a test sees which file was read.
#include "base/win32/windows_api.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Environment(const char* name) {
  char value[1024] = {};
  const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? value : "";
}

std::string ReadAll(const char* path) {
  std::string bytes;
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return "<unreadable>";
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
  std::fclose(file);
  return bytes;
}

void Write(const char* path, const std::string& bytes, const char* mode) {
  FILE* file = std::fopen(path, mode);
  if (file == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string record = Environment("HF_PREVIEW_RECORD");
  if (!record.empty()) {
    char folder[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, folder);
    Write(record.c_str(), std::string(folder) + "|" + ::GetCommandLineA() + "\n", "ab");
  }
  const char* source = nullptr;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) != "-f") continue;
    source = i + 2 < argc ? argv[i + 2] : nullptr;
    Write(argv[i + 1], "PNG:" + (source != nullptr ? ReadAll(source) : std::string()), "wb");
    break;
  }
  const std::string sleep = Environment("HF_PREVIEW_SLEEP_MS");
  if (!sleep.empty()) {
    HANDLE held = source != nullptr
                      ? ::CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                      : INVALID_HANDLE_VALUE;
    ::Sleep(static_cast<DWORD>(std::atol(sleep.c_str())));
    if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
  }
  return std::atoi(Environment("HF_PREVIEW_EXIT").c_str());
}
