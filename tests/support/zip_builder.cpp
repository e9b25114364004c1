#include "tests/support/zip_builder.h"

#include <cstdio>
#include <cstring>

#include "tools/pack/raw_deflate.h"
#include "zip.h"
#include "zlib.h"

namespace {

bool AddEntry(zipFile zip, const ZipEntry& entry) {
  zip_fileinfo info = {};
  info.dosDate = entry.dos_date;
  const bool raw = entry.crc || entry.declared_size || entry.cut_compressed_to;
  if (zipOpenNewFileInZip2(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                           entry.method, entry.method ? Z_DEFAULT_COMPRESSION : 0, raw) != ZIP_OK)
    return false;
  std::string payload = raw && entry.method == 8 ? RawDeflate(entry.data, Z_DEFAULT_COMPRESSION) : entry.data;
  if (entry.cut_compressed_to && *entry.cut_compressed_to < payload.size())
    payload.resize(*entry.cut_compressed_to);
  if (!payload.empty() &&
      zipWriteInFileInZip(zip, payload.data(), static_cast<unsigned>(payload.size())) != ZIP_OK)
    return false;
  if (!raw) return zipCloseFileInZip(zip) == ZIP_OK;
  return zipCloseFileInZipRaw(zip, entry.declared_size.value_or(entry.data.size()),
                              entry.crc.value_or(Crc32(entry.data))) == ZIP_OK;
}

}  // namespace

bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries, const std::string& prefix) {
  const std::string zip_path = path + ".building";
  zipFile zip = zipOpen(zip_path.c_str(), APPEND_STATUS_CREATE);
  if (!zip) return false;
  bool ok = true;
  for (const ZipEntry& entry : entries) ok = ok && AddEntry(zip, entry);
  ok = zipClose(zip, nullptr) == ZIP_OK && ok;
  const std::string archive = ReadFileBytes(zip_path);
  std::remove(zip_path.c_str());
  return ok && WriteFileBytes(path, prefix + archive);
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char chunk[65536];
    std::size_t count;
    while ((count = std::fread(chunk, 1, sizeof(chunk), file)) > 0) bytes.append(chunk, count);
    std::fclose(file);
  }
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

std::string TextBytes(std::size_t size, std::uint32_t seed) {
  static const char* const kWords[] = {"morvel ", "setup ", "cabinet ", "unpack ", "folder ",
                                       "entry ", "window\n", "progress "};
  std::string out;
  std::uint32_t state = seed;
  while (out.size() < size) {
    state = state * 1103515245u + 12345u;
    out += kWords[(state >> 16) % 8];
  }
  out.resize(size);
  return out;
}

std::string NoiseBytes(std::size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  std::uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
  for (char& c : out) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    c = static_cast<char>(state);
  }
  return out;
}

std::uint32_t Crc32(const std::string& data) {
  return static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}
