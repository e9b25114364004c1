// The unpack routine over real archives, written by minizip's zip half, into a
// scratch folder of the host file system.

#include "unpack/unpack.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/zip_builder.h"
#include "unpack/posix_output.h"

namespace fs = std::filesystem;

namespace {

struct Report {
  std::string name;
  float percent;
};
std::vector<Report> g_reports;

int RecordReport(const char* name, float percent) {
  g_reports.push_back({name, percent});
  return 7;  // ignored
}

// Fails every write to files whose path ends with `failing_suffix`.
class FailingWriteOutput final : public UnpackOutput {
 public:
  explicit FailingWriteOutput(std::string failing_suffix) : suffix_(std::move(failing_suffix)) {}
  void MakeFolders(const char* path) override { inner_.MakeFolders(path); }
  bool Create(const char* path) override {
    std::string p(path);
    failing_ = p.size() >= suffix_.size() && p.compare(p.size() - suffix_.size(), suffix_.size(), suffix_) == 0;
    return inner_.Create(path);
  }
  bool Write(const void* data, std::uint32_t length) override {
    return !failing_ && inner_.Write(data, length);
  }
  bool Flush() override { return !failing_ && inner_.Flush(); }
  void Stamp(DateValue date) override { inner_.Stamp(date); }
  bool Close() override { return inner_.Close(); }
  void Remove(const char* path) override { inner_.Remove(path); }

 private:
  PosixOutput inner_;
  std::string suffix_;
  bool failing_ = false;
};

class UnpackTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/mrv-unpack-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    archive_ = root_ + "/payload.exe";
    destination_ = root_ + "/out";
    g_reports.clear();
    SetOverallProgressCallback(RecordReport);
  }
  void TearDown() override {
    SetOverallProgressCallback(nullptr);
    fs::remove_all(root_);
  }

  void MakeArchive(const std::vector<ZipEntry>& entries) {
    // Bytes standing for the executable image the payload is appended to.
    ASSERT_TRUE(WriteZip(archive_, entries, "MZ" + NoiseBytes(3000)));
  }
  int Unpack(const char* pattern = "*.*", int mode = UnpackFlat) {
    PosixOutput output;
    return UnpackArchiveTo(output, archive_.c_str(), pattern, destination_.c_str(), mode);
  }

  // Every file and folder below the destination: relative path to content
  // ("/" for a folder).
  std::map<std::string, std::string> Unpacked() const {
    std::map<std::string, std::string> tree;
    if (!fs::exists(destination_)) return tree;
    for (const auto& item : fs::recursive_directory_iterator(destination_)) {
      const std::string relative = fs::relative(item.path(), destination_).string();
      tree[relative] = item.is_directory() ? "/" : ReadFileBytes(item.path().string());
    }
    return tree;
  }
  std::vector<std::string> ReportedNames() const {
    std::vector<std::string> names;
    for (const Report& r : g_reports) names.push_back(r.name);
    return names;
  }
  std::vector<float> ReportedPercents() const {
    std::vector<float> percents;
    for (const Report& r : g_reports) percents.push_back(r.percent);
    return percents;
  }

  std::string root_, archive_, destination_;
};

using Tree = std::map<std::string, std::string>;
using Names = std::vector<std::string>;

TEST_F(UnpackTest, UnpacksThePayloadBehindAnExecutableImage) {
  const std::string setup = TextBytes(300000), cab = NoiseBytes(250000), cfg = "[setup]\nlang=de\n";
  MakeArchive({{"mrv.exe", setup}, {"mrv.cab", cab, 0}, {"mrv.cfg", cfg}});
  EXPECT_EQ(Unpack(), 3);
  EXPECT_EQ(Unpacked(), (Tree{{"mrv.exe", setup}, {"mrv.cab", cab}, {"mrv.cfg", cfg}}));
  EXPECT_EQ(ReportedNames(), (Names{"mrv.exe", "mrv.cab", "mrv.cfg", ""}));
  EXPECT_EQ(ReportedPercents(), (std::vector<float>{33.333332f, 66.666664f, 100.0f, 100.0f}));
}

TEST_F(UnpackTest, MissingOrUnreadableArchiveGivesNothing) {
  EXPECT_EQ(Unpack(), 0);
  ASSERT_TRUE(WriteFileBytes(archive_, "MZ" + NoiseBytes(70000)));
  EXPECT_EQ(Unpack(), 0);
  EXPECT_TRUE(g_reports.empty());
  EXPECT_FALSE(fs::exists(destination_));
}

