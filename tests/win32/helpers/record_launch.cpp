// A program the launcher tests start. It writes down how it was started to the
// file MRV_RECORD names, waits MRV_DELAY milliseconds, notes its end and exits
// with code 3.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main() {
  const char* record = std::getenv("MRV_RECORD");
  if (!record) return 2;
  STARTUPINFOA startup;
  GetStartupInfoA(&startup);
  char folder[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof(folder), folder);
  FILE* out = std::fopen(record, "wb");
  if (!out) return 2;
  std::fprintf(out, "cmdline=%s\n", GetCommandLineA());
  std::fprintf(out, "cwd=%s\n", folder);
  std::fprintf(out, "show=%d\n", (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1);
  std::fprintf(out, "console=%d\n", GetConsoleCP() != 0 ? 1 : 0);
  std::fprintf(out, "priority=%lu\n", GetPriorityClass(GetCurrentProcess()));
  std::fclose(out);
  if (const char* delay = std::getenv("MRV_DELAY")) Sleep(std::atoi(delay));
  out = std::fopen(record, "ab");
  if (out) {
    std::fprintf(out, "end\n");
    std::fclose(out);
  }
  return 3;
}
