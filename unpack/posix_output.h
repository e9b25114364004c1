#pragma once
// An unpack output on the POSIX file system, for tests and fuzzing. Paths
// arrive with "\" as separator and are used with "/".

#include <string>

#include "unpack/buffered_writer.h"
#include "unpack/unpack_output.h"

class PosixOutput final : public UnpackOutput {
 public:
  ~PosixOutput() { Close(); }

  void MakeFolders(const char* path) override;
  bool Create(const char* path) override;
  bool Write(const void* data, std::uint32_t length) override;
  bool Flush() override;
  // Sets the modification time to the value itself, read as UTC.
  void Stamp(DateValue date) override;
  bool Close() override;
  void Remove(const char* path) override;

  static std::string ToPosix(const char* path);

 private:
  int fd_ = -1;
  char buffer_[kWriteBufferSize];
  BufferedWriter writer_{nullptr, nullptr, nullptr};
};
