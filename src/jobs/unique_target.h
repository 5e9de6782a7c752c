// makeUniqueTarget: a free name in a destination folder for a file whose own name
// is taken there, "<name>_<job>_<page>_<counter><extension>", with one
// module-wide counter shared by all tasks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace hf {

// The counter takes the values 0 to 999999 and then starts again at 0.
constexpr int kUniqueCounterValues = 1000000;

// The module-wide counter (0 when the library is loaded). It moves only past
// names that are taken, so the next call starts at the value of the last name
// handed out.
int UniqueTargetCounter();
void SetUniqueTargetCounter(int value);

using FileExistsCheck = std::function<bool(const std::string& path)>;

// The search behind makeUniqueTarget, with the counter, the existence test and
// the number of counter values given. Tries at most `counterValues` candidates,
// from `counter` on, wrapping to 0 after counterValues - 1; on success `target`
// is the free full path and `counter` the value in it. When every value is
// taken, returns false with `counter` back at its first value and `target` empty.
//   folder "C:\out", name "a.ps", job 0, page 0, counter 3 -> "C:\out\a_0_0_3.ps"
bool FindUniqueTarget(const std::string& folder, const std::string& fileName, int jobNumber, int pageNumber,
                      int& counter, int counterValues, const FileExistsCheck& fileExists, std::string& target);

// Writes into `result` (cut to resultSize - 1 characters and terminated; nothing
// when resultSize is 0) the full path of a name in `destinationFolder` that no
// file or folder has, using the module-wide counter. Returns true when a free name was
// found and its whole path fits `result`; false when every counter value is
// taken for this stem (the result is then empty) or the path had to be cut:
// the caller must not move a file to the result then.
bool makeUniqueTarget(const char* destinationFolder, const char* fileName, int jobNumber, int pageNumber, char* result,
                      uint32_t resultSize);

}  // namespace hf
