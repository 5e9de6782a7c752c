// The size-and-type read of the scan cycle.
#include "jobs/win32/file_size_and_type.h"
#include "base/ascii.h"

#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/scoped_handle.h"
#include "formats/binary_eps_header.h"
#include "formats/dsc_value.h"
#include "formats/job_type.h"
#include "host/message_handover.h"
#include "jobs/win32/binary_eps.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace hf {

namespace {

// The head is read into a buffer with room for a terminator and spare bytes.
constexpr size_t kHeadBufferSize = kJobTypeHeadBytes + 4;

// Reads the DSC title and for-name of a PostScript or EPS head. `first` is the
// head as recognition left it, `second` an untouched copy; both terminated.
void ReadDscValues(char* first, char* second, char* title, char* forName) {
  bool utf8 = std::strstr(first, "%APL_DSC_Encoding: UTF8") != nullptr;
  if (utf8) Log(LogLevel::kDetail, "Detected: %%APL_DSC_Encoding: UTF8");
  if (title != nullptr) {
    if (char* place = std::strstr(first, "%%Title:")) ExtractDscValue(place, utf8, title, kDscTitleSize);
  }
  if (forName != nullptr) {
    if (char* place = std::strstr(second, "%%For:")) ExtractDscValue(place, utf8, forName, kDscForNameSize);
  }
}

// The DSC values of a text head of `length` bytes (at most kJobTypeHeadBytes).
void ReadDscValuesOf(const char* bytes, size_t length, char* title, char* forName) {
  char first[kHeadBufferSize] = {};
  std::memcpy(first, bytes, length);
  char second[kHeadBufferSize];
  std::memcpy(second, first, sizeof second);
  ReadDscValues(first, second, title, forName);
}

// A binary EPS keeps its DSC comments in its PostScript section, not in the
// header that the file begins with: the first bytes of that section, read
// through the open file, or none (0) when the header points nowhere usable.
size_t ReadPostScriptHead(HANDLE file, const unsigned char* header, size_t headerLength, int64_t fileSize, char* into) {
  BinaryEpsHeader parsed;
  if (!ParseBinaryEpsHeader(header, headerLength, parsed)) return 0;
  if (CheckPostScriptSection(parsed, static_cast<uint64_t>(fileSize)) != PostScriptSection::kInsideFile) return 0;
  LARGE_INTEGER offset;
  offset.QuadPart = parsed.postScriptOffset;
  if (!::SetFilePointerEx(file, offset, nullptr, FILE_BEGIN)) return 0;
  const DWORD wanted = static_cast<DWORD>(std::min<uint32_t>(parsed.postScriptLength, kJobTypeHeadBytes));
  DWORD bytesRead = 0;
  if (!::ReadFile(file, into, wanted, &bytesRead, nullptr)) return 0;
  return bytesRead;
}

void LogResult(const std::string& path, int64_t size, uint32_t type, const char* title, const char* forName) {
  auto bytes = static_cast<long long>(size);
  if (title != nullptr && forName != nullptr)
    Log(LogLevel::kTrace, "%s is %lld bytes of type 0x%08X  Titled:%s and For:%s", path.c_str(), bytes, type, title,
        forName);
  else if (title != nullptr)
    Log(LogLevel::kTrace, "%s is %lld bytes of type 0x%08X  Titled:%s", path.c_str(), bytes, type, title);
  else if (forName != nullptr)
    Log(LogLevel::kTrace, "%s is %lld bytes of type 0x%08X  for:%s", path.c_str(), bytes, type, forName);
  else
    Log(LogLevel::kTrace, "%s is %lld bytes of type 0x%08X", path.c_str(), bytes, type);
}

std::string JobFilePath(const char* folder, const char* name) {
  const std::string fileName = name != nullptr ? name : "";
  return (folder != nullptr && folder[0] != '\0') ? JoinPath(folder, fileName) : fileName;
}

}  // namespace

int64_t GetUnopenedFileSizeAndType(PluginParameters* params, const char* folder, const char* name, uint32_t* type,
                                   char* title, char* forName) {
  const std::string path = JobFilePath(folder, name);
  ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DWORD error = ::GetLastError();
    if (title != nullptr) title[0] = '\0';
    if (forName != nullptr) forName[0] = '\0';
    if (error == ERROR_WRITE_PROTECT) {
      Log(LogLevel::kProgress, "NB : File is read-only : %s", path.c_str());
    } else if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
      Log(LogLevel::kTrace, "File is in use (spooling?) : %s", path.c_str());
    } else {
      Log(LogLevel::kTrace, "Failure on file \"%s\"", path.c_str());
      HF_REPORT_SYSTEM_ERROR(params, error, "GetUnopenedFileSizeAndType");
    }
    return 0;
  }
  return SizeAndTypeOfOpenedFile(params, folder, name, std::move(file), type, title, forName);
}

int64_t SizeAndTypeOfOpenedFile(PluginParameters* params, const char* folder, const char* name, ScopedHandle file,
                                uint32_t* type, char* title, char* forName) {
  if (title != nullptr) title[0] = '\0';
  if (forName != nullptr) forName[0] = '\0';
  const std::string fileName = name != nullptr ? name : "";
  const std::string path = JobFilePath(folder, name);
  if (!file) return 0;

  int64_t size = 0;
  LARGE_INTEGER fileSize;
  if (::GetFileSizeEx(file.get(), &fileSize))
    size = fileSize.QuadPart;
  else
    HF_REPORT_SYSTEM_ERROR(params, ::GetLastError(), "GetUnopenedFileSizeAndType");

  char head[kHeadBufferSize] = {};
  DWORD bytesRead = 0;
  if (!::ReadFile(file.get(), head, static_cast<DWORD>(kJobTypeHeadBytes), &bytesRead, nullptr)) bytesRead = 0;
  head[bytesRead] = '\0';
  // Recognition and the title extraction write into `head`; the for-name and
  // the EPS header are read from copies of the bytes as they came.
  char second[kHeadBufferSize];
  std::memcpy(second, head, sizeof second);
  unsigned char original[kHeadBufferSize];
  std::memcpy(original, head, sizeof original);

  uint32_t jobType = RecogniseJobType(head, bytesRead);
  const bool binaryEps = jobType == kJobTypeEps && bytesRead > 32 && HasBinaryEpsMagic(original, bytesRead);
  if (binaryEps) {
    // The same limits as for a text head, whether or not the file is trimmed.
    char postScript[kHeadBufferSize] = {};
    const size_t length = ReadPostScriptHead(file.get(), original, bytesRead, size, postScript);
    ReadDscValuesOf(postScript, length, title, forName);
  } else if ((jobType == kJobTypePostScript || jobType == kJobTypeEps) && bytesRead > 0) {
    ReadDscValues(head, second, title, forName);
  }
  file.reset();  // the trimming opens the file itself
  if (binaryEps) size = TrimBinaryEps("", path.c_str(), original, bytesRead, size);
  if (jobType == kJobTypeUnknown && EqualsIgnoringAsciiCase(GetExtension(fileName), ".json")) jobType = kJobTypeJson;
  // XML whose root the head does not show (a long preamble) is a ticket by its name.
  if (jobType == kJobTypeXml && EqualsIgnoringAsciiCase(GetExtension(fileName), ".jdf")) {
    Log(LogLevel::kDetail, "JDF job recognised.");
    jobType = kJobTypeJdf;
  }

  if (type != nullptr) *type = jobType;
  LogResult(path, size, jobType, title, forName);
  return size;
}

}  // namespace hf
