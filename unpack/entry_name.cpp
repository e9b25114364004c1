#include "unpack/entry_name.h"

#include <cstddef>

#include "host/text_view.h"

namespace {

constexpr std::string_view::size_type npos = std::string_view::npos;

std::string_view SkipLeadingQuote(std::string_view name) {
  if (!name.empty() && name.front() == '"') name.remove_prefix(1);
  return name;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// Windows drops trailing dots and spaces of a component, and takes a device
// name before any extension: "nul", "NUL.txt" and "com1 .log" all name devices.
bool IsDeviceName(std::string_view component) {
  std::string_view stem = Head(component, component.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (std::string_view device : {"con", "prn", "aux", "nul"}) {
    if (EqualsIgnoringCase(stem, device)) return true;
  }
  if (stem.size() != 4) return false;
  std::string_view family = Head(stem, 3);
  if (!EqualsIgnoringCase(family, "com") && !EqualsIgnoringCase(family, "lpt")) return false;
  unsigned char digit = static_cast<unsigned char>(stem[3]);
  // Superscript one, two and three count as digits too.
  return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

// "." and ".." and what Windows shortens to them ("...", ". .").
bool IsDotsOnly(std::string_view component) {
  if (component.empty()) return false;
  for (char c : component) {
    if (c != '.' && c != ' ') return false;
  }
  return true;
}

}  // namespace

std::string_view TrimSpaces(std::string_view name) {
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  return name;
}

std::string_view FilePart(std::string_view name) {
  bool quoted = !name.empty() && name.front() == '"';
  name = SkipLeadingQuote(name);
  std::string_view::size_type slash = name.rfind('\\');
  if (slash != npos) name.remove_prefix(slash + 1);
  if (quoted) name = Head(name, name.find('"'));
  return name;
}

std::string_view FolderPart(std::string_view name) {
  name = SkipLeadingQuote(name);
  std::string_view before_bar = Head(name, name.find('|'));
  std::string_view::size_type slash = before_bar.rfind('\\');
  return slash == npos ? std::string_view() : Head(name, slash + 1);
}

std::string_view RemoveDrivePrefix(std::string_view name) {
  std::string_view::size_type colon = name.find(":\\");
  return colon == npos ? name : From(name, colon + 2);
}

bool IsSafeOutputName(std::string_view name) {
  if (!name.empty() && name.front() == '\\') return false;
  for (char c : name) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
    if (std::string_view(":<>\"|?*").find(c) != npos) return false;
  }
  while (!name.empty()) {
    std::string_view::size_type slash = name.find('\\');
    std::string_view component = Head(name, slash);
    if (IsDotsOnly(component) || IsDeviceName(component)) return false;
    if (slash == npos) break;
    name.remove_prefix(slash + 1);
  }
  return true;
}
