#include "tests/win32/scratch.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::string FreshName(const std::string& parent) {
  static int counter = 0;
  for (;;) {
    std::string name = parent + "\\mrv-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(counter++);
    if (CreateDirectoryA(name.c_str(), nullptr)) return name;
    if (GetLastError() != ERROR_ALREADY_EXISTS) std::abort();
  }
}

}  // namespace

std::string TempFolder() {
  // Taken once: tests point TMP elsewhere for the programs they start.
  static const std::string temp = [] {
    char buffer[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof(buffer), buffer);
    std::string folder(buffer, length);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
  }();
  return temp;
}

ScratchFolder::ScratchFolder() : ScratchFolder(TempFolder()) {}
ScratchFolder::ScratchFolder(const std::string& parent) : path_(FreshName(parent)) {}
ScratchFolder::~ScratchFolder() { ForceRemove(path_); }

bool MakeFile(const std::string& path, const std::string& bytes, DWORD attributes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                        nullptr) && written == bytes.size());
  CloseHandle(file);
  if (attributes) ok = SetFileAttributesA(path.c_str(), attributes) && ok;
  return ok;
}

bool MakeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr); }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FileBytes(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char chunk[65536];
  DWORD count = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &count, nullptr) && count > 0) bytes.append(chunk, count);
  CloseHandle(file);
  return bytes;
}

void ForceRemove(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileA(path.c_str());
    return;
  }
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    for (const std::string& name : Names(path)) ForceRemove(path + "\\" + name);
  }
  RemoveDirectoryA(path.c_str());
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::vector<std::pair<std::string, std::string>> ReadRecordLines(const std::string& path) {
  std::vector<std::pair<std::string, std::string>> lines;
  for (const std::string& line : Split(FileBytes(path), '\n')) {
    if (line.empty()) continue;
    const std::size_t equals = line.find('=');
    lines.emplace_back(line.substr(0, equals), equals == std::string::npos ? "" : line.substr(equals + 1));
  }
  return lines;
}

ULONGLONG WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}
