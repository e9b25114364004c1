#pragma once
// The write buffer of one output file: short writes gather in it, writes of a
// whole buffer or more go straight to the file.

#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t kWriteBufferSize = 4096;

class BufferedWriter {
 public:
  // Writes all `length` bytes to the file, or reports false.
  using RawWrite = bool (*)(void* file, const void* data, std::uint32_t length);

  // `buffer` holds kWriteBufferSize bytes, or is null to write everything straight through.
  BufferedWriter(RawWrite raw_write, void* file, char* buffer)
      : raw_write_(raw_write), file_(file), buffer_(buffer) {}

  // False when a write to the file failed or fell short.
  bool Write(const void* data, std::uint32_t length);
  // Hands what waits in the buffer to the file. False when that write failed.
  bool Flush();

 private:
  RawWrite raw_write_;
  void* file_;
  char* buffer_;
  std::uint32_t free_ = 0;
  bool fresh_ = true;  // nothing buffered yet: a flush writes nothing
};
