#include "unpack/unpack.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "host/path_text.h"
#include "host/unique_handle.h"
#include "unpack/entry_name.h"
#include "unpack/wildcard.h"
#include "unzip.h"

namespace {

ProgressCallback g_progress_callback = nullptr;

struct ArchiveTraits {
  using Value = unzFile;
  static Value Invalid() { return nullptr; }
  static void Close(Value archive) { unzClose(archive); }
};
using Archive = UniqueHandle<ArchiveTraits>;

// Only the first kNameLimit bytes of a stored name are used. The buffer is
// larger and zero-filled once, so a cut name is still zero-terminated.
constexpr unsigned kNameLimit = 100;
constexpr std::size_t kNameBufferSize = 500;
constexpr unsigned kChunkSize = 102400;

// The current entry's name as the steps change it; it is also what the report
// after the entry carries.
class WorkingName {
 public:
  // `text` may point into this name.
  void Set(std::string_view text) {
    if (!text.empty()) std::memmove(text_, text.data(), text.size());
    size_ = text.size();
    text_[size_] = '\0';
  }
  void UseBackslashes() {
    for (std::size_t i = 0; i < size_; ++i) {
      if (text_[i] == '/') text_[i] = '\\';
    }
  }
  std::string_view view() const { return {text_, size_}; }
  const char* c_str() const { return text_; }

 private:
  char text_[kNameLimit + 1] = {};
  std::size_t size_ = 0;
};

enum class CopyResult { NotCreated, Complete, Failed };

// Copies the open entry into a new file at `path` and stamps it with `date`.
// Complete only when the file holds exactly the entry's data: every write
// went through, the data ran to the declared size, and the CRC-32 matched.
// minizip checks the CRC-32 on closing the entry, and only when the declared
// size was produced, so a stream that ends early is caught by the count.
CopyResult CopyEntry(UnpackOutput& output, unzFile archive, const unz_file_info& info,
                     const char* path, DateValue date, char* chunk) {
  if (!output.Create(path)) return CopyResult::NotCreated;
  std::uint64_t produced = 0;
  bool intact = true;
  int count;
  while ((count = unzReadCurrentFile(archive, chunk, kChunkSize)) > 0) {
    produced += static_cast<unsigned>(count);
    if (!output.Write(chunk, static_cast<std::uint32_t>(count))) {
      intact = false;
      break;
    }
  }
  if (count < 0) intact = false;
  if (!output.Flush()) intact = false;
  if (unzCloseCurrentFile(archive) != UNZ_OK) intact = false;
  if (produced != info.uncompressed_size) intact = false;
  if (intact) output.Stamp(date);
  if (!output.Close()) intact = false;
  return intact ? CopyResult::Complete : CopyResult::Failed;
}

class Unpacker {
 public:
  Unpacker(UnpackOutput& output, unzFile archive, std::string_view pattern, const PathText& base,
           int mode)
      : output_(output), archive_(archive), pattern_(pattern), base_(base), mode_(mode) {}

  // Handles the current entry, named `stored_name`. True when its file was written.
  bool Unpack(const unz_file_info& info, const char* stored_name) {
    working_.Set(TrimSpaces(stored_name));
    working_.UseBackslashes();

    const bool selected = MatchWildcard(FilePart(working_.view()), pattern_) ||
                          (info.uncompressed_size == 0 && mode_ == UnpackWithFolders);
    if (!selected) {
      working_.Set({});
      return false;
    }
    const bool folder_entry = working_.view().ends_with('\\') && mode_ == UnpackWithFolders;
    const std::string_view output_name =
        mode_ == UnpackFlat ? FilePart(working_.view()) : RemoveDrivePrefix(working_.view());
    // A name that would lead out of the destination or to a device is passed
    // over like an entry that does not open.
    if (!IsSafeOutputName(output_name)) return false;
    if (unzOpenCurrentFile(archive_) != UNZ_OK) return false;

    if (!destination_made_) {
      output_.MakeFolders(base_.c_str());
      destination_made_ = true;
    }
    working_.Set(output_name);
    PathText path;
    if (folder_entry) {
      if (JoinPath(path, base_.view(), working_.view())) output_.MakeFolders(path.c_str());
      return false;
    }
    if (mode_ != UnpackFlat && JoinPath(path, base_.view(), FolderPart(working_.view())))
      output_.MakeFolders(path.c_str());
    if (!JoinPath(path, base_.view(), working_.view())) return false;

    HeapBlock chunk(static_cast<char*>(std::malloc(kChunkSize)));
    if (!chunk) return false;
    // The entry's date to the minute: the recorded seconds are dropped.
    const tm_unz& fields = info.tmu_date;
    const DateValue date = MakeDateValue(static_cast<int>(fields.tm_year), static_cast<int>(fields.tm_mon) + 1,
                                         static_cast<int>(fields.tm_mday), static_cast<int>(fields.tm_hour),
                                         static_cast<int>(fields.tm_min), 0);
    switch (CopyEntry(output_, archive_, info, path.c_str(), date, chunk.get())) {
      case CopyResult::Complete:
        return true;
      case CopyResult::Failed:
        // Nothing corrupt or cut short is handed on.
        output_.Remove(path.c_str());
        return false;
      case CopyResult::NotCreated:
        break;
    }
    return false;
  }

  const char* working_name() const { return working_.c_str(); }

 private:
  UnpackOutput& output_;
  unzFile archive_;
  std::string_view pattern_;
  const PathText& base_;
  int mode_;
  bool destination_made_ = false;
  WorkingName working_;
};

void Report(const char* name, double share) {
  if (g_progress_callback) g_progress_callback(name, static_cast<float>(share * 100.0));
}

// The share of entries visited. An archive whose entry count is 0, or lower
// than what its central directory yields, reports every entry as the whole.
double VisitedShare(int visited, unsigned long total) {
  if (total == 0 || static_cast<unsigned long>(visited) >= total) return 1.0;
  return static_cast<double>(visited) / static_cast<double>(total);
}

}  // namespace

int SetOverallProgressCallback(ProgressCallback callback) {
  g_progress_callback = callback;
  return 0;
}

int UnpackArchiveTo(UnpackOutput& output, const char* archive_path, const char* pattern,
                    const char* destination, int mode) {
  const std::string_view selection = pattern && *pattern ? std::string_view(pattern) : "*.*";
  if (!archive_path) return 0;
  Archive archive(unzOpen(archive_path));
  if (!archive) return 0;
  unz_global_info global = {};
  unzGetGlobalInfo(archive.get(), &global);
  HeapBlock name_buffer(static_cast<char*>(std::calloc(kNameBufferSize, 1)));
  if (!name_buffer) return 0;

  // A destination too long to hold any name below it can take nothing.
  PathText base;
  if (!base.Assign(destination ? destination : "") || (base.back() != '\\' && !base.Append('\\')))
    return 0;

  Unpacker unpacker(output, archive.get(), selection, base, mode);
  int visited = 0;
  int written = 0;
  for (int status = unzGoToFirstFile(archive.get()); status == UNZ_OK;
       status = unzGoToNextFile(archive.get())) {
    unz_file_info info;
    if (unzGetCurrentFileInfo(archive.get(), &info, name_buffer.get(), kNameLimit, nullptr, 0,
                              nullptr, 0) == UNZ_OK) {
      ++visited;
      if (unpacker.Unpack(info, name_buffer.get())) ++written;
    }
    Report(unpacker.working_name(), VisitedShare(visited, global.number_entry));
  }
  Report("", 1.0);
  return written;
}
