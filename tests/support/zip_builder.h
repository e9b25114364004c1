#pragma once
// Builds ZIP archives for the tests with minizip's zip half, including the
// damaged ones a hostile or broken payload would be.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ZipEntry {
  std::string name;
  std::string data;
  int method = 8;                   // 8 deflated, 0 stored
  std::uint32_t dos_date = 0x356973DD;  // 2006-11-09 14:30:58
  // Damage: a CRC-32 or a declared size other than the data's, or deflate
  // data cut to this many bytes.
  std::optional<std::uint32_t> crc;
  std::optional<std::uint32_t> declared_size;
  std::optional<std::size_t> cut_compressed_to;
};

// Writes the archive to `path`, after `prefix` (standing for an executable
// image). False when minizip refused.
bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries,
              const std::string& prefix = "");

std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// Deterministic bytes: compressible text, or noise that deflate cannot shrink.
std::string TextBytes(std::size_t size, std::uint32_t seed = 1);
std::string NoiseBytes(std::size_t size, std::uint32_t seed = 1);

std::uint32_t Crc32(const std::string& data);
