// Runs a command line under Wine's own clock and reports its wall time and
// the child's peak working set: "elapsed_ms=... peak_ws=...".

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string command;
  for (int i = 1; i < argc; ++i) command += std::string(i > 1 ? " " : "") + "\"" + argv[i] + "\"";
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return 3;
  // Sampled while it runs: an ended process has no working set to tell.
  SIZE_T peak = 0;
  while (WaitForSingleObject(process.hProcess, 2) == WAIT_TIMEOUT) {
    PROCESS_MEMORY_COUNTERS memory = {};
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof(memory)) && memory.PeakWorkingSetSize > peak)
      peak = memory.PeakWorkingSetSize;
  }
  QueryPerformanceCounter(&end);
  std::printf("elapsed_ms=%.3f peak_ws=%lu\n", (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart,
              static_cast<unsigned long>(peak));
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return 0;
}
