// Runs the unpack routine over arbitrary archive bytes into a scratch folder,
// in both modes, and checks that nothing lands outside the destination.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "unpack/posix_output.h"
#include "unpack/unpack.h"

namespace fs = std::filesystem;

namespace {

// Refuses, loudly, any path the routine hands over that leads out of the destination.
class GuardedOutput final : public UnpackOutput {
 public:
  explicit GuardedOutput(std::string destination) : destination_(std::move(destination)) {}
  void MakeFolders(const char* path) override { inner_.MakeFolders(Checked(path)); }
  bool Create(const char* path) override { return inner_.Create(Checked(path)); }
  bool Write(const void* data, std::uint32_t length) override { return inner_.Write(data, length); }
  bool Flush() override { return inner_.Flush(); }
  void Stamp(DateValue date) override { inner_.Stamp(date); }
  bool Close() override { return inner_.Close(); }
  void Remove(const char* path) override { inner_.Remove(Checked(path)); }

 private:
  const char* Checked(const char* path) {
    const fs::path normal = fs::path(PosixOutput::ToPosix(path)).lexically_normal();
    const std::string text = normal.string();
    if (text.compare(0, destination_.size(), destination_) != 0) {
      std::fprintf(stderr, "path outside the destination: %s\n", path);
      std::abort();
    }
    return path;
  }
  PosixOutput inner_;
  std::string destination_;
};

struct Scratch {
  Scratch() {
    char pattern[] = "/tmp/mrv-fuzz-XXXXXX";
    root = mkdtemp(pattern);
    archive = root + "/archive.zip";
    destination = root + "/out";
  }
  ~Scratch() { fs::remove_all(root); }
  std::string root, archive, destination;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Scratch scratch;
  if (FILE* file = std::fopen(scratch.archive.c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  for (int mode : {UnpackFlat, UnpackWithFolders}) {
    GuardedOutput output(scratch.destination + "/");
    UnpackArchiveTo(output, scratch.archive.c_str(), "*.*", scratch.destination.c_str(), mode);
    for (const auto& item : fs::directory_iterator(scratch.root)) {
      const std::string name = item.path().filename().string();
      if (name != "archive.zip" && name != "out") {
        std::fprintf(stderr, "written beside the destination: %s\n", name.c_str());
        std::abort();
      }
    }
    fs::remove_all(scratch.destination);
  }
  return 0;
}
