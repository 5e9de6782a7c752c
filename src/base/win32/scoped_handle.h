// Owners for Windows handles: each closes its handle exactly once, with the
// call its kind needs. Non-copyable, movable; release() gives up ownership.
#pragma once

#include "base/win32/windows_api.h"

#include <utility>

namespace hf {

template <typename Traits>
class ScopedResource {
 public:
  using Type = typename Traits::Type;
  ScopedResource() = default;
  explicit ScopedResource(Type value) : value_(value) {}
  ~ScopedResource() { reset(); }
  ScopedResource(const ScopedResource&) = delete;
  ScopedResource& operator=(const ScopedResource&) = delete;
  ScopedResource(ScopedResource&& other) noexcept : value_(other.release()) {}
  ScopedResource& operator=(ScopedResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Type get() const { return value_; }
  bool valid() const { return Traits::IsValid(value_); }
  explicit operator bool() const { return valid(); }
  Type release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(Type value = Traits::Invalid()) {
    if (Traits::IsValid(value_)) Traits::Close(value_);
    value_ = value;
  }

 private:
  Type value_ = Traits::Invalid();
};

// Kernel objects: files, events, mutexes, threads, processes, mailslots.
// Both null and INVALID_HANDLE_VALUE count as "no handle".
struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::CloseHandle(h); }
};
using ScopedHandle = ScopedResource<KernelHandleTraits>;

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::FindClose(h); }
};
using ScopedFindHandle = ScopedResource<FindHandleTraits>;

struct RegKeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::RegCloseKey(h); }
};
using ScopedRegKey = ScopedResource<RegKeyTraits>;

struct GlobalBlockTraits {
  using Type = HGLOBAL;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::GlobalFree(h); }
};
using ScopedGlobalBlock = ScopedResource<GlobalBlockTraits>;

struct LocalBlockTraits {
  using Type = HLOCAL;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::LocalFree(h); }
};
using ScopedLocalBlock = ScopedResource<LocalBlockTraits>;

}  // namespace hf
