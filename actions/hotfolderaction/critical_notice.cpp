// Message box or log line for critical notices.
#include "actions/hotfolderaction/critical_notice.h"

#include "common/log.h"
#include "common/win32/windows_api.h"

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
  Log(0, "%s", text);
  if (CriticalNoticeCanBlock()) ::MessageBoxA(nullptr, text, "Hot Folder", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}
