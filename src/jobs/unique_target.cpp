// The counter search for a free target name.
#include "jobs/unique_target.h"

#include "base/file_io.h"
#include "base/log.h"
#include "base/path_utils.h"

#include <cstring>
#include <utility>

namespace hf {

namespace {

// Only the hand-off, which runs under the synchronisation event, makes names.
int nameCounter = 0;

std::string Candidate(const std::string& stem, int counter, const std::string& extension) {
  return stem + "_" + std::to_string(counter) + extension;
}

}  // namespace

int UniqueTargetCounter() { return nameCounter; }

void SetUniqueTargetCounter(int value) { nameCounter = value; }

bool FindUniqueTarget(const std::string& folder, const std::string& fileName, int jobNumber, int pageNumber,
                      int& counter, int counterValues, const FileExistsCheck& fileExists, std::string& target) {
  target.clear();
  if (counterValues <= 0) return false;
  if (counter < 0 || counter >= counterValues) counter = 0;
  const std::string stem =
      RemoveExtension(fileName) + "_" + std::to_string(jobNumber) + "_" + std::to_string(pageNumber);
  const std::string extension = GetExtension(fileName);
  for (int tried = 0; tried < counterValues; ++tried) {
    std::string path = JoinPath(folder, Candidate(stem, counter, extension));
    if (!fileExists(path)) {
      target = std::move(path);
      return true;
    }
    counter = counter + 1 == counterValues ? 0 : counter + 1;
  }
  return false;
}

bool makeUniqueTarget(const char* destinationFolder, const char* fileName, int jobNumber, int pageNumber, char* result,
                      uint32_t resultSize) {
  Log(LogLevel::kTrace, "Call to makeUniqueTarget");
  std::string target;
  // A folder of the candidate's name would make the move fail as surely as a file.
  auto taken = [](const std::string& path) { return FileExists(path) || FolderExists(path); };
  bool found =
      FindUniqueTarget(destinationFolder != nullptr ? destinationFolder : "", fileName != nullptr ? fileName : "",
                       jobNumber, pageNumber, nameCounter, kUniqueCounterValues, taken, target);
  if (!found)
    Log(LogLevel::kError, "! makeUniqueTarget - all %d counter values are taken for %s in %s", kUniqueCounterValues,
        fileName != nullptr ? fileName : "", destinationFolder != nullptr ? destinationFolder : "");
  if (result == nullptr || resultSize == 0) return false;
  size_t length = target.size() < resultSize - 1 ? target.size() : resultSize - 1;
  std::memcpy(result, target.data(), length);
  result[length] = '\0';
  if (found && length < target.size()) {
    Log(LogLevel::kError, "! makeUniqueTarget - the target path %s is longer than %u characters", target.c_str(),
        static_cast<unsigned>(resultSize - 1));
    return false;
  }
  return found;
}

}  // namespace hf
