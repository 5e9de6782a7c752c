// A small reader of flat JSON objects for hfhost's event lines.
#include "tests/support/win32/host_events.h"

#include <cctype>

namespace hf {

namespace {

class FlatJsonReader {
 public:
  explicit FlatJsonReader(const std::string& text) : text_(text) {}

  bool Read(HostEvent& event) {
    SkipBlanks();
    if (!Take('{')) return false;
    SkipBlanks();
    if (Take('}')) return AtEnd();
    for (;;) {
      std::string key;
      SkipBlanks();
      if (!String(key)) return false;
      SkipBlanks();
      if (!Take(':')) return false;
      SkipBlanks();
      if (Peek() == '"') {
        std::string value;
        if (!String(value)) return false;
        event.texts[key] = value;
      } else {
        int64_t value = 0;
        if (!Integer(value)) return false;
        event.numbers[key] = value;
      }
      SkipBlanks();
      if (Take(',')) continue;
      if (Take('}')) return AtEnd();
      return false;
    }
  }

 private:
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  bool Take(char c) {
    if (Peek() != c || at_ >= text_.size()) return false;
    ++at_;
    return true;
  }
  void SkipBlanks() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  bool AtEnd() {
    SkipBlanks();
    return at_ == text_.size();
  }

  bool Integer(int64_t& value) {
    bool negative = Take('-');
    if (!std::isdigit(static_cast<unsigned char>(Peek()))) return false;
    uint64_t number = 0;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) number = number * 10 + static_cast<uint64_t>(text_[at_++] - '0');
    value = negative ? -static_cast<int64_t>(number) : static_cast<int64_t>(number);
    return true;
  }

  static void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  bool String(std::string& value) {
    if (!Take('"')) return false;
    while (at_ < text_.size()) {
      char c = text_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        value += c;
        continue;
      }
      if (at_ >= text_.size()) return false;
      char escape = text_[at_++];
      switch (escape) {
        case '"': value += '"'; break;
        case '\\': value += '\\'; break;
        case '/': value += '/'; break;
        case 'b': value += '\b'; break;
        case 'f': value += '\f'; break;
        case 'n': value += '\n'; break;
        case 'r': value += '\r'; break;
        case 't': value += '\t'; break;
        case 'u': {
          if (at_ + 4 > text_.size()) return false;
          uint32_t code = 0;
          for (int i = 0; i < 4; ++i) {
            char h = text_[at_++];
            if (!std::isxdigit(static_cast<unsigned char>(h))) return false;
            code = code * 16 + static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (std::tolower(h) - 'a' + 10));
          }
          AppendUtf8(value, code);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  const std::string& text_;
  size_t at_ = 0;
};

}  // namespace

std::string HostEvent::Text(const std::string& key) const {
  auto found = texts.find(key);
  return found == texts.end() ? std::string() : found->second;
}

int64_t HostEvent::Number(const std::string& key) const {
  auto found = numbers.find(key);
  return found == numbers.end() ? -1 : found->second;
}

std::vector<HostEvent> HostOutputLines::Of(const std::string& kind) const {
  std::vector<HostEvent> matching;
  for (const HostEvent& event : events)
    if (event.event() == kind) matching.push_back(event);
  return matching;
}

HostOutputLines ParseHostOutput(const std::string& output) {
  HostOutputLines lines;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] != '{') {
      lines.otherLines.push_back(line);
      continue;
    }
    HostEvent event;
    if (FlatJsonReader(line).Read(event)) {
      lines.events.push_back(event);
    } else {
      lines.badJson.push_back(line);
    }
  }
  return lines;
}

}  // namespace hf
