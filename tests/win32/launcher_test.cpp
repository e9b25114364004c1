// Starting programs for real under Wine, with a helper that writes down how it
// was started (tests/win32/helpers/record_launch.cpp).

#include "host/launcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "tests/win32/scratch.h"

namespace {

std::string HelperPath() {
  char path[MAX_PATH + 1];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
  std::string self(path, length);
  return self.substr(0, self.rfind('\\') + 1) + "record_launch.exe";
}

std::map<std::string, std::string> ReadRecord(const std::string& path) {
  std::map<std::string, std::string> record;
  for (const auto& [key, value] : ReadRecordLines(path)) record[key] = value;
  return record;
}

class LauncherTest : public testing::Test {
 protected:
  void SetUp() override {
    record_ = scratch / "record.txt";
    SetEnvironmentVariableA("MRV_RECORD", record_.c_str());
    SetEnvironmentVariableA("MRV_DELAY", "1500");
    GetCurrentDirectoryA(sizeof(previous_), previous_);
    ASSERT_TRUE(MakeFolder(scratch / "caller"));
    ASSERT_TRUE(SetCurrentDirectoryA((scratch / "caller").c_str()));
  }
  void TearDown() override { SetCurrentDirectoryA(previous_); }

  std::map<std::string, std::string> Record() const { return ReadRecord(record_); }
  bool WaitForEnd() const {
    for (int i = 0; i < 200; ++i) {
      if (Record().count("end")) return true;
      Sleep(50);
    }
    return false;
  }

  ScratchFolder scratch;
  std::string record_;
  char previous_[MAX_PATH + 1] = {};
};

TEST_F(LauncherTest, SelfExtractorCallQuotesThePathAndWaits) {
  const std::string helper = HelperPath();
  ASSERT_EQ(LaunchProgram(helper.c_str(), "", "", LaunchWait), 1);
  const auto record = Record();
  EXPECT_EQ(record.at("cmdline"), "\"" + helper + "\"");
  EXPECT_EQ(record.at("cwd"), scratch / "caller");
  EXPECT_EQ(record.at("show"), std::to_string(SW_SHOWNORMAL));
  EXPECT_EQ(record.at("priority"), std::to_string(NORMAL_PRIORITY_CLASS));
  EXPECT_EQ(record.count("end"), 1u) << "returned before the program ended";
}

TEST_F(LauncherTest, PathWithSpacesIsOneTokenAndParametersFollowUnchanged) {
  ASSERT_TRUE(MakeFolder(scratch / "with space"));
  const std::string helper = scratch / "with space\\my helper.exe";
  ASSERT_TRUE(CopyFileA(HelperPath().c_str(), helper.c_str(), FALSE));
  ASSERT_EQ(LaunchProgram(helper.c_str(), "/a  \"b c\"", nullptr, LaunchWait), 1);
  EXPECT_EQ(Record().at("cmdline"), "\"" + helper + "\" /a  \"b c\"");
}

TEST_F(LauncherTest, ProgramTextThatStartsWithAQuoteIsUsedUnchanged) {
  const std::string program = "\"" + HelperPath() + "\" --given";
  ASSERT_EQ(LaunchProgram(program.c_str(), "more", nullptr, LaunchWait), 1);
  EXPECT_EQ(Record().at("cmdline"), program + " more");
}

TEST_F(LauncherTest, WorkingFolderGoesToTheProgram) {
  ASSERT_EQ(LaunchProgram(HelperPath().c_str(), nullptr, scratch.path().c_str(), LaunchWait), 1);
  EXPECT_EQ(Record().at("cwd"), scratch.path());
}

TEST_F(LauncherTest, HiddenStartAsksForAHiddenWindow) {
  ASSERT_EQ(LaunchProgram(HelperPath().c_str(), "", "", LaunchWait | LaunchHide), 1);
  EXPECT_EQ(Record().at("show"), std::to_string(SW_HIDE));
  EXPECT_EQ(Record().at("priority"), std::to_string(NORMAL_PRIORITY_CLASS));
}

TEST_F(LauncherTest, WithoutWaitReturnsOnceStarted) {
  ASSERT_EQ(LaunchProgram(HelperPath().c_str(), "", "", 0), 1);
  EXPECT_EQ(Record().count("end"), 0u);
  EXPECT_TRUE(WaitForEnd());
}

// Documents of the extension .mrvtest open with the helper. (Wine reads
// associations from HKEY_CLASSES_ROOT only.)
class ShellFallbackTest : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    const std::string command = "\"" + HelperPath() + "\" \"%1\"";
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".mrvtest", REG_SZ, "MrvTest.Document", 0),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "MrvTest.Document\\shell\\open\\command",
                           REG_SZ, command.c_str(), 0),
              ERROR_SUCCESS);
    ASSERT_TRUE(MakeFolder(scratch / "docs"));
    document_ = scratch / "docs\\paper.mrvtest";
    ASSERT_TRUE(MakeFile(document_, "not a program"));
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "MrvTest.Document");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".mrvtest");
    LauncherTest::TearDown();
  }
  std::string document_;
};

TEST_F(ShellFallbackTest, OpensADocumentInItsOwnFolder) {
  ASSERT_EQ(LaunchProgram(document_.c_str(), "", "", LaunchWait), 1);
  const auto record = Record();
  EXPECT_NE(record.at("cmdline").find("paper.mrvtest"), std::string::npos);
  EXPECT_EQ(record.at("cwd") + "\\", scratch / "docs\\");
  EXPECT_EQ(record.count("end"), 1u) << "returned before the program ended";
}

TEST_F(ShellFallbackTest, GivesTheCallersFolderToTheShell) {
  ASSERT_EQ(LaunchProgram(document_.c_str(), "", scratch.path().c_str(), LaunchWait), 1);
  EXPECT_EQ(Record().at("cwd"), scratch.path());
}

TEST_F(ShellFallbackTest, WithoutWaitReturnsOnceStarted) {
  ASSERT_EQ(LaunchProgram(document_.c_str(), "", "", 0), 1);
  EXPECT_TRUE(WaitForEnd());
}

TEST_F(LauncherTest, NeitherWayStartsAMissingProgram) {
  // The shell shows its own error box for this; answer it like a user would.
  std::atomic<bool> done{false};
  std::atomic<bool> answered{false};
  std::thread user([&] {
    const DWORD self = GetCurrentProcessId();
    while (!done) {
      HWND box = FindWindowA("#32770", nullptr);
      DWORD owner = 0;
      if (box) GetWindowThreadProcessId(box, &owner);
      if (box && owner == self) {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        answered = true;
      }
      Sleep(100);
    }
  });
  const int result = LaunchProgram((scratch / "missing\\nothing.exe").c_str(), "", "", LaunchWait);
  done = true;
  user.join();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(answered);
  EXPECT_FALSE(Exists(record_));
}

}  // namespace
