// The whole self-extractor as a user meets it: the stub with a payload
// appended, started from a download folder, with a probe for mrv.exe that
// writes down what it sees (tests/win32/helpers/probe_setup.cpp).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/support/zip_builder.h"
#include "tests/win32/scratch.h"
#include "unpack/date_value.h"
#include "unpack/file_time.h"

namespace {

std::string FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  std::string text = value ? value : "";
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

struct Report {
  std::map<std::string, std::string> values;
  std::map<std::string, std::vector<std::string>> files;  // name: size, crc, write time
  bool ran = false;
};

Report ReadReport(const std::string& path) {
  Report report;
  report.ran = !FileBytes(path).empty();
  for (const auto& [key, value] : ReadRecordLines(path)) {
    if (key == "file") {
      std::vector<std::string> fields = Split(value, '|');
      const std::string name = fields[0];
      fields.erase(fields.begin());
      report.files[name] = fields;
    } else {
      report.values[key] = value;
    }
  }
  return report;
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "%08lx", static_cast<unsigned long>(value));
  return text;
}

struct RunResult {
  DWORD exit_code = 0xFFFFFFFF;
  int boxes_answered = 0;
  bool finished = false;
};

class SelfExtractorTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeFolder(temp));
    ASSERT_TRUE(MakeFolder(download));
    ASSERT_FALSE(stub_bytes().empty()) << "MRV_STUB names no stub";
    SetEnvironmentVariableA("TMP", temp.c_str());
    SetEnvironmentVariableA("TEMP", temp.c_str());
    SetEnvironmentVariableA("MRV_PROBE_REPORT", report.c_str());
    for (const char* name : {"MRV_PROBE_EXIT", "MRV_PROBE_LEAVE", "MRV_PROBE_SLEEP"})
      SetEnvironmentVariableA(name, nullptr);
  }

  void TearDown() override {
    SetEnvironmentVariableA("TMP", saved_tmp_.c_str());
    SetEnvironmentVariableA("TEMP", saved_tmp_.c_str());
  }

  static const std::string& stub_bytes() {
    static const std::string bytes = FileBytes(FromEnvironment("MRV_STUB"));
    return bytes;
  }
  static const std::string& probe_bytes() {
    static const std::string bytes = FileBytes(FromEnvironment("MRV_PROBE"));
    return bytes;
  }

  // What a release ships: the setup program, a stored cabinet and a settings file.
  std::vector<ZipEntry> SetupPayload() const {
    return {{"mrv.exe", probe_bytes()}, {"mrv.cab", NoiseBytes(1500000), 0}, {"mrv.cfg", "[setup]\r\nlang=auto\r\n", 8, 0x356973DD}};
  }

  std::string Pack(const std::vector<ZipEntry>& entries) {
    EXPECT_TRUE(WriteZip(sfx, entries, stub_bytes()));
    return sfx;
  }

  // Starts the self-extractor from the download folder, as a double click
  // would, and waits for it. The shell's error box, where it comes, is
  // answered like a user would.
  RunResult Run(const std::string& program) {
    RunResult result;
    const HANDLE process = Start(program);
    if (!process) return result;
    for (int tick = 0; tick < 1200; ++tick) {
      if (WaitForSingleObject(process, 100) == WAIT_OBJECT_0) {
        result.finished = true;
        break;
      }
      AnswerErrorBoxes(GetProcessId(process), result);
    }
    if (!result.finished) TerminateProcess(process, 99);
    GetExitCodeProcess(process, &result.exit_code);
    CloseHandle(process);
    return result;
  }

  // Starts `program` from the download folder; its process handle, or null.
  HANDLE Start(const std::string& program) {
    std::string command = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, download.c_str(),
                        &startup, &process))
      return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
  }

  static void AnswerErrorBoxes(DWORD process_id, RunResult& result) {
    HWND box = nullptr;
    while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(box, &owner);
      if (owner == process_id && IsWindowVisible(box)) {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        ++result.boxes_answered;
        Sleep(300);
      }
    }
  }

  std::string WorkingFolder(int number) const { return temp + "\\_MrvSfx" + std::to_string(number); }

  ScratchFolder scratch;
  std::string temp = scratch / "temp";
  std::string download = scratch / "download";
  std::string report = scratch / "report.txt";
  std::string sfx = download + "\\setup.exe";
  std::string saved_tmp_ = TempFolder();
};

