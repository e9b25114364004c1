// The floor of the benchmarks: inflating the archive's entries with zlib
// (through minizip) and writing them to files natively, nothing else.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "unzip.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const auto start = std::chrono::steady_clock::now();
  unzFile archive = unzOpen(argv[1]);
  if (!archive) return 1;
  std::vector<char> chunk(102400);
  for (int status = unzGoToFirstFile(archive); status == UNZ_OK; status = unzGoToNextFile(archive)) {
    char name[256] = {};
    unz_file_info info;
    unzGetCurrentFileInfo(archive, &info, name, sizeof(name) - 1, nullptr, 0, nullptr, 0);
    if (unzOpenCurrentFile(archive) != UNZ_OK) continue;
    const std::string path = std::string(argv[2]) + "/" + name;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int count;
    while ((count = unzReadCurrentFile(archive, chunk.data(), chunk.size())) > 0) {
      if (write(fd, chunk.data(), count) != count) return 1;
    }
    close(fd);
    unzCloseCurrentFile(archive);
  }
  unzClose(archive);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("elapsed_ms=%.3f\n", ms);
  return 0;
}
