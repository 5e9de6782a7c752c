// UTF-8 to the ANSI code page through the system's own conversions.
#include "base/code_page.h"

#include "base/win32/windows_api.h"

#include <climits>
#include <vector>

namespace hf {

bool Utf8ToAnsiCodePage(std::string_view utf8, std::string& ansi) {
  ansi.clear();
  if (utf8.empty() || utf8.size() > static_cast<size_t>(INT_MAX)) return false;
  int utf8Length = static_cast<int>(utf8.size());
  int wideLength = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8Length, nullptr, 0);
  if (wideLength <= 0) return false;
  std::vector<wchar_t> wide(static_cast<size_t>(wideLength));
  wideLength = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8Length, wide.data(), wideLength);
  if (wideLength <= 0) return false;
  int ansiLength = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (ansiLength <= 0) return false;
  ansi.resize(static_cast<size_t>(ansiLength));
  ansiLength = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &ansi[0], ansiLength, nullptr, nullptr);
  if (ansiLength <= 0) {
    ansi.clear();
    return false;
  }
  ansi.resize(static_cast<size_t>(ansiLength));
  return true;
}

}  // namespace hf
