#include "unpack/posix_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

bool WriteToDescriptor(void* file, const void* data, std::uint32_t length) {
  const int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(file));
  const char* bytes = static_cast<const char*>(data);
  while (length > 0) {
    ssize_t written = ::write(fd, bytes, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    length -= static_cast<std::uint32_t>(written);
  }
  return true;
}

}  // namespace

std::string PosixOutput::ToPosix(const char* path) {
  std::string result(path);
  for (char& c : result) {
    if (c == '\\') c = '/';
  }
  return result;
}

void PosixOutput::MakeFolders(const char* path) {
  const std::string posix = ToPosix(path);
  for (std::size_t slash = posix.find('/', 1); slash != std::string::npos;
       slash = posix.find('/', slash + 1)) {
    ::mkdir(posix.substr(0, slash).c_str(), 0755);
  }
}

bool PosixOutput::Create(const char* path) {
  Close();
  fd_ = ::open(ToPosix(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) return false;
  writer_ = BufferedWriter(&WriteToDescriptor, reinterpret_cast<void*>(static_cast<std::intptr_t>(fd_)),
                           buffer_);
  return true;
}

bool PosixOutput::Write(const void* data, std::uint32_t length) { return writer_.Write(data, length); }

bool PosixOutput::Flush() { return writer_.Flush(); }

void PosixOutput::Stamp(DateValue date) {
  if (date == kInvalidDate) return;
  const struct timespec times[2] = {{0, UTIME_OMIT}, {date, 0}};
  ::futimens(fd_, times);
}

bool PosixOutput::Close() {
  if (fd_ < 0) return true;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  return closed;
}

void PosixOutput::Remove(const char* path) { ::unlink(ToPosix(path).c_str()); }
