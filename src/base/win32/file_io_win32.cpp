// Win32 implementation of the whole-file helper.
#include "base/file_io.h"

#include "base/log.h"

#include "base/win32/scoped_handle.h"

namespace hf {

int ReadWholeFile(const std::string& path, std::string& contents) {
  contents.clear();
  ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return static_cast<int>(::GetLastError());
  LARGE_INTEGER size;
  if (::GetFileSizeEx(file.get(), &size) && size.QuadPart > kMaxWholeFileBytes) {
    Log(LogLevel::kError, "File <%s> is larger than 16 MB: it is not read.", path.c_str());
    return ERROR_FILE_TOO_LARGE;
  }
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return static_cast<int>(::GetLastError());
    if (got == 0) break;
    contents.append(buffer, got);
  }
  return 0;
}

bool IsNotFoundError(int error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

std::string SystemErrorText(int error) {
  char text[512] = {};
  DWORD length =
      ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(error),
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) --length;
  if (length == 0) return "Error code = " + std::to_string(error) + ".";
  return std::string(text, length);
}

int ReplaceFileContents(const std::string& path, std::string_view contents) {
  std::string temporary = path + ".tmp~";
  {
    // Hidden, so that a scan of the folder passes over the half-written file.
    ScopedHandle file(
        ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!file) return static_cast<int>(::GetLastError());
    const char* data = contents.data();
    size_t left = contents.size();
    while (left > 0) {
      DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
      DWORD put = 0;
      if (!::WriteFile(file.get(), data, chunk, &put, nullptr) || put == 0) {
        int error = static_cast<int>(::GetLastError());
        file.reset();
        ::DeleteFileA(temporary.c_str());
        return error != 0 ? error : ERROR_WRITE_FAULT;
      }
      data += put;
      left -= put;
    }
    if (!::FlushFileBuffers(file.get())) {
      int error = static_cast<int>(::GetLastError());
      file.reset();
      ::DeleteFileA(temporary.c_str());
      return error;
    }
  }
  if (!::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    int error = static_cast<int>(::GetLastError());
    ::SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(temporary.c_str());
    return error;
  }
  // The replaced file takes the temporary file's attributes: make it visible.
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return 0;
}

int CopyFileReplacing(const std::string& source, const std::string& target) {
  std::string temporary = target + ".tmp~";
  if (!::CopyFileA(source.c_str(), temporary.c_str(), FALSE)) {
    int error = static_cast<int>(::GetLastError());
    ::SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(temporary.c_str());
    return error;
  }
  // Hidden while it is not in place, so that a hot-folder scan passes over it.
  ::SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_HIDDEN);
  int error = MoveFileReplacing(temporary, target);
  if (error != 0) {
    ::SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(temporary.c_str());
  }
  return error;
}

int MoveFileReplacing(const std::string& from, const std::string& target) {
  if (!::MoveFileExA(from.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return static_cast<int>(::GetLastError());
  ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  return 0;
}

int RemoveFile(const std::string& path) {
  if (::DeleteFileA(path.c_str())) return 0;
  int error = static_cast<int>(::GetLastError());
  return IsNotFoundError(error) ? 0 : error;
}

bool FileExists(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace hf
