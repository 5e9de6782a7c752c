// Folder of the executable of the process that loaded the plug-in.
#include "base/path_utils.h"

#include "base/win32/windows_api.h"

#include <vector>

namespace hf {

std::string HostProgramFolder() {
  // The name is read into a buffer that doubles until the whole name fits;
  // a name that fills the buffer exactly may have been cut.
  std::vector<char> name(1024);
  for (;;) {
    DWORD length = ::GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return std::string();
    if (length < name.size()) return ParentFolder(std::string(name.data(), length));
    if (name.size() >= 1u << 20) return std::string();
    name.resize(name.size() * 2);
  }
}

}  // namespace hf
