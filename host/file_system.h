#pragma once
// File-system services the main sequence builds the working folder's life on.

#include <cstdint>

#include "host/path_text.h"

// ProbePath results besides a file's size.
inline constexpr std::int64_t ProbeAbsent = -1;
inline constexpr std::int64_t ProbeFolder = -2;

// DeleteTree flags.
inline constexpr unsigned TreeRecursive = 1;  // descend into sub-folders
inline constexpr unsigned TreeForce = 2;      // clear attributes before deleting

// The user's temporary folder in long form, ending with a backslash; empty when
// the platform cannot tell it.
void GetTempFolder(PathText& folder);

// The full path of the running executable; empty when the platform cannot tell it.
void OwnExecutablePath(PathText& path);

// The size of the file at `path`, ProbeFolder for a folder or a known drive
// root, ProbeAbsent for nothing there (or a path too long to name exactly).
std::int64_t ProbePath(const char* path);

// Deletes the file at `path`; attributes are left alone. Nonzero on success.
int DeleteFileAt(const char* path);

// Creates the last level of `path`, trailing spaces and separators cut first.
// Nonzero on success.
int CreateFolder(const char* path);

// Deletes what `pattern` selects in `folder` (and, with TreeRecursive, in its
// sub-folders), then the folder itself. Links are never entered. Nonzero when
// the folder itself was removed.
int DeleteTree(const char* folder, const char* pattern, unsigned flags);