TEST_F(UnpackTest, ArchiveWithoutEntriesReportsOnlyTheEnd) {
  MakeArchive({});
  EXPECT_EQ(Unpack(), 0);
  EXPECT_EQ(ReportedNames(), (Names{""}));
  EXPECT_EQ(ReportedPercents(), (std::vector<float>{100.0f}));
  EXPECT_FALSE(fs::exists(destination_));
}

TEST_F(UnpackTest, EmptyPatternAndTrailingBackslashChangeNothing) {
  MakeArchive({{"a.txt", "A"}, {"README", "R"}});
  for (const char* pattern : {"", "*.*"}) {
    for (const std::string& destination : {destination_, destination_ + "\\"}) {
      fs::remove_all(destination_);
      PosixOutput output;
      EXPECT_EQ(UnpackArchiveTo(output, archive_.c_str(), pattern, destination.c_str(), UnpackFlat), 2);
      EXPECT_EQ(Unpacked(), (Tree{{"a.txt", "A"}, {"README", "R"}}));
    }
  }
}

TEST_F(UnpackTest, PatternSelectsByFilePart) {
  MakeArchive({{"docs/a.txt", "A"}, {"b.doc", "B"}, {"c.bin", "C"}});
  EXPECT_EQ(Unpack("*.txt|*.doc"), 2);
  EXPECT_EQ(Unpacked(), (Tree{{"a.txt", "A"}, {"b.doc", "B"}}));
  EXPECT_EQ(ReportedNames(), (Names{"a.txt", "b.doc", "", ""}));
}

struct ModeCase {
  const char* title;
  int mode;
  const char* pattern;
  std::vector<ZipEntry> entries;
  int written;
  Tree tree;
  Names reports;
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.title; }

class UnpackModeTest : public UnpackTest, public testing::WithParamInterface<ModeCase> {};

