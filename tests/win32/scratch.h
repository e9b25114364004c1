#pragma once
// File-system fixtures of the Win32 tests, made with plain Win32 calls rather
// than with the services under test.

#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the temporary folder (or below `parent`), removed with
// everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  explicit ScratchFolder(const std::string& parent);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  // The path of `name` inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

std::string TempFolder();
bool MakeFile(const std::string& path, const std::string& bytes = "", DWORD attributes = 0);
bool MakeFolder(const std::string& path);
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
std::string FileBytes(const std::string& path);
// Removes `path` and everything below it, attributes notwithstanding.
void ForceRemove(const std::string& path);
// The names directly in `folder`, sorted, without "." and "..".
std::vector<std::string> Names(const std::string& folder);
// The last-write time of a file as 100 ns units since 1601, UTC.
ULONGLONG WriteTime(const std::string& path);

// The parts of `text` between `separator`s (one part for a text without any).
std::vector<std::string> Split(const std::string& text, char separator);
// The "key=value" lines of the record files the helper programs write, as
// (key, value) in their order; a line without "=" has an empty value.
std::vector<std::pair<std::string, std::string>> ReadRecordLines(const std::string& path);
