// The text list: a doubly linked chain of global-memory nodes, each holding one
// NUL-terminated text (the exclusion lists are made of them).
#pragma once

#include <cstddef>
#include <iterator>

namespace hf {

// One node: a zero-filled global block of the two links, the text with its
// NUL and four spare bytes (text length + 13 bytes in the win32 build).
struct TextNode {
  TextNode* previous;
  TextNode* next;
  char text[1];  // the text and its NUL run on to the end of the block
};
static_assert(offsetof(TextNode, previous) == 0, "previous link");
static_assert(offsetof(TextNode, next) == sizeof(void*), "next link");
static_assert(offsetof(TextNode, text) == 2 * sizeof(void*), "text");

// Appends a node holding `text` to the end of the list that starts at `head`
// (the node becomes the head of an empty list) and returns it. An empty or null
// text adds nothing and returns `head`. When memory runs out the failure is
// logged at level 0 and null is returned; the list is unchanged.
TextNode* addToTextList(const char* text, TextNode*& head);

// Frees every node (each after the pointer check) and leaves `head` null.
void FreeTextList(TextNode*& head);

// The texts of a list, for range-for: each element is a const char*.
class TextListEntries {
 public:
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = const char*;
    using difference_type = std::ptrdiff_t;
    using pointer = const char* const*;
    using reference = const char*;
    explicit Iterator(const TextNode* node) : node_(node) {}
    const char* operator*() const { return node_->text; }
    Iterator& operator++() {
      node_ = node_->next;
      return *this;
    }
    bool operator==(const Iterator& other) const { return node_ == other.node_; }
    bool operator!=(const Iterator& other) const { return node_ != other.node_; }

   private:
    const TextNode* node_;
  };
  explicit TextListEntries(const TextNode* head) : head_(head) {}
  Iterator begin() const { return Iterator(head_); }
  Iterator end() const { return Iterator(nullptr); }

 private:
  const TextNode* head_;
};

}  // namespace hf
