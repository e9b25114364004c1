// mrvsfx-pack: writes a self-extractor, the stub followed by a payload ZIP,
// refusing any payload the stub would not unpack faithfully.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/pack/payload_rules.h"
#include "tools/pack/raw_deflate.h"
#include "unzip.h"
#include "zip.h"
#include "zlib.h"

namespace fs = std::filesystem;

namespace {

constexpr char kUsage[] =
    "usage: mrvsfx-pack [--stub FILE] PAYLOAD -o OUTPUT\n"
    "\n"
    "Writes the self-extractor OUTPUT: the stub followed by the payload archive.\n"
    "PAYLOAD is a folder, whose files become the archive's entries, or a .zip.\n"
    "The payload must hold mrv.exe, the setup program, at its root.\n"
    "\n"
    "  --stub FILE   the stub to use (default: " MRV_DEFAULT_STUB ")\n"
    "  -o OUTPUT     the self-extractor to write\n"
    "  --help        this text\n"
    "  --version     the version\n";

constexpr std::size_t kReportProgressFrom = 8 << 20;

struct Failure {
  std::string message;
};

bool ReadAll(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

std::uint32_t DosDate(std::time_t when, bool& clamped) {
  std::tm local = {};
  localtime_r(&when, &local);
  clamped = local.tm_year < 80;
  if (clamped) local = std::tm{0, 0, 0, 1, 0, 80};
  return static_cast<std::uint32_t>((local.tm_year - 80) << 25 | (local.tm_mon + 1) << 21 | local.tm_mday << 16 |
                                    local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
}

// Writes the files of `folder` into a new ZIP at `zip_path`: deflated, or
// stored where deflate does not shrink them.
void ZipFolder(const fs::path& folder, const std::string& zip_path) {
  std::vector<fs::path> files;
  for (const auto& item : fs::directory_iterator(folder)) {
    if (item.is_directory()) {
      throw Failure{"refused: entry '" + item.path().filename().string() +
                    "/': the payload folder holds a sub-folder, but the self-extractor unpacks every file flat into one folder"};
    }
    if (!item.is_regular_file()) throw Failure{"refused: entry '" + item.path().filename().string() + "': not a regular file"};
    files.push_back(item.path());
  }
  std::sort(files.begin(), files.end());
  std::uint64_t total = 0;
  for (const fs::path& file : files) total += fs::file_size(file);

  zipFile zip = zipOpen(zip_path.c_str(), APPEND_STATUS_CREATE);
  if (!zip) throw Failure{"cannot write " + zip_path};
  for (const fs::path& file : files) {
    const std::string name = file.filename().string();
    std::string data;
    if (!ReadAll(file.string(), data)) throw Failure{"cannot read " + file.string()};
    if (total >= kReportProgressFrom)
      std::fprintf(stderr, "mrvsfx-pack: packing %s (%.1f MB)\n", name.c_str(), data.size() / 1e6);
    struct stat info;
    stat(file.c_str(), &info);
    bool clamped = false;
    zip_fileinfo zip_info = {};
    zip_info.dosDate = DosDate(info.st_mtime, clamped);
    if (clamped) std::fprintf(stderr, "mrvsfx-pack: warning: entry '%s': dated before 1980, stored as 1980-01-01\n", name.c_str());
    const std::string deflated = RawDeflate(data, Z_BEST_COMPRESSION);
    const bool store = deflated.size() >= data.size();
    const std::string& packed = store ? data : deflated;
    const int method = store ? 0 : Z_DEFLATED;
    const bool ok = zipOpenNewFileInZip2(zip, name.c_str(), &zip_info, nullptr, 0, nullptr, 0, nullptr, method,
                                         store ? 0 : Z_BEST_COMPRESSION, 1) == ZIP_OK &&
                    (packed.empty() || zipWriteInFileInZip(zip, packed.data(), static_cast<unsigned>(packed.size())) == ZIP_OK) &&
                    zipCloseFileInZipRaw(zip, data.size(), crc32(0, reinterpret_cast<const Bytef*>(data.data()),
                                                                  static_cast<uInt>(data.size()))) == ZIP_OK;
    if (!ok) {
      zipClose(zip, nullptr);
      throw Failure{"cannot add " + name + " to the archive"};
    }
  }
  if (zipClose(zip, nullptr) != ZIP_OK) throw Failure{"cannot finish the archive"};
}

// Reads the written self-extractor back as the stub does, checking every
// entry's data against its size and CRC-32.
void VerifyOutput(const std::string& path, std::size_t expected_entries) {
  unzFile archive = unzOpen(path.c_str());
  if (!archive) throw Failure{"the written file does not open as the stub opens it"};
  std::vector<char> chunk(102400);
  std::size_t entries = 0;
  std::string failure;
  for (int status = unzGoToFirstFile(archive); status == UNZ_OK && failure.empty(); status = unzGoToNextFile(archive)) {
    unz_file_info info;
    char name[256] = {};
    if (unzGetCurrentFileInfo(archive, &info, name, sizeof(name) - 1, nullptr, 0, nullptr, 0) != UNZ_OK ||
        unzOpenCurrentFile(archive) != UNZ_OK) {
      failure = "an entry does not open";
      break;
    }
    std::uint64_t produced = 0;
    int count;
    while ((count = unzReadCurrentFile(archive, chunk.data(), static_cast<unsigned>(chunk.size()))) > 0) produced += count;
    if (unzCloseCurrentFile(archive) != UNZ_OK || count < 0 || produced != info.uncompressed_size)
      failure = std::string("entry '") + name + "' does not read back intact (size or CRC-32)";
    ++entries;
  }
  unzClose(archive);
  if (!failure.empty()) throw Failure{"verification failed: " + failure};
  if (entries != expected_entries) throw Failure{"verification failed: read back " + std::to_string(entries) + " entries"};
}

int Pack(const std::string& stub_path, const std::string& payload, const std::string& output) {
  const std::string zip_temp = output + ".zip.tmp", out_temp = output + ".tmp";
  auto clean = [&] {
    std::remove(zip_temp.c_str());
    std::remove(out_temp.c_str());
  };
  try {
    std::string stub;
    if (!ReadAll(stub_path, stub) || stub.size() < 2 || stub.compare(0, 2, "MZ") != 0)
      throw Failure{"cannot read the stub " + stub_path + " (build it with: cmake --build --preset win32 --target mrvsfx)"};
    std::string archive;
    if (fs::is_directory(payload)) {
      ZipFolder(payload, zip_temp);
      ReadAll(zip_temp, archive);
    } else if (!ReadAll(payload, archive)) {
      throw Failure{"cannot read the payload " + payload};
    }
    const PayloadVerdict verdict = CheckPayload(archive);
    for (const PayloadFinding& w : verdict.warnings)
      std::fprintf(stderr, "mrvsfx-pack: warning: entry '%s': %s\n", w.entry.c_str(), w.rule.c_str());
    if (!verdict.refusals.empty()) {
      for (const PayloadFinding& r : verdict.refusals) {
        if (r.entry.empty()) std::fprintf(stderr, "mrvsfx-pack: refused: %s\n", r.rule.c_str());
        else std::fprintf(stderr, "mrvsfx-pack: refused: entry '%s': %s\n", r.entry.c_str(), r.rule.c_str());
      }
      clean();
      return 1;
    }
    {
      std::ofstream out(out_temp, std::ios::binary | std::ios::trunc);
      out.write(stub.data(), static_cast<std::streamsize>(stub.size()));
      out.write(archive.data(), static_cast<std::streamsize>(archive.size()));
      if (!out.flush()) throw Failure{"cannot write " + out_temp};
    }
    VerifyOutput(out_temp, verdict.entries);
    chmod(out_temp.c_str(), 0755);
    if (std::rename(out_temp.c_str(), output.c_str()) != 0) throw Failure{"cannot write " + output};
    std::remove(zip_temp.c_str());
    std::fprintf(stderr, "mrvsfx-pack: wrote %s: %zu entries, %zu bytes (stub %zu)\n", output.c_str(), verdict.entries,
                 stub.size() + archive.size(), stub.size());
    return 0;
  } catch (const Failure& failure) {
    std::fprintf(stderr, "mrvsfx-pack: %s\n", failure.message.c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "mrvsfx-pack: %s\n", error.what());
  }
  clean();
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string stub = MRV_DEFAULT_STUB, payload, output;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("mrvsfx-pack %s\n", MRV_VERSION);
      return 0;
    }
    if ((arg == "--stub" || arg == "-o") && i + 1 < argc) {
      (arg == "-o" ? output : stub) = argv[++i];
    } else if (!arg.empty() && arg[0] != '-' && payload.empty()) {
      payload = arg;
    } else {
      std::fprintf(stderr, "mrvsfx-pack: unexpected argument '%s'\n%s", arg.c_str(), kUsage);
      return 2;
    }
  }
  if (payload.empty() || output.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return Pack(stub, payload, output);
}