TEST_F(SelfExtractorTest, UnpacksRunsTheSetupAndCleansUp) {
  const std::vector<ZipEntry> payload = SetupPayload();
  const RunResult run = Run(Pack(payload));
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_EQ(run.boxes_answered, 0);

  const Report seen = ReadReport(report);
  ASSERT_TRUE(seen.ran);
  const std::string folder = WorkingFolder(0);
  EXPECT_EQ(seen.values.at("cmdline"), "\"" + folder + "\\mrv.exe\"");
  EXPECT_EQ(seen.values.at("folder"), folder);
  EXPECT_EQ(seen.values.at("cwd"), download);
  ASSERT_EQ(seen.files.size(), 3u);
  for (const ZipEntry& entry : payload) {
    ASSERT_EQ(seen.files.count(entry.name), 1u) << entry.name;
    EXPECT_EQ(seen.files.at(entry.name)[0], std::to_string(entry.data.size())) << entry.name;
    EXPECT_EQ(seen.files.at(entry.name)[1], Hex(Crc32(entry.data))) << entry.name;
  }
  // 2006-11-09 14:30:58 in the archive: to the minute, as local time now.
  FILETIME expected;
  ASSERT_TRUE(DateValueToFileTime(MakeDateValue(2006, 11, 9, 14, 30, 0), expected));
  EXPECT_EQ(seen.files.at("mrv.cfg")[2],
            std::to_string((static_cast<ULONGLONG>(expected.dwHighDateTime) << 32) | expected.dwLowDateTime));
  EXPECT_EQ(seen.values.at("window"), "1");
  EXPECT_EQ(seen.values.at("window_visible"), "0") << "hidden while the setup runs";
  EXPECT_TRUE(Names(temp).empty()) << "the working folder is gone";
  EXPECT_EQ(Names(download), (std::vector<std::string>{"setup.exe"}));
}

TEST_F(SelfExtractorTest, ShowsTheMessageOfTheUsersLanguage) {
  const char* expected = std::getenv("MRV_EXPECT_MESSAGE");
  if (!expected) GTEST_SKIP() << "ctest runs this once per language";
  ASSERT_TRUE(Run(Pack(SetupPayload())).finished);
  EXPECT_EQ(ReadReport(report).values.at("message"), expected);
}

TEST_F(SelfExtractorTest, TakesTheFirstFreeFolderAndLeavesTheOthers) {
  for (int n : {0, 1, 3}) {
    ASSERT_TRUE(MakeFolder(WorkingFolder(n)));
    ASSERT_TRUE(MakeFile(WorkingFolder(n) + "\\mine.txt", "mine"));
  }
  ASSERT_TRUE(MakeFile(WorkingFolder(2), "a plain file"));
  ASSERT_TRUE(Run(Pack(SetupPayload())).finished);
  EXPECT_EQ(ReadReport(report).values.at("folder"), WorkingFolder(2));
  EXPECT_EQ(Names(temp), (std::vector<std::string>{"_MrvSfx0", "_MrvSfx1", "_MrvSfx3"}));
  for (int n : {0, 1, 3}) EXPECT_EQ(FileBytes(WorkingFolder(n) + "\\mine.txt"), "mine");
}

TEST_F(SelfExtractorTest, ExitsWithZeroWhateverTheSetupReturns) {
  SetEnvironmentVariableA("MRV_PROBE_EXIT", "5");
  const RunResult run = Run(Pack(SetupPayload()));
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_TRUE(ReadReport(report).ran);
}

TEST_F(SelfExtractorTest, RemovesWhatTheSetupLeftOnlyAfterItEnded) {
  SetEnvironmentVariableA("MRV_PROBE_LEAVE", "1");
  SetEnvironmentVariableA("MRV_PROBE_SLEEP", "2000");
  const ULONGLONG start = GetTickCount64();
  const RunResult run = Run(Pack(SetupPayload()));
  ASSERT_TRUE(run.finished);
  EXPECT_GE(GetTickCount64() - start, 2000u) << "did not wait for the setup program";
  EXPECT_TRUE(Names(temp).empty());
}

struct BrokenCase {
  const char* title;
  std::vector<ZipEntry> entries;  // the payload; "NoPayload" and "Truncated" make their own
};

TEST_F(SelfExtractorTest, CorruptEntryIsNotDeliveredAndTheRestIs) {
  std::vector<ZipEntry> payload = SetupPayload();
  payload[1].crc = Crc32(payload[1].data) ^ 1;
  ASSERT_TRUE(Run(Pack(payload)).finished);
  const Report seen = ReadReport(report);
  ASSERT_TRUE(seen.ran);
  EXPECT_EQ(seen.files.count("mrv.cab"), 0u);
  EXPECT_EQ(seen.files.count("mrv.cfg"), 1u);
  EXPECT_TRUE(Names(temp).empty());
}

TEST_F(SelfExtractorTest, HostileNamesWriteNothingOutsideTheWorkingFolder) {
  std::vector<ZipEntry> payload = SetupPayload();
  for (const char* name : {"../evil.txt", "..\\..\\evil.txt", "/evil.txt", "C:\\evil.txt", "sub/../../evil.txt",
                           "nul", "x:y.txt", "a?.txt"})
    payload.push_back({name, "evil"});
  ASSERT_TRUE(Run(Pack(payload)).finished);
  const Report seen = ReadReport(report);
  ASSERT_TRUE(seen.ran);
  // "C:\evil.txt" has the file part "evil.txt", which is harmless in the working folder.
  EXPECT_EQ(seen.files.size(), 4u);
  EXPECT_TRUE(Names(temp).empty());
  EXPECT_EQ(Names(download), (std::vector<std::string>{"setup.exe"}));
  EXPECT_EQ(Names(scratch.path()), (std::vector<std::string>{"download", "report.txt", "temp"}));
  EXPECT_FALSE(Exists("C:\\evil.txt"));
}

