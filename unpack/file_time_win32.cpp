#include "unpack/file_time.h"

#include <time.h>

bool DateValueToFileTime(DateValue value, FILETIME& file_time) {
  file_time = {};
  if (value == kInvalidDate) return false;
  __time32_t instant = value;
  const struct tm* fields = _gmtime32(&instant);
  if (!fields) return false;
  SYSTEMTIME calendar = {};
  calendar.wYear = static_cast<WORD>(fields->tm_year + 1900);
  calendar.wMonth = static_cast<WORD>(fields->tm_mon + 1);
  calendar.wDayOfWeek = static_cast<WORD>(fields->tm_wday);
  calendar.wDay = static_cast<WORD>(fields->tm_mday);
  calendar.wHour = static_cast<WORD>(fields->tm_hour);
  calendar.wMinute = static_cast<WORD>(fields->tm_min);
  calendar.wSecond = static_cast<WORD>(fields->tm_sec);
  FILETIME local;
  // LocalFileTimeToFileTime applies the offset in force now, daylight saving
  // included when it is in force now, as Windows does for FAT times.
  return SystemTimeToFileTime(&calendar, &local) && LocalFileTimeToFileTime(&local, &file_time);
}

void StampWriteTime(HANDLE file, DateValue value) {
  FILETIME last_write;
  if (DateValueToFileTime(value, last_write)) SetFileTime(file, nullptr, nullptr, &last_write);
}
