#include "unpack/entry_name.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace {

struct PartCase {
  std::string name;
  std::string file_part;
  std::string folder_part;
  std::string without_drive;
};

void PrintTo(const PartCase& c, std::ostream* os) { *os << "'" << c.name << "'"; }

class EntryNameTest : public testing::TestWithParam<PartCase> {};

TEST_P(EntryNameTest, SplitsAsTheUnpackRoutineNeeds) {
  const PartCase& c = GetParam();
  EXPECT_EQ(FilePart(c.name), c.file_part);
  EXPECT_EQ(FolderPart(c.name), c.folder_part);
  EXPECT_EQ(RemoveDrivePrefix(c.name), c.without_drive);
}

INSTANTIATE_TEST_SUITE_P(
    Names, EntryNameTest,
    testing::Values(PartCase{"readme.txt", "readme.txt", "", "readme.txt"},
                    PartCase{"docs\\readme.txt", "readme.txt", "docs\\", "docs\\readme.txt"},
                    PartCase{"a\\b\\c.txt", "c.txt", "a\\b\\", "a\\b\\c.txt"},
                    PartCase{"sub\\", "", "sub\\", "sub\\"},
                    PartCase{"C:\\tmp\\a.txt", "a.txt", "C:\\tmp\\", "tmp\\a.txt"},
                    PartCase{"x:\\", "", "x:\\", ""},
                    PartCase{"a:b", "a:b", "", "a:b"},
                    PartCase{"\"dir\\q.txt\"", "q.txt", "dir\\", "\"dir\\q.txt\""},
                    PartCase{"\"a\"b", "a", "", "\"a\"b"},
                    PartCase{"a\"b", "a\"b", "", "a\"b"},
                    PartCase{"a\\b|c\\d.txt", "d.txt", "a\\", "a\\b|c\\d.txt"},
                    PartCase{"", "", "", ""}));

TEST(TrimSpacesTest, CutsOnlySpaceCharacters) {
  EXPECT_EQ(TrimSpaces("  setup.exe  "), "setup.exe");
  EXPECT_EQ(TrimSpaces("\tsetup.exe\t"), "\tsetup.exe\t");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(TrimSpaces("a b"), "a b");
}

struct SafetyCase {
  std::string name;
  bool safe;
};

void PrintTo(const SafetyCase& c, std::ostream* os) { *os << "'" << c.name << "'"; }

class SafeOutputNameTest : public testing::TestWithParam<SafetyCase> {};

TEST_P(SafeOutputNameTest, RefusesNamesThatLeaveTheFolderOrReachADevice) {
  EXPECT_EQ(IsSafeOutputName(GetParam().name), GetParam().safe) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, SafeOutputNameTest,
    testing::Values(
        SafetyCase{"mrv.exe", true}, SafetyCase{"docs\\readme.txt", true}, SafetyCase{"sub\\", true},
        SafetyCase{"..a", true}, SafetyCase{"a..b.txt", true}, SafetyCase{"console.txt", true},
        SafetyCase{"com10", true}, SafetyCase{"lpt", true}, SafetyCase{"\xE4nderung.txt", true},
        SafetyCase{"", true},
        SafetyCase{"..", false}, SafetyCase{"..\\evil.txt", false}, SafetyCase{"a\\..\\..\\b", false},
        SafetyCase{".", false}, SafetyCase{"...", false}, SafetyCase{"a\\. .\\b", false},
        SafetyCase{"\\windows\\evil.dll", false}, SafetyCase{"\\\\server\\share\\x", false},
        SafetyCase{"c:evil.txt", false}, SafetyCase{"file.txt:stream", false},
        SafetyCase{"a\x01.txt", false}, SafetyCase{"a\tb", false}, SafetyCase{"a<b", false},
        SafetyCase{"a>b", false}, SafetyCase{"a\"b", false}, SafetyCase{"a|b", false},
        SafetyCase{"a?b", false}, SafetyCase{"a*b", false},
        SafetyCase{"CON", false}, SafetyCase{"con.txt", false}, SafetyCase{"Nul", false},
        SafetyCase{"aux.tar.gz", false}, SafetyCase{"PRN ", false}, SafetyCase{"com1", false},
        SafetyCase{"LPT9.log", false}, SafetyCase{"com\xB9", false},
        SafetyCase{"sub\\nul\\x.txt", false}, SafetyCase{"sub\\lpt3 .txt", false}));

}  // namespace
