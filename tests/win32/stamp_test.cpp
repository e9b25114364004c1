// Last-write times from entry dates, on real files. ctest runs this in more
// than one zone (TZ).

#include "unpack/file_time.h"

#include <gtest/gtest.h>

#include "tests/win32/scratch.h"

namespace {

constexpr ULONGLONG kTicksPerSecond = 10000000ULL;
constexpr ULONGLONG kUnixEpochTicks = 116444736000000000ULL;  // 1970-01-01 in 1601 ticks

ULONGLONG Ticks(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Minutes to add to local time for UTC now, daylight saving included when it
// is in force now: worked out from the zone's own rules.
LONG CurrentBiasMinutes() {
  TIME_ZONE_INFORMATION zone;
  const DWORD id = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias;
  if (id == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  else if (id == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  return bias;
}

class StampTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(MakeFile(path, "data")); }
  // Stamps the file through a handle of its own, as the unpack output does.
  void Stamp(DateValue value) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    StampWriteTime(file, value);
    CloseHandle(file);
  }
  ScratchFolder scratch;
  std::string path = scratch / "stamped.txt";
};

TEST_F(StampTest, SummerAndWinterDatesUseTheOffsetInForceNow) {
  for (DateValue value : {MakeDateValue(2006, 7, 1, 12, 0, 0), MakeDateValue(2006, 1, 15, 12, 0, 0)}) {
    Stamp(value);
    const ULONGLONG expected = kUnixEpochTicks + static_cast<ULONGLONG>(value) * kTicksPerSecond +
                               static_cast<LONGLONG>(CurrentBiasMinutes()) * 60 * static_cast<LONGLONG>(kTicksPerSecond);
    EXPECT_EQ(WriteTime(path), expected) << "value " << value << ", bias " << CurrentBiasMinutes();
  }
}

TEST_F(StampTest, LeavesCreationAndAccessTimes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME fixed;
  fixed.dwLowDateTime = 0x12345678;
  fixed.dwHighDateTime = 0x01C00000;
  SetFileTime(file, nullptr, &fixed, nullptr);
  CloseHandle(file);
  Stamp(MakeDateValue(2006, 11, 9, 14, 30, 0));
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(Ticks(data.ftLastAccessTime) / kTicksPerSecond, Ticks(fixed) / kTicksPerSecond);
  EXPECT_NE(Ticks(data.ftLastWriteTime), Ticks(data.ftLastAccessTime));
}

TEST_F(StampTest, InvalidDateLeavesTheTimeOfWriting) {
  const ULONGLONG written = WriteTime(path);
  Stamp(kInvalidDate);
  EXPECT_EQ(WriteTime(path), written);
  FILETIME converted;
  EXPECT_FALSE(DateValueToFileTime(kInvalidDate, converted));
}

}  // namespace
