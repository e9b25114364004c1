#include "unpack/date_value.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

struct DateCase {
  int year, month, day, hour, minute, second;
  DateValue expected;
};

void PrintTo(const DateCase& c, std::ostream* os) { *os << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":" << c.second; }

class MakeDateValueTest : public testing::TestWithParam<DateCase> {};

TEST_P(MakeDateValueTest, CountsTheFieldsAsUtc) {
  const DateCase& c = GetParam();
  EXPECT_EQ(MakeDateValue(c.year, c.month, c.day, c.hour, c.minute, c.second), c.expected)
      << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":" << c.second;
}

INSTANTIATE_TEST_SUITE_P(
    Values, MakeDateValueTest,
    testing::Values(DateCase{1970, 1, 1, 1, 2, 3, 3723}, DateCase{1980, 1, 1, 0, 0, 0, 315532800},
                    DateCase{2006, 11, 9, 14, 30, 0, 1163082600},
                    DateCase{2000, 2, 29, 0, 0, 0, 951782400}, DateCase{2004, 2, 29, 12, 0, 0, 1078056000},
                    DateCase{2038, 1, 19, 3, 14, 7, 2147483647},
                    DateCase{1999, 12, 31, 23, 59, 59, 946684799}));

INSTANTIATE_TEST_SUITE_P(
    Refusals, MakeDateValueTest,
    testing::Values(DateCase{2006, 2, 29, 0, 0, 0, kInvalidDate}, DateCase{2100, 2, 29, 0, 0, 0, kInvalidDate},
                    DateCase{3600, 2, 29, 0, 0, 0, kInvalidDate}, DateCase{2006, 4, 31, 0, 0, 0, kInvalidDate},
                    DateCase{2006, 6, 31, 0, 0, 0, kInvalidDate}, DateCase{2006, 9, 31, 0, 0, 0, kInvalidDate},
                    DateCase{2006, 11, 31, 0, 0, 0, kInvalidDate}, DateCase{2004, 2, 30, 0, 0, 0, kInvalidDate},
                    DateCase{2006, 0, 1, 0, 0, 0, kInvalidDate}, DateCase{2006, 13, 1, 0, 0, 0, kInvalidDate},
                    DateCase{2006, 1, 0, 0, 0, 0, kInvalidDate}, DateCase{2006, 1, 32, 0, 0, 0, kInvalidDate},
                    DateCase{2006, 1, 1, 24, 0, 0, kInvalidDate}, DateCase{2006, 1, 1, 0, 60, 0, kInvalidDate},
                    DateCase{2006, 1, 1, 0, 0, 60, kInvalidDate}, DateCase{2006, 1, 1, -1, 0, 0, kInvalidDate},
                    DateCase{0, 1, 1, 0, 0, 0, kInvalidDate},
                    // Past what a DateValue holds: the latest DOS dates.
                    DateCase{2038, 1, 19, 3, 14, 8, kInvalidDate}, DateCase{2107, 12, 31, 23, 59, 0, kInvalidDate}));

// The value never depends on the machine's zone, also in zones whose rules
// changed since 1970 (London kept UTC+1 all year then; Kiritimati moved from
// UTC-10:40 to UTC+14).
class TimeZoneTest : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TZ");
    saved_ = old ? old : "";
    had_ = old != nullptr;
    setenv("TZ", GetParam(), 1);
    tzset();
  }
  void TearDown() override {
    if (had_) setenv("TZ", saved_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }
  std::string saved_;
  bool had_ = false;
};

TEST_P(TimeZoneTest, GivesTheSameValueInEveryZone) {
  EXPECT_EQ(MakeDateValue(2006, 11, 9, 14, 30, 0), 1163082600);
  EXPECT_EQ(MakeDateValue(2006, 7, 1, 12, 0, 0), 1151755200);
  EXPECT_EQ(MakeDateValue(1980, 1, 1, 0, 0, 0), 315532800);
  EXPECT_EQ(MakeDateValue(1970, 1, 1, 1, 2, 3), 3723);
}

INSTANTIATE_TEST_SUITE_P(Zones, TimeZoneTest,
                         testing::Values("UTC", "Europe/Berlin", "America/New_York", "Asia/Kolkata",
                                         "Europe/London", "Pacific/Kiritimati", "America/St_Johns"));

}  // namespace
