// hfhost's --json output as the tests read it: every line that is a flat JSON
// object (string and integer members) becomes one event; other lines (errors
// on standard error) are kept apart.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace hf {

struct HostEvent {
  std::map<std::string, std::string> texts;   // string members, UTF-8
  std::map<std::string, int64_t> numbers;     // integer members

  std::string Text(const std::string& key) const;    // "" when missing
  int64_t Number(const std::string& key) const;      // -1 when missing
  std::string event() const { return Text("event"); }
};

struct HostOutputLines {
  std::vector<HostEvent> events;
  std::vector<std::string> otherLines;  // lines that are not JSON objects (CR removed)
  std::vector<std::string> badJson;     // lines that start with '{' but do not parse

  // The events of one kind, in order.
  std::vector<HostEvent> Of(const std::string& kind) const;
};

// Splits the output into lines and parses them.
HostOutputLines ParseHostOutput(const std::string& output);

}  // namespace hf
