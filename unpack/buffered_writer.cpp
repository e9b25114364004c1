#include "unpack/buffered_writer.h"

#include <cstring>

bool BufferedWriter::Write(const void* data, std::uint32_t length) {
  if (!data || length == 0) return true;
  if (!buffer_) return raw_write_(file_, data, length);
  if (fresh_) {
    fresh_ = false;
    free_ = kWriteBufferSize;
  }
  if (free_ > length) {
    std::memcpy(buffer_ + (kWriteBufferSize - free_), data, length);
    free_ -= length;
    return true;
  }
  if (!Flush()) return false;
  if (length >= kWriteBufferSize) return raw_write_(file_, data, length);
  std::memcpy(buffer_, data, length);
  free_ = kWriteBufferSize - length;
  return true;
}

bool BufferedWriter::Flush() {
  if (fresh_ || !buffer_) return true;
  const std::uint32_t used = kWriteBufferSize - free_;
  free_ = kWriteBufferSize;
  return used == 0 || raw_write_(file_, buffer_, used);
}
