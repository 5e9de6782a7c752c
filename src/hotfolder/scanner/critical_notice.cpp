// Message box or log line for critical notices.
#include "hotfolder/scanner/critical_notice.h"

#include "base/log.h"
#include "base/win32/windows_api.h"

namespace hf {

bool CriticalNoticeCanBlock() {
  if (::GetEnvironmentVariableA("HF_NO_MESSAGEBOX", nullptr, 0) != 0) return false;
  HWINSTA station = ::GetProcessWindowStation();
  if (station == nullptr) return false;
  USEROBJECTFLAGS flags{};
  DWORD needed = 0;
  if (!::GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, &needed)) return false;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

void ShowCriticalNotice(const char* text) {
  Log(LogLevel::kError, "%s", text);
  if (CriticalNoticeCanBlock()) ::MessageBoxA(nullptr, text, "Hot Folder", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace hf