TEST_P(UnpackModeTest, WritesWhereTheModeSays) {
  const ModeCase& c = GetParam();
  MakeArchive(c.entries);
  EXPECT_EQ(Unpack(c.pattern, c.mode), c.written);
  EXPECT_EQ(Unpacked(), c.tree);
  Names expected = c.reports;
  expected.push_back("");
  EXPECT_EQ(ReportedNames(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, UnpackModeTest,
    testing::Values(
        ModeCase{"FlatTakesTheFilePart", UnpackFlat, "*.*", {{"docs/readme.txt", "R"}}, 1,
                 {{"readme.txt", "R"}}, {"readme.txt"}},
        ModeCase{"FoldersKeepThePath", UnpackWithFolders, "*.*", {{"docs/readme.txt", "R"}}, 1,
                 {{"docs", "/"}, {"docs/readme.txt", "R"}}, {"docs\\readme.txt"}},
        ModeCase{"FlatLaterSameNameReplaces", UnpackFlat, "*.*", {{"a/x.txt", "first"}, {"b/x.txt", "second"}}, 2,
                 {{"x.txt", "second"}}, {"x.txt", "x.txt"}},
        ModeCase{"FoldersDropTheDrive", UnpackWithFolders, "*.*", {{"C:\\tmp\\a.txt", "A"}}, 1,
                 {{"tmp", "/"}, {"tmp/a.txt", "A"}}, {"tmp\\a.txt"}},
        ModeCase{"FlatDropsTheDriveWithTheFolders", UnpackFlat, "*.*", {{"C:\\tmp\\a.txt", "A"}}, 1,
                 {{"a.txt", "A"}}, {"a.txt"}},
        ModeCase{"FlatFolderEntryFailsAsAFile", UnpackFlat, "*.*", {{"sub/", ""}, {"f.txt", "F"}}, 1,
                 {{"f.txt", "F"}}, {"", "f.txt"}},
        ModeCase{"FoldersMakeAFolderEntry", UnpackWithFolders, "*.*", {{"sub/", ""}}, 0,
                 {{"sub", "/"}}, {"sub\\"}},
        ModeCase{"FoldersTakeEmptyEntriesWhateverThePattern", UnpackWithFolders, "*.txt",
                 {{"sub/", ""}, {"empty.bin", ""}, {"full.bin", "x"}}, 1,
                 {{"sub", "/"}, {"empty.bin", ""}}, {"sub\\", "empty.bin", ""}},
        ModeCase{"OtherModesNeedThePatternForEmptyEntries", 2, "*.txt",
                 {{"sub/", ""}, {"empty.bin", ""}, {"d/e.txt", "E"}}, 1,
                 {{"d", "/"}, {"d/e.txt", "E"}}, {"", "", "d\\e.txt"}},
        ModeCase{"OtherModesMakeAFolderEntryThenFailAtTheFile", 2, "*.*", {{"sub/", ""}}, 0,
                 {{"sub", "/"}}, {"sub\\"}},
        ModeCase{"EmptyEntryGivesAnEmptyFile", UnpackFlat, "*.*", {{"zero.dat", ""}}, 1,
                 {{"zero.dat", ""}}, {"zero.dat"}},
        ModeCase{"SpacesAroundANameAreCut", UnpackFlat, "*.*", {{"  spaced.txt  ", "S"}}, 1,
                 {{"spaced.txt", "S"}}, {"spaced.txt"}},
        ModeCase{"LongNamesUseTheirFirstHundredBytes", UnpackFlat, "*.*",
                 {{std::string(120, 'n') + ".txt", "L"}, {"short.txt", "S"}}, 2,
                 {{std::string(100, 'n'), "L"}, {"short.txt", "S"}}, {std::string(100, 'n'), "short.txt"}}),
    [](const testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.title); });

TEST_F(UnpackTest, StampsTheEntryDateWithoutItsSeconds) {
  MakeArchive({{"mrv.cfg", "c", 8, 0x356973DD}});  // 2006-11-09 14:30:58
  ASSERT_EQ(Unpack(), 1);
  struct stat info;
  ASSERT_EQ(stat((destination_ + "/mrv.cfg").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, MakeDateValue(2006, 11, 9, 14, 30, 0));
}

TEST_F(UnpackTest, InvalidEntryDateLeavesTheTimeOfWriting) {
  MakeArchive({{"bad.txt", "b", 8, 0x00000000}});  // month 0, day 0
  const time_t before = time(nullptr);
  ASSERT_EQ(Unpack(), 1);
  struct stat info;
  ASSERT_EQ(stat((destination_ + "/bad.txt").c_str(), &info), 0);
  EXPECT_GE(info.st_mtime, before - 1);
}

struct DamageCase {
  const char* title;
  ZipEntry damaged;
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.title; }

class DamagedEntryTest : public UnpackTest, public testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedEntryTest, LeavesNoFileAndGoesOn) {
  const std::string good = TextBytes(5000, 2);
  MakeArchive({GetParam().damaged, {"after.txt", good}});
  EXPECT_EQ(Unpack(), 1);
  EXPECT_EQ(Unpacked(), (Tree{{"after.txt", good}}));
  EXPECT_EQ(ReportedNames(), (Names{GetParam().damaged.name, "after.txt", ""}));
  EXPECT_EQ(ReportedPercents(), (std::vector<float>{50.0f, 100.0f, 100.0f}));
}

ZipEntry Damaged(const char* name, std::string data, int method) {
  ZipEntry entry;
  entry.name = name;
  entry.data = std::move(data);
  entry.method = method;
  return entry;
}

ZipEntry WithCrc(ZipEntry entry, std::uint32_t crc) { entry.crc = crc; return entry; }
ZipEntry WithSize(ZipEntry entry, std::uint32_t size) { entry.declared_size = size; return entry; }
ZipEntry CutTo(ZipEntry entry, std::size_t bytes) { entry.cut_compressed_to = bytes; return entry; }

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedEntryTest,
    testing::Values(
        DamageCase{"DeflateDataBreaksOff", CutTo(Damaged("broken.bin", TextBytes(400000), 8), 2000)},
        DamageCase{"FlippedCrcDeflated",
                   WithCrc(Damaged("crc.bin", TextBytes(300000), 8), Crc32(TextBytes(300000)) ^ 1)},
        DamageCase{"FlippedCrcStored",
                   WithCrc(Damaged("crc.cab", NoiseBytes(200000), 0), Crc32(NoiseBytes(200000)) ^ 0x80000000u)},
        DamageCase{"StreamEndsBeforeTheDeclaredSize",
                   WithSize(Damaged("short.bin", TextBytes(10000), 8), 20000)},
        DamageCase{"StoredDataShorterThanDeclared",
                   WithSize(Damaged("short.cab", NoiseBytes(1000), 0), 1500)}),
    [](const testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.title); });

