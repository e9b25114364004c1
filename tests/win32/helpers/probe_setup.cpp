// The setup program of the end-to-end tests, packed as mrv.exe. It writes down
// what it sees to the file MRV_PROBE_REPORT names: how it was started, the
// files beside it, and the self-extractor's window. MRV_PROBE_EXIT sets its
// exit code, MRV_PROBE_LEAVE makes it leave read-only, hidden and system files
// in nested folders behind, MRV_PROBE_SLEEP keeps it running that many ms.
// For the benchmarks it also notes when it started, when its parent was
// created, and its parent's peak working set.

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "zlib.h"

namespace {

std::string Folder(const std::string& path) { return path.substr(0, path.rfind('\\')); }

unsigned long FileCrc(const std::string& path) {
  unsigned long crc = crc32(0, nullptr, 0);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  static char chunk[1 << 16];
  DWORD count = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &count, nullptr) && count > 0)
    crc = crc32(crc, reinterpret_cast<const Bytef*>(chunk), count);
  CloseHandle(file);
  return crc;
}

void Leave(const std::string& folder) {
  CreateDirectoryA((folder + "\\left").c_str(), nullptr);
  CreateDirectoryA((folder + "\\left\\deeper").c_str(), nullptr);
  const struct {
    const char* name;
    DWORD attributes;
  } files[] = {{"\\left\\ro.txt", FILE_ATTRIBUTE_READONLY},
               {"\\left\\deeper\\hidden.dat", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
               {"\\settings.ini", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN}};
  for (const auto& f : files) {
    const std::string path = folder + f.name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(file, "left behind", 11, &written, nullptr);
    CloseHandle(file);
    SetFileAttributesA(path.c_str(), f.attributes);
  }
  SetFileAttributesA((folder + "\\left").c_str(), FILE_ATTRIBUTE_READONLY);
}

ULONGLONG Ticks(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

DWORD ParentId() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  DWORD parent = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
  }
  CloseHandle(snapshot);
  return parent;
}

void NoteParent(FILE* out) {
  HANDLE parent = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ParentId());
  if (!parent) return;
  FILETIME created, exited, kernel, user;
  if (GetProcessTimes(parent, &created, &exited, &kernel, &user))
    std::fprintf(out, "parent_created=%llu\n", Ticks(created));
  PROCESS_MEMORY_COUNTERS memory = {};
  if (GetProcessMemoryInfo(parent, &memory, sizeof(memory)))
    std::fprintf(out, "parent_peak_ws=%lu\n", static_cast<unsigned long>(memory.PeakWorkingSetSize));
  CloseHandle(parent);
}

}  // namespace

int main() {
  FILETIME started;
  GetSystemTimePreciseAsFileTime(&started);
  const char* report_path = std::getenv("MRV_PROBE_REPORT");
  if (!report_path) return 2;
  FILE* out = std::fopen(report_path, "wb");
  if (!out) return 2;

  char self[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, self, sizeof(self));
  char current[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof(current), current);
  const std::string folder = Folder(self);
  std::fprintf(out, "started=%llu\n", Ticks(started));
  NoteParent(out);
  std::fprintf(out, "cmdline=%s\n", GetCommandLineA());
  std::fprintf(out, "cwd=%s\n", current);
  std::fprintf(out, "folder=%s\n", folder.c_str());

  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const ULONGLONG time = (static_cast<ULONGLONG>(entry.ftLastWriteTime.dwHighDateTime) << 32) |
                             entry.ftLastWriteTime.dwLowDateTime;
      std::fprintf(out, "file=%s|%lu|%08lx|%llu\n", entry.cFileName, entry.nFileSizeLow,
                   FileCrc(folder + "\\" + entry.cFileName), time);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }

  HWND window = FindWindowA("WindowClass_0", "Morvel SFX");
  std::fprintf(out, "window=%d\n", window != nullptr);
  if (window) {
    char text[128] = {};
    GetWindowTextA(GetDlgItem(window, 2), text, sizeof(text));
    std::fprintf(out, "window_visible=%d\n", IsWindowVisible(window) ? 1 : 0);
    std::fprintf(out, "message=%s\n", text);
  }
  std::fclose(out);

  if (std::getenv("MRV_PROBE_LEAVE")) Leave(folder);
  if (const char* sleep = std::getenv("MRV_PROBE_SLEEP")) Sleep(std::atoi(sleep));
  const char* code = std::getenv("MRV_PROBE_EXIT");
  return code ? std::atoi(code) : 0;
}
