#pragma once
// Unpacking the entries of a ZIP archive into a folder.

#include "unpack/unpack_output.h"

// Told the entry name (valid only during the call) and the share of the
// archive's entries dealt with so far, 0.0 to 100.0. The result is ignored.
using ProgressCallback = int (*)(const char* name, float percent);

// Unpack modes.
inline constexpr int UnpackFlat = 0;         // every file straight into the destination
inline constexpr int UnpackWithFolders = 1;  // files in the folders their names give

// Registers the callback every UnpackArchive call reports to (null: none). Returns 0.
int SetOverallProgressCallback(ProgressCallback callback);

// Unpacks the entries of the archive at `archive_path` whose file part matches
// `pattern` ("" for "*.*") into `destination`, through `output`. Every entry
// is checked for its declared size and CRC-32; one that fails leaves no file.
// Returns the count of files written.
int UnpackArchiveTo(UnpackOutput& output, const char* archive_path, const char* pattern,
                    const char* destination, int mode);

// UnpackArchiveTo with the platform's own file output.
int UnpackArchive(const char* archive_path, const char* pattern, const char* destination, int mode);
