// The payload rules of the packing tool, and the tool itself.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/zip_builder.h"
#include "tools/pack/payload_rules.h"

namespace fs = std::filesystem;

namespace {

std::string Archive(const std::vector<ZipEntry>& entries) {
  const std::string path = fs::temp_directory_path() / ("mrv-pack-" + std::to_string(getpid()) + ".zip");
  EXPECT_TRUE(WriteZip(path, entries));
  std::string bytes = ReadFileBytes(path);
  fs::remove(path);
  return bytes;
}

std::size_t EndRecord(const std::string& bytes) { return bytes.rfind(std::string("PK\x05\x06", 4)); }
std::size_t FirstCentralHeader(const std::string& bytes) { return bytes.find(std::string("PK\x01\x02", 4)); }

std::vector<ZipEntry> SetupPayload() { return {{"mrv.exe", "MZ setup"}, {"mrv.cab", NoiseBytes(3000), 0}}; }

struct RuleCase {
  const char* title;
  std::function<std::string()> archive;
  std::string entry;
  std::string rule_part;
};

void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.title; }

class PayloadRuleTest : public testing::TestWithParam<RuleCase> {};

TEST_P(PayloadRuleTest, RefusesWithTheEntryAndTheRule) {
  const PayloadVerdict verdict = CheckPayload(GetParam().archive());
  bool found = false;
  for (const PayloadFinding& r : verdict.refusals)
    found = found || (r.entry == GetParam().entry && r.rule.find(GetParam().rule_part) != std::string::npos);
  EXPECT_TRUE(found) << "no refusal of '" << GetParam().entry << "' mentioning '" << GetParam().rule_part << "'";
}

std::string Patched(std::vector<ZipEntry> entries, std::function<void(std::string&)> patch) {
  std::string bytes = Archive(entries);
  patch(bytes);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PayloadRuleTest,
    testing::Values(
        RuleCase{"NoSetup", [] { return Archive({{"mrv.cfg", "x"}}); }, "", "no mrv.exe at the root"},
        RuleCase{"SetupInAFolder", [] { return Archive({{"bin/mrv.exe", "x"}}); }, "", "no mrv.exe"},
        RuleCase{"Empty", [] { return Archive({}); }, "", "no entries"},
        RuleCase{"NotAZip", [] { return std::string("MZ plain executable"); }, "", "not a ZIP"},
        RuleCase{"Encrypted",
                 [] { return Patched(SetupPayload(), [](std::string& b) { b[FirstCentralHeader(b) + 8] |= 1; }); }, "mrv.exe",
                 "encrypted"},
        RuleCase{"OtherMethod",
                 [] { return Patched(SetupPayload(), [](std::string& b) { b[FirstCentralHeader(b) + 10] = 12; }); }, "mrv.exe",
                 "method 12"},
        RuleCase{"OverlongComment",
                 [] {
                   return Patched(SetupPayload(), [](std::string& b) {
                     b[EndRecord(b) + 20] = '\xFF';
                     b[EndRecord(b) + 21] = '\xFF';
                     b += std::string(65535, 'c');
                   });
                 },
                 "", "last 65,535 bytes"},
        RuleCase{"SecondDisk", [] { return Patched(SetupPayload(), [](std::string& b) { b[EndRecord(b) + 4] = 1; }); }, "",
                 "more than one disk"},
        RuleCase{"UnequalCounts", [] { return Patched(SetupPayload(), [](std::string& b) { b[EndRecord(b) + 8] = 1; }); }, "",
                 "counts differ"},
        RuleCase{"Zip64Entry",
                 [] {
                   return Patched(SetupPayload(), [](std::string& b) {
                     const std::size_t c = FirstCentralHeader(b);
                     for (int i = 20; i < 28; ++i) b[c + i] = '\xFF';
                   });
                 },
                 "mrv.exe", "ZIP64"},
        RuleCase{"LongName", [] { return Archive({{"mrv.exe", "x"}, {std::string(101, 'n'), "x"}}); }, std::string(101, 'n'),
                 "longer than 100"},
        RuleCase{"SpacedName", [] { return Archive({{"mrv.exe", "x"}, {" mrv.cfg", "x"}}); }, " mrv.cfg", "spaces"},
        RuleCase{"DeviceName", [] { return Archive({{"mrv.exe", "x"}, {"nul.txt", "x"}}); }, "nul.txt", "unsafe"},
        RuleCase{"ParentFolder", [] { return Archive({{"mrv.exe", "x"}, {"../x.txt", "x"}}); }, "../x.txt", "flat"},
        RuleCase{"FolderEntry", [] { return Archive({{"mrv.exe", "x"}, {"sub/", ""}}); }, "sub/", "folder entries"},
        RuleCase{"SameFlatName", [] { return Archive({{"mrv.exe", "x"}, {"MRV.EXE", "y"}}); }, "MRV.EXE",
                 "same file as 'mrv.exe'"}),
    [](const testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.title); });