class PayloadWithoutSetupTest : public SelfExtractorTest, public testing::WithParamInterface<BrokenCase> {};

TEST_P(PayloadWithoutSetupTest, EndsWithZeroAndLeavesNothing) {
  std::string program;
  if (std::string(GetParam().title) == "NoPayload") {
    program = download + "\\plain.exe";
    ASSERT_TRUE(MakeFile(program, stub_bytes()));
  } else if (std::string(GetParam().title) == "Truncated") {
    program = Pack(SetupPayload());
    std::string bytes = FileBytes(program);
    ASSERT_TRUE(MakeFile(program, bytes.substr(0, bytes.size() - 1000)));
  } else {
    program = Pack(GetParam().entries);
  }
  const RunResult run = Run(program);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_FALSE(ReadReport(report).ran);
  // The shell's own error box for the missing mrv.exe.
  EXPECT_EQ(run.boxes_answered, 1);
  EXPECT_TRUE(Names(temp).empty());
}

void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.title; }

INSTANTIATE_TEST_SUITE_P(Payloads, PayloadWithoutSetupTest,
                         testing::Values(BrokenCase{"Empty", {}}, BrokenCase{"NoSetupProgram", {{"mrv.cfg", "x"}}},
                                         BrokenCase{"NoPayload", {}}, BrokenCase{"Truncated", {}}),
                         [](const testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.title); });

TEST_F(SelfExtractorTest, EveryNumberTakenTouchesNothing) {
  for (int n = 0; n <= 1000; ++n) ASSERT_TRUE(MakeFolder(WorkingFolder(n)));
  const RunResult run = Run(Pack(SetupPayload()));
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_FALSE(ReadReport(report).ran);
  EXPECT_EQ(Names(temp).size(), 1001u);
  EXPECT_TRUE(Names(WorkingFolder(1000)).empty());
}

TEST_F(SelfExtractorTest, CloseRequestFromAnotherProgramIsSwallowed) {
  // Enough entries that the window is up for a while.
  std::vector<ZipEntry> payload = SetupPayload();
  for (int i = 0; i < 400; ++i) payload.push_back({"data" + std::to_string(i) + ".bin", TextBytes(20000, i)});
  const HANDLE process = Start(Pack(payload));
  ASSERT_NE(process, nullptr);
  int closes = 0;
  for (int i = 0; i < 600 && WaitForSingleObject(process, 20) == WAIT_TIMEOUT; ++i) {
    HWND window = FindWindowA("WindowClass_0", "Morvel SFX");
    if (window && IsWindowVisible(window)) {
      PostMessageA(window, WM_CLOSE, 0, 0);
      ++closes;
    }
  }
  WaitForSingleObject(process, 60000);
  DWORD code = 99;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  EXPECT_GT(closes, 0) << "the window was never seen";
  EXPECT_EQ(code, 0u);
  const Report seen = ReadReport(report);
  ASSERT_TRUE(seen.ran) << "the run was cut short";
  EXPECT_EQ(seen.files.size(), payload.size());
}

}  // namespace

namespace {

// DLLs the stub loads at run time, planted beside it as canaries.
const char* const kPlantedDlls[] = {"imagehlp.dll", "dbghelp.dll", "shell32.dll"};

class PlantedDllTest : public SelfExtractorTest {
 protected:
  void SetUp() override {
    // Wine takes a native DLL from a program's folder where its overrides
    // allow it; they come from the Unix environment, so ctest sets them.
    const char* overrides = std::getenv("WINEDLLOVERRIDES");
    if (!overrides || !std::strstr(overrides, "imagehlp")) GTEST_SKIP() << "ctest runs this with DLL overrides";
    SelfExtractorTest::SetUp();
    const std::string canary = FromEnvironment("MRV_CANARY");
    for (const char* name : kPlantedDlls) ASSERT_TRUE(CopyFileA(canary.c_str(), (download + "\\" + name).c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(FromEnvironment("MRV_LOAD_BESIDE").c_str(), (download + "\\load.exe").c_str(), FALSE));
    SetEnvironmentVariableA("MRV_CANARY_MARK", mark.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("MRV_CANARY_MARK", nullptr);
    SelfExtractorTest::TearDown();
  }
  std::string mark = scratch / "canary-ran.txt";
};

TEST_F(PlantedDllTest, CanaryRunsForAProgramThatTrustsTheSearchOrder) {
  for (const char* name : kPlantedDlls) {
    DeleteFileA(mark.c_str());
    Run(download + "\\load.exe\" \"" + name);
    EXPECT_NE(FileBytes(mark).find(download), std::string::npos) << name << " was not taken from beside the program";
  }
}

TEST_F(PlantedDllTest, StubNeverLoadsADllFromItsFolder) {
  ASSERT_TRUE(Run(Pack(SetupPayload())).finished);
  EXPECT_TRUE(ReadReport(report).ran);
  // Without mrv.exe the stub goes on to the shell, which it loads then.
  ASSERT_TRUE(Run(Pack({{"mrv.cfg", "x"}})).finished);
  EXPECT_EQ(FileBytes(mark), "");
}

}  // namespace
