#include "unpack/wildcard.h"

#include <cstddef>

namespace {

int Fold(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  if ((byte >= 0x41 && byte <= 0x5A) || (byte >= 0xC0 && byte <= 0xDE)) return byte + 0x20;
  return byte;
}

constexpr int kNoCharacter = -1;

// A text read by 1-based position, folded; past either end there is no character.
class FoldedText {
 public:
  explicit FoldedText(std::string_view text) : text_(text) {}
  std::size_t size() const { return text_.size(); }
  int At(std::size_t position) const {
    return position >= 1 && position <= text_.size() ? Fold(text_[position - 1]) : kNoCharacter;
  }

 private:
  std::string_view text_;
};

// The name as the scan sees it: a "." appended when it holds none, then a "*"
// put in front when it begins with ".".
class NormalisedName {
 public:
  explicit NormalisedName(std::string_view name)
      : name_(name), add_dot_(name.find('.') == std::string_view::npos),
        add_star_(name.empty() || name.front() == '.') {}

  std::size_t size() const { return name_.size() + add_dot_ + add_star_; }
  int At(std::size_t position) const {
    if (position < 1 || position > size()) return kNoCharacter;
    if (add_star_) {
      if (position == 1) return '*';
      --position;
    }
    return position <= name_.size() ? name_.At(position) : '.';
  }

 private:
  FoldedText name_;
  bool add_dot_;
  bool add_star_;
};

bool EqualFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

}  // namespace

int MatchWildcard(std::string_view name_text, std::string_view pattern_text) {
  if (EqualFolded(name_text, pattern_text)) return 1;

  const NormalisedName name(name_text);
  const FoldedText pattern(pattern_text);
  const std::size_t name_end = name.size() + 1;  // n when the whole name is consumed
  const std::size_t pattern_size = pattern.size();

  std::size_t n = 1;
  std::size_t p = 0;
  bool star = false;
  bool failed = false;
  int result = 0;
  while (p < pattern_size && result == 0) {
    const int ch = pattern.At(++p);
    if (ch == '*') {
      if (p == pattern_size || pattern.At(p + 1) == '|') {
        result = 1;
      } else {
        star = true;
      }
    } else if (ch == '|') {
      if (n == name_end) {
        result = 1;
      } else {
        n = 1;
        star = false;
      }
    } else if (ch == '?') {
      if (n > name.size()) {
        failed = true;
      } else {
        ++n;
      }
    } else {
      if (star) {
        star = false;
        do {
          ++n;
        } while (n <= name.size() && name.At(n) != ch);
      }
      if (name.At(n) == ch) {
        ++n;
      } else {
        failed = true;
      }
    }

    if (!failed && n == name_end && p == pattern_size) result = 1;
    if (failed) {
      std::size_t q = p + 1;
      while (q <= pattern_size && pattern.At(q) != '|') ++q;
      if (q > pattern_size) break;
      p = q;
      failed = false;
      star = false;
      n = 1;
    }
  }
  return result;
}
