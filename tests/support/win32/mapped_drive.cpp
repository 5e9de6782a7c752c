// Mapping a scratch folder as a drive of its own, under Wine or on Windows.
#include "tests/support/win32/mapped_drive.h"

#include "base/win32/windows_api.h"
#include "tests/support/win32/scratch_folder.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

namespace hf {

namespace {

// The mount manager's Unix-drive request of Wine (IOCTL 'm', 32): the header,
// then the Unix mount point as a NUL-terminated byte string at
// mount_point_offset. An offset of 0 removes the drive.
struct WineUnixDrive {
  ULONG size;
  ULONG type;
  ULONG fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset;
  USHORT deviceOffset;
  USHORT labelOffset;
};
static_assert(sizeof(WineUnixDrive) == 32, "Wine's mountmgr_unix_drive is 32 bytes");

constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

bool RunningUnderWine() {
  HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

char FreeDriveLetter() {
  const DWORD used = ::GetLogicalDrives();
  for (char letter = 'P'; letter <= 'Y'; ++letter) {
    if ((used & (1u << (letter - 'A'))) == 0) return letter;
  }
  return '\0';
}

// Maps the drive to `unixFolder`, or removes it when `unixFolder` is empty.
bool SendUnixDrive(char letter, const std::string& unixFolder) {
  const DWORD type = unixFolder.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_FIXED;
  HANDLE manager = ::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) return false;
  std::vector<char> request(sizeof(WineUnixDrive) + unixFolder.size() + 1, '\0');
  WineUnixDrive header{};
  header.size = static_cast<ULONG>(request.size());
  header.type = type;
  header.letter = static_cast<WCHAR>(letter - 'A' + 'a');
  if (!unixFolder.empty()) {
    header.mountPointOffset = static_cast<USHORT>(sizeof(WineUnixDrive));
    std::memcpy(request.data() + sizeof(WineUnixDrive), unixFolder.c_str(), unixFolder.size() + 1);
  }
  std::memcpy(request.data(), &header, sizeof header);
  DWORD returned = 0;
  BOOL done = ::DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()), nullptr,
                                0, &returned, nullptr);
  ::CloseHandle(manager);
  return done != FALSE;
}

}  // namespace

MappedDrive::MappedDrive(const std::string& folder) {
  const char letter = FreeDriveLetter();
  if (letter == '\0') {
    error_ = "no free drive letter";
    return;
  }
  wine_ = RunningUnderWine();
  if (wine_) {
    const std::string unixFolder = UnixPathOf(folder);
    if (unixFolder.empty()) {
      error_ = "no Unix path for " + folder;
      return;
    }
    if (!SendUnixDrive(letter, unixFolder)) {
      error_ = "the mount manager refused drive " + std::string(1, letter) + ": -> " + unixFolder;
      return;
    }
  } else {
    std::string target = folder;
    while (target.size() > 3 && target.back() == '\\') target.pop_back();
    const std::string device = std::string(1, letter) + ":";
    if (!::DefineDosDeviceA(0, device.c_str(), target.c_str())) {
      error_ = "DefineDosDevice failed";
      return;
    }
  }
  // The new drive must be usable before the test relies on it.
  const std::string rootPath = std::string(1, letter) + ":\\";
  if (::GetFileAttributesA(rootPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    error_ = "drive " + rootPath + " does not answer";
    if (wine_)
      SendUnixDrive(letter, std::string());
    else
      ::DefineDosDeviceA(DDD_REMOVE_DEFINITION, (std::string(1, letter) + ":").c_str(), nullptr);
    return;
  }
  letter_ = letter;
}

MappedDrive::~MappedDrive() {
  if (letter_ == '\0') return;
  if (wine_)
    SendUnixDrive(letter_, std::string());
  else
    ::DefineDosDeviceA(DDD_REMOVE_DEFINITION, (std::string(1, letter_) + ":").c_str(), nullptr);
}

}  // namespace hf