TEST_F(UnpackTest, FailingWriteLeavesNoFile) {
  const std::string data = TextBytes(250000);
  MakeArchive({{"mrv.exe", data}, {"mrv.cfg", "c"}});
  FailingWriteOutput output("mrv.exe");
  EXPECT_EQ(UnpackArchiveTo(output, archive_.c_str(), "*.*", destination_.c_str(), UnpackFlat), 1);
  EXPECT_EQ(Unpacked(), (Tree{{"mrv.cfg", "c"}}));
}

TEST_F(UnpackTest, FailingFlushAtCloseLeavesNoFile) {
  // A short file reaches the disk only at close.
  MakeArchive({{"mrv.cfg", "short"}});
  FailingWriteOutput output("mrv.cfg");
  EXPECT_EQ(UnpackArchiveTo(output, archive_.c_str(), "*.*", destination_.c_str(), UnpackFlat), 0);
  EXPECT_EQ(Unpacked(), Tree{});
}

struct HostileCase {
  std::string name;
  int mode;
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << "'" << c.name << "' mode " << c.mode; }

class HostileNameTest : public UnpackTest, public testing::WithParamInterface<HostileCase> {};

TEST_P(HostileNameTest, WritesNothingAndIsReportedWhole) {
  MakeArchive({{GetParam().name, "evil"}, {"mrv.exe", "ok"}});
  fs::create_directories(destination_);
  EXPECT_EQ(Unpack("*.*", GetParam().mode), 1);
  EXPECT_EQ(Unpacked(), (Tree{{"mrv.exe", "ok"}}));
  // Nothing beside the destination either.
  std::vector<std::string> beside;
  for (const auto& item : fs::directory_iterator(root_)) beside.push_back(item.path().filename().string());
  std::sort(beside.begin(), beside.end());
  EXPECT_EQ(beside, (std::vector<std::string>{"out", "payload.exe"}));
  std::string whole = GetParam().name;
  for (char& c : whole) if (c == '/') c = '\\';
  EXPECT_EQ(ReportedNames(), (Names{whole, "mrv.exe", ""}));
}

INSTANTIATE_TEST_SUITE_P(
    Names, HostileNameTest,
    testing::Values(HostileCase{"../evil.txt", UnpackWithFolders}, HostileCase{"a/../../evil.txt", UnpackWithFolders},
                    HostileCase{"/abs/evil.txt", UnpackWithFolders}, HostileCase{"\\abs\\evil.txt", UnpackWithFolders},
                    HostileCase{"C:/x/../../evil.txt", UnpackWithFolders},
                    HostileCase{"d:evil.txt", UnpackFlat}, HostileCase{"file.txt:stream", UnpackFlat},
                    HostileCase{"sub/..", UnpackFlat}, HostileCase{"x/CON", UnpackFlat},
                    HostileCase{"nul.txt", UnpackWithFolders}, HostileCase{"dir/com1.log", UnpackWithFolders},
                    HostileCase{"a\x01" "b", UnpackFlat}, HostileCase{"a<b", UnpackFlat},
                    HostileCase{"a|b.txt", UnpackFlat}, HostileCase{"what?.txt", UnpackFlat}));

// Patches the end-of-central-directory record's two entry counts to 0.
void ZeroEntryCounts(const std::string& path) {
  std::string bytes = ReadFileBytes(path);
  const std::size_t eocd = bytes.rfind(std::string("PK\x05\x06", 4));
  ASSERT_NE(eocd, std::string::npos);
  for (std::size_t i = 8; i < 12; ++i) bytes[eocd + i] = '\0';
  ASSERT_TRUE(WriteFileBytes(path, bytes));
}

TEST_F(UnpackTest, EntryCountOfZeroReportsEveryEntryAsTheWhole) {
  MakeArchive({{"a.txt", "A"}, {"b.txt", "B"}});
  ZeroEntryCounts(archive_);
  EXPECT_EQ(Unpack(), 2);
  EXPECT_EQ(ReportedPercents(), (std::vector<float>{100.0f, 100.0f, 100.0f}));
}

}  // namespace
