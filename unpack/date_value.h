#pragma once
// Entry dates as the unpack routine hands them to the time stamp.

#include <cstdint>

// Seconds since 1970-01-01 00:00:00 with no time zone attached: the calendar
// fields counted as if they were UTC.
using DateValue = std::int32_t;
inline constexpr DateValue kInvalidDate = -1;

// The DateValue of the given calendar fields (month counted from 1), or
// kInvalidDate for a date that does not exist, a field out of range, or a date
// a DateValue cannot hold.
DateValue MakeDateValue(int year, int month, int day, int hour, int minute, int second);
