// The unpack routine with the stub's own Win32 output, on real files.

#include "unpack/unpack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/zip_builder.h"
#include "tests/win32/scratch.h"
#include "unpack/file_time.h"

namespace {

class Win32UnpackTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(MakeFolder(destination)); }
  void MakeArchive(const std::vector<ZipEntry>& entries) {
    ASSERT_TRUE(WriteZip(archive, entries, "MZ" + NoiseBytes(4096)));
  }
  int Unpack(int mode = UnpackFlat) {
    return UnpackArchive(archive.c_str(), "*.*", destination.c_str(), mode);
  }
  ScratchFolder scratch;
  std::string archive = scratch / "setup.exe";
  std::string destination = scratch / "out";
};

TEST_F(Win32UnpackTest, WritesAndStampsEveryFile) {
  const std::string setup = TextBytes(700000), cab = NoiseBytes(300000);
  MakeArchive({{"mrv.exe", setup}, {"mrv.cab", cab, 0}, {"mrv.cfg", "cfg", 8, 0x356973DD}});
  EXPECT_EQ(Unpack(), 3);
  EXPECT_EQ(Names(destination), (std::vector<std::string>{"mrv.cab", "mrv.cfg", "mrv.exe"}));
  EXPECT_EQ(FileBytes(destination + "\\mrv.exe"), setup);
  EXPECT_EQ(FileBytes(destination + "\\mrv.cab"), cab);
  FILETIME expected;
  ASSERT_TRUE(DateValueToFileTime(MakeDateValue(2006, 11, 9, 14, 30, 0), expected));
  EXPECT_EQ(WriteTime(destination + "\\mrv.cfg"),
            (static_cast<ULONGLONG>(expected.dwHighDateTime) << 32) | expected.dwLowDateTime);
}

TEST_F(Win32UnpackTest, MakesTheFoldersOfTheNamesInFolderMode) {
  MakeArchive({{"docs/", ""}, {"docs/deep/readme.txt", "R"}, {"C:\\tmp\\a.txt", "A"}});
  const std::string nested = scratch / "made\\by\\unpack";
  EXPECT_EQ(UnpackArchive(archive.c_str(), "", nested.c_str(), UnpackWithFolders), 2);
  EXPECT_EQ(FileBytes(nested + "\\docs\\deep\\readme.txt"), "R");
  EXPECT_EQ(FileBytes(nested + "\\tmp\\a.txt"), "A");
}

TEST_F(Win32UnpackTest, RewritesAHiddenFileOfTheSameName) {
  // CREATE_ALWAYS refuses a hidden file; emptying it and writing anew works.
  ASSERT_TRUE(MakeFile(destination + "\\mrv.cfg", "old old old", FILE_ATTRIBUTE_HIDDEN));
  MakeArchive({{"mrv.cfg", "new"}});
  EXPECT_EQ(Unpack(), 1);
  EXPECT_EQ(FileBytes(destination + "\\mrv.cfg"), "new");
}

TEST_F(Win32UnpackTest, CorruptEntryLeavesNoFile) {
  ZipEntry broken{"mrv.exe", TextBytes(500000)};
  broken.crc = Crc32(broken.data) ^ 0x10;
  ZipEntry cut{"mrv.cab", TextBytes(800000, 3)};
  cut.cut_compressed_to = 5000;
  MakeArchive({broken, cut, {"mrv.cfg", "ok"}});
  EXPECT_EQ(Unpack(), 1);
  EXPECT_EQ(Names(destination), (std::vector<std::string>{"mrv.cfg"}));
}

TEST_F(Win32UnpackTest, HostileNamesWriteNothingOutside) {
  MakeArchive({{"../evil.txt", "e"}, {"..\\..\\evil2.txt", "e"}, {"\\evil3.txt", "e"}, {"CON", "c"},
               {"x/nul.txt", "n"}, {"a.txt:hidden", "s"}, {"mrv.exe", "MZ"}});
  EXPECT_EQ(Unpack(UnpackWithFolders), 1);
  EXPECT_EQ(Names(destination), (std::vector<std::string>{"mrv.exe"}));
  EXPECT_EQ(Names(scratch.path()), (std::vector<std::string>{"out", "setup.exe"}));
  EXPECT_FALSE(Exists("C:\\evil3.txt"));
}

}  // namespace
