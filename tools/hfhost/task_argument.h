// The value of hfhost's "--task SRC[:DEST]": a source folder and an optional
// destination folder in one argument, with Windows drive letters allowed in both.
#pragma once

#include <string>
#include <string_view>

namespace hf {

struct TaskFolders {
  std::string source;
  std::string destination;  // empty: no destination (files stay in the hot folder)
};

// Splits "SRC:DEST" at the first ':' that is not a drive colon. A drive colon
// is a ':' that follows a single letter at the start of a path (the start of
// the argument, or just after the separating ':') and is followed by '\', '/'
// or the end of the text:
//   "C:\in:D:\out"      -> "C:\in",  "D:\out"
//   "C:\in"             -> "C:\in",  no destination
//   "/work/in:/work/out" -> "/work/in", "/work/out"
//   "in:out"            -> "in",     "out"
//   "C:"                -> "C:",     no destination (a drive root)
// A one-letter relative folder is written ".\a" so that "a:\..." cannot be
// taken for a drive. Returns false, with the reason in `error`, for an empty
// source, an empty destination after the separator, or a destination that
// holds a further ':' that is not a drive colon.
bool SplitTaskArgument(std::string_view argument, TaskFolders& folders, std::string& error);

}  // namespace hf
