#pragma once
// A path in a fixed buffer, the form the ANSI Win32 calls take.

#include <cstddef>
#include <cstring>
#include <string_view>

// Longest path the ANSI Win32 calls take, without the terminator.
inline constexpr std::size_t kMaxPath = 260;

// A text of at most kMaxPath characters. A text that does not fit is refused,
// never cut: a cut path names a different place.
class PathText {
 public:
  PathText() = default;

  bool Assign(std::string_view text) {
    size_ = 0;
    text_[0] = '\0';
    return Append(text);
  }
  // Leaves the text unchanged when the result would not fit.
  bool Append(std::string_view text) {
    if (text.size() > kMaxPath - size_) return false;
    if (!text.empty()) std::memcpy(text_ + size_, text.data(), text.size());
    size_ += text.size();
    text_[size_] = '\0';
    return true;
  }
  bool Append(char c) { return Append(std::string_view(&c, 1)); }
  // Shortens the text to `length` characters (no-op when already shorter).
  void Truncate(std::size_t length) {
    if (length < size_) {
      size_ = length;
      text_[size_] = '\0';
    }
  }
  // For platform calls that write into the buffer: takes the first `length`
  // characters they wrote. Refuses a length that does not fit.
  bool Adopt(std::size_t length) {
    if (length > kMaxPath) {
      Assign({});
      return false;
    }
    size_ = length;
    text_[size_] = '\0';
    return true;
  }

  char* buffer() { return text_; }
  static constexpr std::size_t capacity() { return kMaxPath + 1; }
  const char* c_str() const { return text_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  char back() const { return size_ ? text_[size_ - 1] : '\0'; }
  std::string_view view() const { return {text_, size_}; }

 private:
  char text_[kMaxPath + 1] = {};
  std::size_t size_ = 0;
};

// Sets `out` to `a` followed by `b`; false (and `out` empty) when it does not fit.
inline bool JoinPath(PathText& out, std::string_view a, std::string_view b) {
  if (out.Assign(a) && out.Append(b)) return true;
  out.Assign({});
  return false;
}
