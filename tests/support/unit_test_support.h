// Helpers shared by the portable unit tests: a scratch folder that goes away
// with everything in it, whose files are written and read back as raw bytes.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace hf {

class ScratchFolder {
 public:
  // The clock stamp keeps test programs that run at the same time apart, the
  // counter the folders of one program.
  explicit ScratchFolder(const std::string& prefix) {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    folder =
        std::filesystem::temp_directory_path() / (prefix + std::to_string(stamp) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(folder);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string PathOf(const std::string& name) const { return (folder / name).string(); }

  // Writes `bytes` as the whole file `name` and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
    return PathOf(name);
  }

  std::string Read(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::filesystem::path folder;
};

}  // namespace hf
