#pragma once
// Slices of a string_view that cannot fail. std::string_view::substr checks its
// position and throws, which would pull the exception machinery into the stub.

#include <cstddef>
#include <string_view>

// The first `count` characters, or the whole text when it is shorter.
inline std::string_view Head(std::string_view text, std::size_t count) {
  return {text.data(), count < text.size() ? count : text.size()};
}

// The text from position `from` on, or the empty text past its end.
inline std::string_view From(std::string_view text, std::size_t from) {
  return from < text.size() ? std::string_view(text.data() + from, text.size() - from)
                            : std::string_view();
}
