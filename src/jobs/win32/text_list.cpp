// Global-memory text nodes: appending and freeing.
#include "jobs/win32/text_list.h"

#include "base/log.h"
#include "base/win32/windows_api.h"
#include "host/message_handover.h"

#include <cstring>

namespace hf {

namespace {

// The node's two links, the text's NUL and the four spare bytes the block has
// always had: 13 bytes beyond the text where links are 4 bytes. The text must
// never share its room with the links, whatever their width.
constexpr size_t kNodeOverhead = offsetof(TextNode, text) + 1 + 4;

}  // namespace

TextNode* addToTextList(const char* text, TextNode*& head) {
  if (text == nullptr || text[0] == '\0') return head;
  size_t length = std::strlen(text);
  size_t blockSize = length + kNodeOverhead;
  auto* node = static_cast<TextNode*>(::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, blockSize));
  if (node == nullptr) {
    Log(LogLevel::kError, "! addToTextList : Memory allocation of %d bytes failed!", static_cast<int>(length + 1));
    return nullptr;
  }
  // The text runs past the declared one-byte array, to the end of the block.
  char* textArea = reinterpret_cast<char*>(node) + offsetof(TextNode, text);
  size_t room = blockSize - offsetof(TextNode, text);
  size_t copied = length < room - 1 ? length : room - 1;
  std::memcpy(textArea, text, copied);
  textArea[copied] = '\0';
  if (head == nullptr) {
    head = node;
    return node;
  }
  TextNode* last = head;
  while (last->next != nullptr) last = last->next;
  last->next = node;
  node->previous = last;
  return node;
}

void FreeTextList(TextNode*& head) {
  TextNode* node = head;
  head = nullptr;
  while (node != nullptr) {
    if (!HF_IS_VALID_POINTER(&node)) break;
    TextNode* next = node->next;
    ::GlobalFree(node);
    node = next;
  }
}

}  // namespace hf
