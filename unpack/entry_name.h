#pragma once
// The parts of an entry name the unpack routine works with. Names use "\" as
// separator here: the routine has replaced every "/" before.

#include <string_view>

// The name without leading and trailing space characters (code 32 only).
std::string_view TrimSpaces(std::string_view name);

// The text after the last "\" (the whole name without one). A leading double
// quote is skipped, and then the part stops before the next double quote.
std::string_view FilePart(std::string_view name);

// The text up to and including the last "\" before the first "|"; empty without
// one. A leading double quote is skipped.
std::string_view FolderPart(std::string_view name);

// Everything after the first ":\", or the whole name without one.
std::string_view RemoveDrivePrefix(std::string_view name);

// Whether an output name, relative to the destination, stays inside it and
// names a plain file or folder: no "." or ".." component, no leading "\", no
// ":" (drive or alternate stream), no control character, none of <>"|?*, and no
// component that Windows takes for a device (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, with or without an extension).
bool IsSafeOutputName(std::string_view name);
