#pragma once
// A move-only owner of one platform handle. The traits name the handle's type,
// its invalid value and the function that releases it:
//   struct Traits { using Value = ...; static Value Invalid(); static void Close(Value); };

#include <cstdlib>
#include <utility>

template <typename Traits>
class UniqueHandle {
 public:
  using Value = typename Traits::Value;

  UniqueHandle() = default;
  explicit UniqueHandle(Value value) : value_(value) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  explicit operator bool() const { return value_ != Traits::Invalid(); }
  Value get() const { return value_; }

  Value release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(Value value = Traits::Invalid()) {
    Value old = std::exchange(value_, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

 private:
  Value value_ = Traits::Invalid();
};

// A block from malloc.
struct HeapTraits {
  using Value = char*;
  static Value Invalid() { return nullptr; }
  static void Close(Value block) { std::free(block); }
};
using HeapBlock = UniqueHandle<HeapTraits>;
