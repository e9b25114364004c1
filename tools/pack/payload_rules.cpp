#include "tools/pack/payload_rules.h"

#include <algorithm>
#include <map>

#include "unpack/date_value.h"
#include "unpack/entry_name.h"

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kCentralSize = 46;
// minizip looks for the end record only this far from the end of the file.
constexpr std::size_t kEndSearchReach = 0xFFFF;
constexpr std::size_t kNameLimit = 100;

std::uint32_t Read16(const std::string& b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
std::uint32_t Read32(const std::string& b, std::size_t at) {
  return Read16(b, at) | Read16(b, at + 2) << 16;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
  return text;
}

// The stub's DateValue of a DOS date and time, seconds dropped as it does.
DateValue StubDate(std::uint32_t dos) {
  return MakeDateValue(static_cast<int>((dos >> 25) + 1980), static_cast<int>((dos >> 21) & 15),
                       static_cast<int>((dos >> 16) & 31), static_cast<int>((dos >> 11) & 31),
                       static_cast<int>((dos >> 5) & 63), 0);
}

}  // namespace

PayloadVerdict CheckPayload(const std::string& archive) {
  PayloadVerdict verdict;
  auto refuse = [&](std::string entry, std::string rule) { verdict.refusals.push_back({std::move(entry), std::move(rule)}); };

  // The end-of-central-directory record: the last one in the file.
  std::size_t end = std::string::npos;
  for (std::size_t at = archive.size() >= kEndSize ? archive.size() - kEndSize + 1 : 0; at-- > 0;) {
    if (Read32(archive, at) == kEndSignature) {
      end = at;
      break;
    }
  }
  if (end == std::string::npos) {
    refuse("", "no end-of-central-directory record: not a ZIP archive");
    return verdict;
  }
  if (archive.size() - end > kEndSearchReach) {
    refuse("", "the end-of-central-directory record is not within the last 65,535 bytes (over-long archive comment)");
  }
  if (end >= 20 && Read32(archive, end - 20) == kZip64LocatorSignature) refuse("", "ZIP64 archives are not supported");
  const std::uint32_t disk = Read16(archive, end + 4), directory_disk = Read16(archive, end + 6);
  const std::uint32_t count_here = Read16(archive, end + 8), count = Read16(archive, end + 10);
  const std::uint32_t directory_size = Read32(archive, end + 12), directory_offset = Read32(archive, end + 16);
  if (disk != 0 || directory_disk != 0) refuse("", "archives on more than one disk are not supported");
  if (count_here != count) refuse("", "the end record's two entry counts differ");
  if (count == 0xFFFF || directory_offset == 0xFFFFFFFF) refuse("", "ZIP64 archives are not supported");
  if (std::uint64_t(directory_offset) + directory_size > end) {
    refuse("", "the central directory does not fit before the end record");
    return verdict;
  }
  // Any bytes may precede the archive: offsets count from its own start.
  const std::size_t base = end - directory_size - directory_offset;

  std::map<std::string, std::string> landing;  // flat name, folded: entry
  bool has_setup = false;
  std::size_t at = base + directory_offset;
  while (at + kCentralSize <= end && Read32(archive, at) == kCentralSignature) {
    const std::uint32_t flags = Read16(archive, at + 8), method = Read16(archive, at + 10);
    const std::uint32_t dos = Read16(archive, at + 12) | Read16(archive, at + 14) << 16;
    const std::uint32_t packed = Read32(archive, at + 20), size = Read32(archive, at + 24);
    const std::size_t name_length = Read16(archive, at + 28), extra_length = Read16(archive, at + 30),
                      comment_length = Read16(archive, at + 32);
    if (at + kCentralSize + name_length + extra_length + comment_length > end) {
      refuse("", "the central directory is cut short");
      break;
    }
    std::string name = archive.substr(at + kCentralSize, name_length);
    const std::string extra = archive.substr(at + kCentralSize + name_length, extra_length);
    at += kCentralSize + name_length + extra_length + comment_length;
    ++verdict.entries;

    for (std::size_t e = 0; e + 4 <= extra.size(); e += 4 + Read16(extra, e + 2)) {
      if (Read16(extra, e) == 0x0001) refuse(name, "ZIP64 entries are not supported");
    }
    if (packed == 0xFFFFFFFF || size == 0xFFFFFFFF) refuse(name, "ZIP64 entries are not supported");
    if (flags & 1) refuse(name, "encrypted entries are not supported");
    if (method != 0 && method != 8) refuse(name, "only stored and deflated entries are supported (method " + std::to_string(method) + ")");
    if (name.size() > kNameLimit) refuse(name, "names longer than 100 bytes are cut by the self-extractor");
    if (TrimSpaces(name) != name) refuse(name, "names with leading or trailing spaces are changed by the self-extractor");

    std::string unpacked = name;
    std::replace(unpacked.begin(), unpacked.end(), '/', '\\');
    if (!unpacked.empty() && unpacked.back() == '\\') {
      refuse(name, "folder entries are not unpacked: the working folder is flat");
      continue;
    }
    const std::string flat(FilePart(unpacked));
    if (flat != unpacked) {
      refuse(name, "entries in folders lose their folder: the self-extractor writes every file flat into its working folder");
    } else if (!IsSafeOutputName(flat)) {
      refuse(name, "the self-extractor passes this name over as unsafe (a device name or a character Windows does not allow)");
    }
    const std::string key = Lower(flat);
    if (auto [it, fresh] = landing.emplace(key, name); !fresh) {
      refuse(name, "lands on the same file as '" + it->second + "' in the working folder");
    }
    if (key == "mrv.exe" && flat == unpacked) has_setup = true;
    if (StubDate(dos) == kInvalidDate) {
      verdict.warnings.push_back({name, "its date cannot be stamped; the file keeps the time of unpacking"});
    }
  }
  if (verdict.entries != count) refuse("", "the central directory holds " + std::to_string(verdict.entries) + " entries, the end record says " + std::to_string(count));
  if (verdict.entries == 0) refuse("", "the archive holds no entries");
  if (!has_setup) refuse("", "there is no mrv.exe at the root of the archive");
  return verdict;
}
