// POSIX implementation of the whole-file helper (native builds and tests).
#include "base/file_io.h"

#include "base/log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace hf {

int ReadWholeFile(const std::string& path, std::string& contents) {
  contents.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat status;
  if (::fstat(fd, &status) == 0 && status.st_size > kMaxWholeFileBytes) {
    ::close(fd);
    Log(LogLevel::kError, "File <%s> is larger than 16 MB: it is not read.", path.c_str());
    return EFBIG;
  }
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      int error = errno;
      ::close(fd);
      return error;
    }
    if (got == 0) break;
    contents.append(buffer, static_cast<size_t>(got));
  }
  ::close(fd);
  return 0;
}

bool IsNotFoundError(int error) { return error == ENOENT || error == ENOTDIR; }

std::string SystemErrorText(int error) {
  const char* text = std::strerror(error);
  return text != nullptr && text[0] != '\0' ? std::string(text) : "Error code = " + std::to_string(error) + ".";
}

int ReplaceFileContents(const std::string& path, std::string_view contents) {
  std::string temporary = path + ".tmp~";
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return errno;
  const char* data = contents.data();
  size_t left = contents.size();
  while (left > 0) {
    ssize_t put = ::write(fd, data, left);
    if (put < 0) {
      if (errno == EINTR) continue;
      int error = errno;
      ::close(fd);
      ::unlink(temporary.c_str());
      return error;
    }
    data += put;
    left -= static_cast<size_t>(put);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    int error = errno;
    ::unlink(temporary.c_str());
    return error;
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    int error = errno;
    ::unlink(temporary.c_str());
    return error;
  }
  return 0;
}

int CopyFileReplacing(const std::string& source, const std::string& target) {
  int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return errno;
  std::string temporary = target + ".tmp~";
  int out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) {
    int error = errno;
    ::close(in);
    return error;
  }
  int error = 0;
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(in, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    for (ssize_t done = 0; done < got && error == 0;) {
      ssize_t put = ::write(out, buffer + done, static_cast<size_t>(got - done));
      if (put < 0 && errno != EINTR) error = errno;
      if (put > 0) done += put;
    }
    if (error != 0) break;
  }
  ::close(in);
  if (error == 0 && ::fsync(out) != 0) error = errno;
  if (::close(out) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) ::unlink(temporary.c_str());
  return error;
}

int MoveFileReplacing(const std::string& from, const std::string& target) {
  return ::rename(from.c_str(), target.c_str()) == 0 ? 0 : errno;
}

int RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : errno; }

bool FileExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace hf
