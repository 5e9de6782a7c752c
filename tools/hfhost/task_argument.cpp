// Splitting "--task SRC[:DEST]" without mistaking a drive colon for the separator.
#include "tools/hfhost/task_argument.h"

#include <cctype>

namespace hf {

namespace {

// True when the ':' at `colon` is the drive colon of a path starting at `pathStart`.
bool IsDriveColon(std::string_view text, size_t pathStart, size_t colon) {
  if (colon != pathStart + 1) return false;
  if (!std::isalpha(static_cast<unsigned char>(text[pathStart]))) return false;
  size_t after = colon + 1;
  return after == text.size() || text[after] == '\\' || text[after] == '/';
}

// The first ':' at or after `pathStart` that is not the path's drive colon.
size_t FindSeparator(std::string_view text, size_t pathStart) {
  for (size_t at = text.find(':', pathStart); at != std::string_view::npos; at = text.find(':', at + 1)) {
    if (!IsDriveColon(text, pathStart, at)) return at;
  }
  return std::string_view::npos;
}

}  // namespace

bool SplitTaskArgument(std::string_view argument, TaskFolders& folders, std::string& error) {
  folders = TaskFolders();
  size_t separator = FindSeparator(argument, 0);
  std::string_view source = argument.substr(0, separator);
  if (source.empty()) {
    error = "--task needs a source folder";
    return false;
  }
  folders.source = std::string(source);
  if (separator == std::string_view::npos) return true;

  const size_t destinationStart = separator + 1;
  std::string_view destination = argument.substr(destinationStart);
  if (destination.empty()) {
    error = "--task " + std::string(argument) + ": empty destination after ':' (leave out the ':' for none)";
    return false;
  }
  if (FindSeparator(argument, destinationStart) != std::string_view::npos) {
    error = "--task " + std::string(argument) + ": more than one ':' separator";
    return false;
  }
  folders.destination = std::string(destination);
  return true;
}

}  // namespace hf