TEST(PayloadRuleTest, AcceptsASetupPayloadBehindAnImage) {
  const PayloadVerdict verdict = CheckPayload("MZ" + NoiseBytes(5000) + Archive(SetupPayload()));
  EXPECT_TRUE(verdict.refusals.empty()) << verdict.refusals[0].rule;
  EXPECT_TRUE(verdict.warnings.empty());
  EXPECT_EQ(verdict.entries, 2u);
}

TEST(PayloadRuleTest, WarnsOfADateTheStubCannotStamp) {
  const PayloadVerdict verdict = CheckPayload(Archive({{"mrv.exe", "x", 8, 0}}));
  EXPECT_TRUE(verdict.refusals.empty());
  ASSERT_EQ(verdict.warnings.size(), 1u);
  EXPECT_EQ(verdict.warnings[0].entry, "mrv.exe");
}

// The command itself, on folders and archives of a scratch folder.
class PackToolTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/mrv-pack-tool-XXXXXX";
    root = mkdtemp(pattern);
    fs::create_directories(root / "payload");
    ASSERT_TRUE(WriteFileBytes(root / "stub.exe", "MZ" + NoiseBytes(2000)));
  }
  void TearDown() override { fs::remove_all(root); }
  int Pack(const std::string& payload) {
    const std::string command = std::string(MRV_PACK_TOOL) + " --stub '" + (root / "stub.exe").string() + "' '" +
                                payload + "' -o '" + (root / "out.exe").string() + "' 2>'" + (root / "err.txt").string() + "'";
    return WEXITSTATUS(std::system(command.c_str()));
  }
  std::string Errors() const { return ReadFileBytes(root / "err.txt"); }
  fs::path root;
};

TEST_F(PackToolTest, PacksAFolderDeflatingWhatShrinksAndStoringTheRest) {
  const std::string setup = TextBytes(50000), cab = NoiseBytes(40000), cfg = TextBytes(3000, 5);
  ASSERT_TRUE(WriteFileBytes(root / "payload/mrv.exe", setup));
  ASSERT_TRUE(WriteFileBytes(root / "payload/mrv.cab", cab));
  ASSERT_TRUE(WriteFileBytes(root / "payload/mrv.cfg", cfg));
  ASSERT_EQ(Pack((root / "payload").string()), 0) << Errors();
  const std::string out = ReadFileBytes(root / "out.exe");
  EXPECT_EQ(out.compare(0, 2002, ReadFileBytes(root / "stub.exe")), 0);
  EXPECT_LT(out.size(), 2002 + setup.size() / 2 + cab.size() + cfg.size());
  // Info-ZIP's unzip reads it back and checks every CRC-32.
  // (It warns of the stub in front, which is expected.)
  const std::string out_path = (root / "out.exe").string(), list_path = (root / "list.txt").string();
  std::system(("unzip -t '" + out_path + "' > '" + list_path + "' 2>&1").c_str());
  EXPECT_NE(ReadFileBytes(list_path).find("No errors detected"), std::string::npos) << ReadFileBytes(list_path);
  std::system(("unzip -v '" + out_path + "' > '" + list_path + "' 2>&1").c_str());
  const std::string list = ReadFileBytes(list_path);
  EXPECT_NE(list.find("40000  Stored    40000"), std::string::npos) << list;
  EXPECT_NE(list.find("50000  Defl:X"), std::string::npos) << list;
}

TEST_F(PackToolTest, RefusalLeavesNoOutput) {
  ASSERT_TRUE(WriteFileBytes(root / "payload/readme.txt", "no setup here"));
  EXPECT_EQ(Pack((root / "payload").string()), 1);
  EXPECT_NE(Errors().find("no mrv.exe"), std::string::npos) << Errors();
  EXPECT_FALSE(fs::exists(root / "out.exe"));
  EXPECT_FALSE(fs::exists(root / "out.exe.tmp"));
  EXPECT_FALSE(fs::exists(root / "out.exe.zip.tmp"));
}

TEST_F(PackToolTest, TakesAnExistingArchiveAsItIs) {
  const std::string archive = Archive(SetupPayload());
  ASSERT_TRUE(WriteFileBytes(root / "payload.zip", archive));
  ASSERT_EQ(Pack((root / "payload.zip").string()), 0) << Errors();
  EXPECT_EQ(ReadFileBytes(root / "out.exe"), ReadFileBytes(root / "stub.exe") + archive);
}

TEST_F(PackToolTest, RefusesAnArchiveWhoseDataIsCorrupt) {
  ZipEntry broken{"mrv.exe", TextBytes(20000)};
  broken.crc = Crc32(broken.data) ^ 1;
  ASSERT_TRUE(WriteFileBytes(root / "payload.zip", Archive({broken})));
  EXPECT_EQ(Pack((root / "payload.zip").string()), 1);
  EXPECT_NE(Errors().find("verification failed"), std::string::npos) << Errors();
  EXPECT_FALSE(fs::exists(root / "out.exe"));
}

}  // namespace
