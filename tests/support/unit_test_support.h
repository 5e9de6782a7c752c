// Helpers shared by the portable unit tests: a scratch folder that goes away
// with everything in it, and whole files written and read back as raw bytes.
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
    folder = std::filesystem::temp_directory_path() /
             (prefix + std::to_string(stamp) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(folder);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string PathOf(const std::string& name) const { return (folder / name).string(); }

  std::filesystem::path folder;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace hf
