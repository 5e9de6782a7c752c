// Folder filling and bare file-system baselines for the win32 timing programs.
#include "bench/win32/bench_files.h"

#include "base/win32/file_system.h"
#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"

#include <algorithm>
#include <cstdio>

namespace hf {

namespace {

std::string WithBackslash(std::string path) {
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  ScopedFindHandle search(::FindFirstFileA((WithBackslash(folder) + "*.*").c_str(), &found));
  if (!search) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
  } while (::FindNextFileA(search.get(), &found));
  return names;
}

}  // namespace

double NowSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER value;
    ::QueryPerformanceFrequency(&value);
    return static_cast<double>(value.QuadPart);
  }();
  LARGE_INTEGER counter;
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string MakeFolder(const std::string& folder) {
  CreateFolder(folder, true);
  return WithBackslash(folder);
}

std::string MakeBenchFolder(const std::string& name) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(sizeof temp, temp);
  std::string folder = WithBackslash(temp) + "hf_bench_" + name + "_" + std::to_string(::GetCurrentProcessId());
  DeleteFolder(folder);
  return MakeFolder(folder);
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  ScopedHandle file(
      ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

bool FillFolder(const std::string& folder, int count, const std::string& prefix, const std::string& extension,
                size_t size) {
  std::string content = "%!PS-Adobe-3.0\n%%Title: bench\n%%For: bench\n%%EndComments\n";
  content.resize(size, 'x');
  const std::string base = WithBackslash(folder);
  for (int i = 0; i < count; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%06d", i);
    if (!WriteTextFile(base + prefix + number + extension, content)) return false;
  }
  return true;
}

namespace {

// Times one listing of the folder that calls `perFile` with the folder (with
// its backslash) and the name of every file (not folders, not hidden files);
// `files` counts the calls that returned true.
template <typename PerFile>
double TimeListingWith(const std::string& folder, int& files, PerFile perFile) {
  files = 0;
  const std::string base = WithBackslash(folder);
  double start = NowSeconds();
  WIN32_FIND_DATAA found;
  ScopedFindHandle search(::FindFirstFileA((base + "*.*").c_str(), &found));
  if (search) {
    do {
      if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)) != 0) continue;
      if (perFile(base, found.cFileName)) ++files;
    } while (::FindNextFileA(search.get(), &found));
  }
  return NowSeconds() - start;
}

}  // namespace

double TimeListing(const std::string& folder, int& files) {
  return TimeListingWith(folder, files, [](const std::string&, const char*) { return true; });
}

double TimeListingOpenRead(const std::string& folder, int& files) {
  return TimeListingWith(folder, files, [](const std::string& base, const char* name) {
    ScopedHandle file(
        ::CreateFileA((base + name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char head[512];
    DWORD got = 0;
    return file && ::ReadFile(file.get(), head, sizeof head, &got, nullptr);
  });
}

double TimeListingAdmissionCalls(const std::string& folder, int& files) {
  return TimeListingWith(folder, files, [](const std::string& base, const char* name) {
    const std::string path = base + name;
    ScopedHandle exclusive(
        ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!exclusive) return false;
    exclusive.reset();
    ScopedHandle shared(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    char head[512];
    DWORD got = 0;
    return shared && ::GetFileSizeEx(shared.get(), &size) && ::ReadFile(shared.get(), head, sizeof head, &got, nullptr);
  });
}

double TimeMoveLoop(const std::string& from, const std::string& to, bool handOffChecks, int& moved) {
  moved = 0;
  const std::vector<std::string> names = FileNames(from);  // listed before the clock starts
  const std::string source = WithBackslash(from);
  const std::string target = WithBackslash(to);
  double start = NowSeconds();
  const std::string targetFolder = to.size() > 3 && to.back() == '\\' ? to.substr(0, to.size() - 1) : to;
  if (handOffChecks) {  // once per call, as the hand-off does
    ::CreateDirectoryA(targetFolder.c_str(), nullptr);
    ::GetFileAttributesA(targetFolder.c_str());
  }
  for (const std::string& name : names) {
    if (handOffChecks) ::GetFileAttributesA((source + name).c_str());  // vanished or read-only
    const DWORD flags = handOffChecks ? MOVEFILE_COPY_ALLOWED : MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED;
    if (::MoveFileExA((source + name).c_str(), (target + name).c_str(), flags)) {
      ++moved;
    }
  }
  return NowSeconds() - start;
}

}  // namespace hf
