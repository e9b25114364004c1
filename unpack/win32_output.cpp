// The stub's unpack output: files written with the Win32 file calls.

#include <windows.h>

#include <cstdlib>

#include "host/system_library.h"
#include "host/win32_handles.h"
#include "unpack/buffered_writer.h"
#include "unpack/file_time.h"
#include "unpack/unpack.h"

namespace {

bool WriteToHandle(void* file, const void* data, std::uint32_t length) {
  DWORD written = 0;
  return WriteFile(static_cast<HANDLE>(file), data, length, &written, nullptr) && written == length;
}

// CREATE_ALWAYS first; a file whose attributes refuse that (hidden or system)
// may still be emptied and rewritten.
HANDLE CreateOutputFile(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) return file;
  return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING, 0, nullptr);
}

class Win32Output final : public UnpackOutput {
 public:
  Win32Output() : imagehlp_(LoadSystemLibrary("imagehlp.dll")) {
    if (imagehlp_) {
      make_path_ = reinterpret_cast<MakePathFn>(reinterpret_cast<void*>(
          GetProcAddress(imagehlp_.get(), "MakeSureDirectoryPathExists")));
    }
  }
  ~Win32Output() { Close(); }

  void MakeFolders(const char* path) override {
    if (make_path_) make_path_(path);
  }

  bool Create(const char* path) override {
    Close();
    file_.reset(CreateOutputFile(path));
    if (!file_) return false;
    buffer_ = static_cast<char*>(std::malloc(kWriteBufferSize));
    writer_ = BufferedWriter(&WriteToHandle, file_.get(), buffer_);
    return true;
  }

  bool Write(const void* data, std::uint32_t length) override { return writer_.Write(data, length); }

  bool Flush() override { return writer_.Flush(); }

  void Stamp(DateValue date) override { StampWriteTime(file_.get(), date); }

  bool Close() override {
    std::free(buffer_);
    buffer_ = nullptr;
    file_.reset();
    return true;
  }

  void Remove(const char* path) override { DeleteFileA(path); }

 private:
  using MakePathFn = BOOL(WINAPI*)(PCSTR);

  Library imagehlp_;
  MakePathFn make_path_ = nullptr;
  FileHandle file_;
  char* buffer_ = nullptr;
  BufferedWriter writer_{&WriteToHandle, nullptr, nullptr};
};

}  // namespace

int UnpackArchive(const char* archive_path, const char* pattern, const char* destination, int mode) {
  Win32Output output;
  return UnpackArchiveTo(output, archive_path, pattern, destination, mode);
}
