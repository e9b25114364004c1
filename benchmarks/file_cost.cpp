// Wine's own cost of making small files: writes COUNT files of SIZE bytes
// into FOLDER with the calls the stub uses and prints the time taken.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string folder = argv[1];
  const int count = std::atoi(argv[2]);
  const std::vector<char> data(std::atoi(argv[3]), 'x');
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) {
    const std::string path = folder + "\\f" + std::to_string(i) + ".bin";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written;
    WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
    // The stub stamps every file it wrote, which opens it once more.
    file = CreateFileA(path.c_str(), GENERIC_WRITE, 3, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    FILETIME time = {0x12345678, 0x01D00000};
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
  }
  QueryPerformanceCounter(&end);
  std::printf("elapsed_ms=%.3f\n", (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
  return 0;
}
