// The file-system services against the real file system under Wine.

#include "host/file_system.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/win32/scratch.h"

#include <winioctl.h>

namespace {

class FileSystemTest : public testing::Test {
 protected:
  ScratchFolder scratch;
};

TEST_F(FileSystemTest, ProbeGivesSizesFoldersAndAbsence) {
  ASSERT_TRUE(MakeFile(scratch / "empty.txt"));
  ASSERT_TRUE(MakeFile(scratch / "five.txt", "12345"));
  ASSERT_TRUE(MakeFolder(scratch / "dir"));
  EXPECT_EQ(ProbePath(nullptr), ProbeAbsent);
  EXPECT_EQ(ProbePath(""), ProbeAbsent);
  EXPECT_EQ(ProbePath((scratch / "empty.txt").c_str()), 0);
  EXPECT_EQ(ProbePath((scratch / "five.txt").c_str()), 5);
  EXPECT_EQ(ProbePath((scratch / "five.txt\\").c_str()), 5);
  EXPECT_EQ(ProbePath((scratch / "dir").c_str()), ProbeFolder);
  EXPECT_EQ(ProbePath((scratch / "dir\\").c_str()), ProbeFolder);
  // Only one trailing backslash is cut; a search for "dir\" finds nothing.
  EXPECT_EQ(ProbePath((scratch / "dir\\\\").c_str()), ProbeAbsent);
  EXPECT_EQ(ProbePath((scratch / "missing").c_str()), ProbeAbsent);
}

TEST_F(FileSystemTest, ProbeCountsTheHighHalfOfTheSize) {
  const std::string path = scratch / "sparse.bin";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD returned = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER size;
  size.QuadPart = 5LL * 1024 * 1024 * 1024 + 7;
  ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
  EXPECT_EQ(ProbePath(path.c_str()), size.QuadPart);
}

TEST_F(FileSystemTest, ProbeReportsTheFirstEntryOfAPattern) {
  ASSERT_TRUE(MakeFile(scratch / "only.txt", "abc"));
  EXPECT_EQ(ProbePath((scratch / "*.txt").c_str()), 3);
  EXPECT_EQ(ProbePath((scratch / "o?ly.*").c_str()), 3);
  EXPECT_EQ(ProbePath((scratch / "*.doc").c_str()), ProbeAbsent);
}

struct DriveCase {
  const char* path;
  std::int64_t expected;
};

void PrintTo(const DriveCase& c, std::ostream* os) { *os << c.path; }

class DriveRootTest : public testing::TestWithParam<DriveCase> {};

TEST_P(DriveRootTest, AsksOnlyTheDriveType) {
  EXPECT_EQ(ProbePath(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Drives, DriveRootTest,
                         testing::Values(DriveCase{"C:", ProbeFolder}, DriveCase{"C:\\", ProbeFolder},
                                         DriveCase{"c:", ProbeFolder}, DriveCase{"Q:", ProbeAbsent},
                                         DriveCase{"Q:\\", ProbeAbsent}));

TEST_F(FileSystemTest, ProbeNeverSearchesADriveLetterWithAName) {
  // "C:x" names the file x in C:'s current folder, yet only the drive type of
  // those three characters counts.
  char previous[MAX_PATH + 1];
  GetCurrentDirectoryA(sizeof(previous), previous);
  ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));
  ASSERT_TRUE(MakeFile(scratch / "x", "1234"));
  const std::int64_t result = ProbePath("C:x");
  SetCurrentDirectoryA(previous);
  EXPECT_LT(result, 0);
}

// A folder name that makes `scratch\name` exactly `length` characters long.
std::string NameOfLength(const ScratchFolder& scratch, std::size_t length) {
  return std::string(length - scratch.path().size() - 1, 'n');
}

TEST_F(FileSystemTest, PathsTooLongAreNeverCutAndUsed) {
  // Cut to 260 characters, the long path would name the existing file below.
  const std::string file = scratch / NameOfLength(scratch, 259);
  ASSERT_TRUE(MakeFile(file, "abc"));
  const std::string too_long = file + "\\" + std::string(40, 'x');
  EXPECT_EQ(ProbePath(too_long.c_str()), ProbeAbsent);
  EXPECT_EQ(DeleteTree(too_long.c_str(), "*.*", TreeRecursive | TreeForce), 0);
  EXPECT_EQ(FileBytes(file), "abc");

  const std::string folder_cut = scratch / NameOfLength(scratch, 200);
  const std::string long_folder = folder_cut + std::string(80, 'y');
  EXPECT_EQ(CreateFolder(long_folder.c_str()), 0);
  EXPECT_FALSE(Exists(long_folder.substr(0, 260)));
}

TEST_F(FileSystemTest, DeleteFileAtLeavesFoldersAndReadOnlyFiles) {
  ASSERT_TRUE(MakeFolder(scratch / "dir"));
  ASSERT_TRUE(MakeFile(scratch / "locked.txt", "x", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(MakeFile(scratch / "plain.txt", "x"));
  EXPECT_EQ(DeleteFileAt((scratch / "missing").c_str()), 0);
  EXPECT_EQ(DeleteFileAt((scratch / "dir").c_str()), 0);
  EXPECT_TRUE(IsFolder(scratch / "dir"));
  EXPECT_EQ(DeleteFileAt((scratch / "locked.txt").c_str()), 0);
  EXPECT_TRUE(Exists(scratch / "locked.txt"));
  EXPECT_NE(DeleteFileAt((scratch / "plain.txt").c_str()), 0);
  EXPECT_FALSE(Exists(scratch / "plain.txt"));
}

TEST_F(FileSystemTest, CreateFolderCutsTrailingSeparatorsAndSpaces) {
  EXPECT_NE(CreateFolder((scratch / "made \\/ \\").c_str()), 0);
  EXPECT_TRUE(IsFolder(scratch / "made"));
  EXPECT_EQ(CreateFolder((scratch / "made").c_str()), 0);
  EXPECT_EQ(CreateFolder((scratch / "no\\parent").c_str()), 0);
  EXPECT_FALSE(Exists(scratch / "no"));
  EXPECT_EQ(CreateFolder(" \\/"), 0);
  EXPECT_EQ(CreateFolder(nullptr), 0);
}

// scratch\tree with read-only and hidden files in nested folders.
void MakeTree(const ScratchFolder& scratch) {
  ASSERT_TRUE(MakeFolder(scratch / "tree"));
  ASSERT_TRUE(MakeFolder(scratch / "tree\\a"));
  ASSERT_TRUE(MakeFolder(scratch / "tree\\a\\b"));
  ASSERT_TRUE(MakeFolder(scratch / "tree\\noext"));
  ASSERT_TRUE(MakeFile(scratch / "tree\\top.txt", "t"));
  ASSERT_TRUE(MakeFile(scratch / "tree\\README", "r"));
  ASSERT_TRUE(MakeFile(scratch / "tree\\a\\ro.txt", "r", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(MakeFile(scratch / "tree\\a\\b\\hidden.bin", "h", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(MakeFile(scratch / "tree\\noext\\x", "x", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA((scratch / "tree\\a").c_str(), FILE_ATTRIBUTE_READONLY));
}

TEST_F(FileSystemTest, ForcedRecursiveDeleteRemovesEverything) {
  MakeTree(scratch);
  EXPECT_NE(DeleteTree((scratch / "tree").c_str(), "*.*", TreeRecursive | TreeForce), 0);
  EXPECT_FALSE(Exists(scratch / "tree"));
}

TEST_F(FileSystemTest, RecursiveDeleteWithoutForceLeavesReadOnlyFiles) {
  MakeTree(scratch);
  EXPECT_EQ(DeleteTree((scratch / "tree\\").c_str(), "*.*", TreeRecursive), 0);
  EXPECT_EQ(Names(scratch / "tree"), (std::vector<std::string>{"a", "noext"}));
  EXPECT_EQ(Names(scratch / "tree\\a"), (std::vector<std::string>{"ro.txt"}));
  EXPECT_EQ(Names(scratch / "tree\\noext"), (std::vector<std::string>{"x"}));
}

TEST_F(FileSystemTest, PlainDeleteTakesOnlyTheFilesOfTheFolder) {
  MakeTree(scratch);
  EXPECT_EQ(DeleteTree((scratch / "tree").c_str(), "*.*", 0), 0);
  EXPECT_EQ(Names(scratch / "tree"), (std::vector<std::string>{"a", "noext"}));
  EXPECT_TRUE(Exists(scratch / "tree\\a\\b\\hidden.bin"));
}

TEST_F(FileSystemTest, PatternSelectsFilesAndFolders) {
  MakeTree(scratch);
  EXPECT_EQ(DeleteTree((scratch / "tree").c_str(), "*.txt", TreeRecursive | TreeForce), 0);
  // The sub-folders do not match "*.txt", so they are never entered.
  EXPECT_EQ(Names(scratch / "tree"), (std::vector<std::string>{"README", "a", "noext"}));
  EXPECT_TRUE(Exists(scratch / "tree\\a\\ro.txt"));
}

TEST_F(FileSystemTest, EmptyFolderGoesAndUnmatchedPatternKeepsIt) {
  ASSERT_TRUE(MakeFolder(scratch / "empty"));
  EXPECT_EQ(DeleteTree((scratch / "empty").c_str(), "*.xyz", 0), 0);
  EXPECT_TRUE(IsFolder(scratch / "empty"));
  EXPECT_NE(DeleteTree((scratch / "empty").c_str(), "", 0), 0);
  EXPECT_FALSE(Exists(scratch / "empty"));
  EXPECT_EQ(DeleteTree(nullptr, "*.*", TreeForce), 0);
  EXPECT_EQ(DeleteTree("", "*.*", TreeForce), 0);
  EXPECT_EQ(DeleteTree((scratch / "missing").c_str(), "*.*", TreeForce), 0);
}

TEST(LinkTest, DeleteTreeNeverEntersALink) {
  // The test's set-up made tree\link, a Unix symbolic link to target, which
  // Wine shows as a reparse point.
  const char* tree = getenv("MRV_LINK_TREE");
  const char* target = getenv("MRV_LINK_TARGET");
  ASSERT_TRUE(tree && target) << "run through ctest, which sets up the link";
  ASSERT_TRUE(GetFileAttributesA((std::string(tree) + "\\link").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
  DeleteTree(tree, "*.*", TreeRecursive | TreeForce);
  EXPECT_EQ(FileBytes(std::string(target) + "\\keep.txt"), "keep\n");
  EXPECT_TRUE(Exists(std::string(target) + "\\sub\\deep.txt"));
  EXPECT_FALSE(Exists(std::string(tree) + "\\plain.txt"));
}

TEST(TempFolderTest, IsTheLongFormWithATrailingBackslash) {
  PathText folder;
  GetTempFolder(folder);
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_TRUE(IsFolder(folder.c_str()));
  char long_form[MAX_PATH + 1];
  DWORD length = GetLongPathNameA(folder.c_str(), long_form, sizeof(long_form));
  EXPECT_EQ(std::string(long_form, length), folder.c_str());
  EXPECT_EQ(folder.view().find('~'), std::string::npos);
}

TEST(TempFolderTest, KeepsTheShortFormWhenTheLongOneCannotBeSpelt) {
  // A temporary folder whose name the ANSI code page cannot spell: its long
  // form comes back with "?" in it, its short form is usable.
  const std::wstring wide = L"C:\\mrv-\x4E2D\x6587-temp";
  ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  wchar_t short_form[MAX_PATH];
  ASSERT_NE(GetShortPathNameW(wide.c_str(), short_form, MAX_PATH), 0u);
  char previous[MAX_PATH + 1];
  GetEnvironmentVariableA("TMP", previous, sizeof(previous));
  SetEnvironmentVariableW(L"TMP", short_form);
  PathText folder;
  GetTempFolder(folder);
  SetEnvironmentVariableA("TMP", previous);
  RemoveDirectoryW(wide.c_str());
  EXPECT_EQ(folder.view().find('?'), std::string::npos) << folder.c_str();
  EXPECT_FALSE(folder.empty());
}

TEST(OwnExecutablePathTest, NamesThisProgram) {
  PathText path;
  OwnExecutablePath(path);
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(ProbePath(path.c_str()) > 0, true);
  EXPECT_NE(path.view().find("file_system_test.exe"), std::string::npos);
}

}  // namespace
