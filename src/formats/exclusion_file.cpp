// Reading and first-time writing of the exclusion list files.
#include "formats/exclusion_file.h"

#include "base/file_io.h"

#include <algorithm>

namespace hf {

namespace {

// The line buffer of the reader holds 250 bytes: 249 characters and a NUL.
constexpr size_t kLineCharacters = 249;

// Text-mode input: CR LF pairs become LF and a Ctrl-Z byte ends the stream.
std::string TextModeBytes(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '\x1A') break;
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text.push_back(c);
  }
  return text;
}

std::string TrimmedEntry(std::string_view piece) {
  size_t nul = piece.find('\0');
  if (nul != std::string_view::npos) piece = piece.substr(0, nul);
  size_t end = piece.find_last_not_of(" \t\r\n");
  return end == std::string_view::npos ? std::string() : std::string(piece.substr(0, end + 1));
}

}  // namespace

const std::vector<std::string> kDefaultExcludedFileNames = {"._", ".DS_Store"};
const std::vector<std::string> kDefaultExcludedExtensions = {".log", ".exe", ".txt", ".dll"};

std::vector<std::string> ParseExclusionText(std::string_view bytes) {
  std::string text = TextModeBytes(bytes);
  std::vector<std::string> entries;
  size_t position = 0;
  while (position < text.size()) {
    size_t newline = text.find('\n', position);
    size_t lineEnd = newline == std::string::npos ? text.size() : newline + 1;
    size_t pieceEnd = std::min(lineEnd, position + kLineCharacters);
    std::string entry = TrimmedEntry(std::string_view(text).substr(position, pieceEnd - position));
    if (!entry.empty()) entries.push_back(std::move(entry));
    position = pieceEnd;
  }
  return entries;
}

std::string ExclusionFileText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  text.push_back('\0');
  return text;
}

ExclusionFileStatus ReadExclusionFile(const std::string& path, const std::vector<std::string>& defaults,
                                      std::vector<std::string>& entries, int* readError) {
  entries.clear();
  std::string bytes;
  const int error = ReadWholeFile(path, bytes);
  if (error == 0) {
    entries = ParseExclusionText(bytes);
    return ExclusionFileStatus::kRead;
  }
  if (readError != nullptr) *readError = error;
  // Only a file that is not there is written: one that could not be read (a
  // lock, a network error) is the user's, and stays as it is.
  if (!IsNotFoundError(error)) {
    entries = defaults;
    return ExclusionFileStatus::kUnreadable;
  }
  if (ReplaceFileContents(path, ExclusionFileText(defaults)) != 0) return ExclusionFileStatus::kCannotCreate;
  if (ReadWholeFile(path, bytes) == 0) entries = ParseExclusionText(bytes);
  return ExclusionFileStatus::kCreatedWithDefaults;
}

}  // namespace hf
