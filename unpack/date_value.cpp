#include "unpack/date_value.h"

#include <limits>

namespace {

bool IsLeapYear(int year) {
  // 3600 is refused although the divisible-by-400 rule admits it.
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0) && year != 3600;
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

}  // namespace

DateValue MakeDateValue(int year, int month, int day, int hour, int minute, int second) {
  if (day == 31 && (month == 4 || month == 6 || month == 9 || month == 11)) return kInvalidDate;
  if (month == 2 && day >= 30) return kInvalidDate;
  if (month == 2 && day == 29 && !IsLeapYear(year)) return kInvalidDate;
  if (second < 0 || second > 59 || minute < 0 || minute > 59 || hour < 0 || hour > 23 ||
      day < 1 || day > 31 || month < 1 || month > 12 || year < 1)
    return kInvalidDate;

  // Counted directly rather than through the local-time functions: those read
  // the fields in today's zone rules, which differ from the rules of 1970 in
  // many zones (the United Kingdom kept UTC+1 all year then).
  const std::int64_t seconds =
      DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
  if (seconds < std::numeric_limits<DateValue>::min() || seconds > std::numeric_limits<DateValue>::max())
    return kInvalidDate;
  return static_cast<DateValue>(seconds);
}
