// Choosing and claiming the working folder, on the real file system.

#include "driver/working_folder.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/win32/scratch.h"

namespace {

enum class Kind { Folder, File, ReadOnlyFile };

struct Existing {
  int number;
  Kind kind;
};

struct ClaimCase {
  const char* title;
  std::vector<Existing> existing;
  int claimed;
};

void PrintTo(const ClaimCase& c, std::ostream* os) { *os << c.title; }

class ClaimWorkingFolderTest : public testing::TestWithParam<ClaimCase> {
 protected:
  std::string Candidate(int number) const { return scratch / ("_MrvSfx" + std::to_string(number)); }
  ScratchFolder scratch;
};

TEST_P(ClaimWorkingFolderTest, TakesTheFirstFreeNumber) {
  for (const Existing& e : GetParam().existing) {
    if (e.kind == Kind::Folder) {
      ASSERT_TRUE(MakeFolder(Candidate(e.number)));
      ASSERT_TRUE(MakeFile(Candidate(e.number) + "\\keep.txt", "keep"));
    } else {
      ASSERT_TRUE(MakeFile(Candidate(e.number), "old", e.kind == Kind::ReadOnlyFile ? FILE_ATTRIBUTE_READONLY : 0));
    }
  }
  PathText folder;
  ASSERT_TRUE(ClaimWorkingFolder(scratch.path() + "\\", folder));
  EXPECT_STREQ(folder.c_str(), Candidate(GetParam().claimed).c_str());
  EXPECT_TRUE(IsFolder(folder.c_str()));
  EXPECT_TRUE(Names(folder.c_str()).empty());
  for (const Existing& e : GetParam().existing) {
    if (e.kind == Kind::Folder) EXPECT_EQ(FileBytes(Candidate(e.number) + "\\keep.txt"), "keep");
    if (e.kind == Kind::ReadOnlyFile) EXPECT_EQ(FileBytes(Candidate(e.number)), "old");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClaimWorkingFolderTest,
    testing::Values(
        ClaimCase{"NothingThere", {}, 0},
        ClaimCase{"FiveFolders",
                  {{0, Kind::Folder}, {1, Kind::Folder}, {2, Kind::Folder}, {3, Kind::Folder}, {4, Kind::Folder}}, 5},
        ClaimCase{"GapsCount", {{0, Kind::Folder}, {2, Kind::Folder}}, 1},
        ClaimCase{"PlainFileIsReplaced", {{0, Kind::File}}, 0},
        ClaimCase{"FileAfterAFolder", {{0, Kind::Folder}, {1, Kind::File}}, 1},
        ClaimCase{"FileThatCannotBeDeletedIsPassedOver", {{0, Kind::ReadOnlyFile}}, 1},
        ClaimCase{"NoLeadingZeros",
                  {{0, Kind::Folder}, {1, Kind::Folder}, {2, Kind::Folder}, {3, Kind::Folder}, {4, Kind::Folder},
                   {5, Kind::Folder}, {6, Kind::Folder}, {7, Kind::Folder}, {8, Kind::Folder}, {9, Kind::Folder}},
                  10}),
    [](const testing::TestParamInfo<ClaimCase>& info) { return std::string(info.param.title); });

TEST(ClaimWorkingFolderAllTakenTest, ClaimsNothingWhenEveryNumberIsTaken) {
  ScratchFolder scratch;
  for (int n = 0; n <= kLastCandidate; ++n)
    ASSERT_TRUE(MakeFolder(scratch / ("_MrvSfx" + std::to_string(n))));
  ASSERT_TRUE(MakeFile(scratch / "other.txt", "x"));
  PathText folder;
  EXPECT_FALSE(ClaimWorkingFolder(scratch.path() + "\\", folder));
  EXPECT_TRUE(folder.empty());
  EXPECT_EQ(Names(scratch.path()).size(), static_cast<std::size_t>(kLastCandidate + 2));
  EXPECT_TRUE(Names(scratch / "_MrvSfx1000").empty());
}

TEST(ClaimWorkingFolderAllTakenTest, LastCandidateIsOneThousand) {
  PathText name;
  ASSERT_TRUE(CandidateName("C:\\TEMP\\", kLastCandidate, name));
  EXPECT_STREQ(name.c_str(), "C:\\TEMP\\_MrvSfx1000");
  ASSERT_TRUE(CandidateName("", 0, name));
  EXPECT_STREQ(name.c_str(), "_MrvSfx0");
}

TEST(ClaimWorkingFolderRelativeTest, EmptyTempFolderMeansTheCurrentFolder) {
  ScratchFolder scratch;
  char previous[MAX_PATH + 1];
  GetCurrentDirectoryA(sizeof(previous), previous);
  ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));
  PathText folder;
  const bool claimed = ClaimWorkingFolder("", folder);
  SetCurrentDirectoryA(previous);
  ASSERT_TRUE(claimed);
  EXPECT_STREQ(folder.c_str(), "_MrvSfx0");
  EXPECT_TRUE(IsFolder(scratch / "_MrvSfx0"));
}

TEST(ClaimWorkingFolderRelativeTest, TemporaryFolderTooLongClaimsNothing) {
  PathText folder;
  EXPECT_FALSE(ClaimWorkingFolder(std::string(255, 'x') + "\\", folder));
}

}  // namespace
