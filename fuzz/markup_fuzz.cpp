// Fuzzes the XML reader: the parse, then a walk of every element (in and out
// again) with its tag name and attributes. The walk must come back to the top
// level having seen each element once.
#include "formats/markup.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace hf;

namespace {

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0x9F; }

// Reads every attribute of the current element by the names the reader gives.
void ReadAttributes(const CMarkup& markup) {
  const std::string first = markup.GetAttribute("");
  if (!first.empty()) markup.GetAttribute(first.c_str());
  markup.GetAttribute("ID");
  markup.GetAttribute(nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  CMarkup markup(size > 0 && (data[0] & 1) ? IsLeadByte : nullptr);
  if (!markup.SetDocument(text)) {
    if (markup.GetError().empty() != text.empty() || markup.FindElement()) std::abort();
    return 0;
  }
  size_t depth = 0, elements = 0;
  for (;;) {
    if (markup.FindElement()) {
      ++elements;
      markup.GetTagName();
      ReadAttributes(markup);
      if (!markup.EnterElement()) std::abort();
      ++depth;
      continue;
    }
    if (!markup.LeaveElement()) break;
    --depth;
  }
  if (depth != 0 || elements == 0 || elements > size / 3) std::abort();
  CMarkup copy(markup);
  copy.FindElement(copy.GetTagName().c_str());
  return 0;
}
