#pragma once
// File times from entry dates.

#include <windows.h>

#include "unpack/date_value.h"

// The UTC file time of `value` read as local time, with the offset from UTC in
// force now. False (and `file_time` zero) for a value the calendar split or the
// conversions refuse, kInvalidDate among them.
bool DateValueToFileTime(DateValue value, FILETIME& file_time);

// Sets the last-write time of `file`, open for writing, from `value`; creation
// and last-access times stay. A value that converts to no time leaves the
// file's time as it was written. It takes the open file rather than a path:
// opening a file once more costs about as much as writing a small one.
void StampWriteTime(HANDLE file, DateValue value);
