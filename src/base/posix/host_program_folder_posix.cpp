// Folder of the running executable, natively: read from /proc/self/exe.
#include "base/path_utils.h"

#include <unistd.h>

#include <vector>

namespace hf {

std::string HostProgramFolder() {
  std::vector<char> name(1024);
  for (;;) {
    ssize_t length = ::readlink("/proc/self/exe", name.data(), name.size());
    if (length < 0) return std::string();
    if (static_cast<size_t>(length) < name.size())
      return ParentFolder(std::string(name.data(), static_cast<size_t>(length)));
    if (name.size() >= 1u << 20) return std::string();
    name.resize(name.size() * 2);
  }
}

}  // namespace hf
