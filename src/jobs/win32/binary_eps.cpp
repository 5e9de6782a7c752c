// Trimming of binary EPS files: a checked copy of the PostScript section and a
// one-step replace, so that a failure never loses or shortens the job.
#include "jobs/win32/binary_eps.h"

#include "base/log.h"
#include "base/win32/scoped_handle.h"
#include "formats/binary_eps_header.h"

#include <string>

namespace hf {

namespace {

constexpr DWORD kCopyChunk = 8192;
constexpr size_t kMaxPathCharacters = 259;

// Why a header is not acted on, for the refusal line.
const char* SectionProblem(PostScriptSection section) {
  switch (section) {
    case PostScriptSection::kEmpty: return "its PostScript section is empty";
    case PostScriptSection::kOverlapsHeader: return "its PostScript section starts inside the header";
    case PostScriptSection::kPastEnd: return "its PostScript section runs past the end of the file";
    case PostScriptSection::kInsideFile: break;
  }
  return "";
}

// Copies `length` bytes from the current position of `source` to `target`.
// Returns true when every byte was read and written.
bool CopySection(HANDLE source, HANDLE target, uint32_t length, const std::string& sourcePath) {
  char buffer[kCopyChunk];
  uint32_t remaining = length;
  while (remaining > 0) {
    DWORD wanted = remaining < kCopyChunk ? remaining : kCopyChunk;
    DWORD got = 0;
    if (!::ReadFile(source, buffer, wanted, &got, nullptr)) {
      Log(LogLevel::kProgress, "Failure calling ReadFile trimming EPS file: %d", static_cast<int>(::GetLastError()));
      return false;
    }
    if (got == 0) {
      Log(LogLevel::kProgress, "EPS file %s ended after %u of %u PostScript bytes; not trimmed", sourcePath.c_str(),
          static_cast<unsigned>(length - remaining), static_cast<unsigned>(length));
      return false;
    }
    DWORD put = 0;
    if (!::WriteFile(target, buffer, got, &put, nullptr) || put != got) {
      DWORD error = ::GetLastError();
      Log(LogLevel::kProgress, "Failure calling WriteFile trimming EPS file: %d",
          static_cast<int>(error != 0 ? error : ERROR_WRITE_FAULT));
      return false;
    }
    remaining -= got;
  }
  return true;
}

// Writes the PostScript section to `temporaryPath`, flushed. On failure the
// temporary file is removed.
bool WriteTrimmedCopy(HANDLE source, const std::string& sourcePath, const std::string& temporaryPath,
                      const BinaryEpsHeader& header) {
  ScopedHandle target(::CreateFileA(temporaryPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!target) {
    Log(LogLevel::kProgress, "Failure calling CreateFile on %s trimming EPS file: %d", temporaryPath.c_str(),
        static_cast<int>(::GetLastError()));
    return false;
  }
  bool copied = false;
  LARGE_INTEGER position;
  position.QuadPart = header.postScriptOffset;
  if (!::SetFilePointerEx(source, position, nullptr, FILE_BEGIN)) {
    Log(LogLevel::kProgress, "Failure calling SetFilePointerEx trimming EPS file: %d",
        static_cast<int>(::GetLastError()));
  } else if (CopySection(source, target.get(), header.postScriptLength, sourcePath)) {
    copied = ::FlushFileBuffers(target.get()) != FALSE;
    if (!copied)
      Log(LogLevel::kProgress, "Failure calling FlushFileBuffers trimming EPS file: %d",
          static_cast<int>(::GetLastError()));
  }
  target.reset();
  if (!copied) ::DeleteFileA(temporaryPath.c_str());
  return copied;
}

}  // namespace

int64_t TrimBinaryEps(const char* folder, const char* name, const unsigned char* headerBytes, size_t headerLength,
                      int64_t oldSize) {
  std::string sourcePath = (folder != nullptr ? std::string(folder) : std::string()) + (name != nullptr ? name : "");
  std::string temporaryPath = sourcePath + ".trimmed";
  if (temporaryPath.size() > kMaxPathCharacters) {
    Log(LogLevel::kProgress, "EPS file %s not trimmed: the path of its trimmed copy is longer than %u characters",
        sourcePath.c_str(), static_cast<unsigned>(kMaxPathCharacters));
    return oldSize;
  }
  BinaryEpsHeader header;
  if (!ParseBinaryEpsHeader(headerBytes, headerLength, header)) {
    Log(LogLevel::kProgress, "EPS file %s not trimmed: it has no binary EPS header", sourcePath.c_str());
    return oldSize;
  }

  {
    ScopedHandle source(::CreateFileA(sourcePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!source) {
      Log(LogLevel::kProgress, "Failure calling CreateFile on %s trimming EPS file: %d", sourcePath.c_str(),
          static_cast<int>(::GetLastError()));
      return oldSize;
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (!::GetFileInformationByHandle(source.get(), &information)) {
      Log(LogLevel::kProgress, "Failure calling GetFileInformationByHandle trimming EPS file: %d",
          static_cast<int>(::GetLastError()));
      return oldSize;
    }
    // Replacing would drop the read-only attribute; the file is left as it is.
    if (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
      Log(LogLevel::kProgress, "EPS file %s not trimmed: it is read-only", sourcePath.c_str());
      return oldSize;
    }
    uint64_t fileSize = static_cast<uint64_t>(information.nFileSizeHigh) << 32 | information.nFileSizeLow;
    PostScriptSection section = CheckPostScriptSection(header, fileSize);
    if (section != PostScriptSection::kInsideFile) {
      Log(LogLevel::kProgress, "EPS file %s not trimmed: %s (offset %u, length %u, file size %llu)", sourcePath.c_str(),
          SectionProblem(section), static_cast<unsigned>(header.postScriptOffset),
          static_cast<unsigned>(header.postScriptLength), static_cast<unsigned long long>(fileSize));
      return oldSize;
    }
    if (!WriteTrimmedCopy(source.get(), sourcePath, temporaryPath, header)) return oldSize;
  }

  if (!::MoveFileExA(temporaryPath.c_str(), sourcePath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DWORD error = ::GetLastError();
    Log(LogLevel::kProgress, "Failure calling MoveFile(%s,%s) while trimming EPS file: %d", temporaryPath.c_str(),
        sourcePath.c_str(), static_cast<int>(error));
    ::DeleteFileA(temporaryPath.c_str());
    return oldSize;
  }
  Log(LogLevel::kDetail, "EPS files trimmed from %d bytes to %d bytes, metafile preview: %d, TIFF preview: %d",
      static_cast<int>(static_cast<uint32_t>(oldSize)), static_cast<int>(header.postScriptLength),
      static_cast<int>(header.metafileLength), static_cast<int>(header.tiffLength));
  return header.postScriptLength;
}

}  // namespace hf
