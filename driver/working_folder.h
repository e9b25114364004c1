#pragma once
// Claiming a fresh working folder under the temporary folder.

#include <string_view>

#include "host/path_text.h"

inline constexpr int kLastCandidate = 1000;

// `temp_folder` followed at once by "_MrvSfx" and `number` in decimal; false
// when that does not fit in a path.
bool CandidateName(std::string_view temp_folder, int number, PathText& name);

// Tries the candidates 0 to kLastCandidate in rising order. A candidate that is
// an existing folder is left alone; otherwise a plain file of that name is
// deleted and the folder created. The first candidate whose folder could be
// created is the working folder. False when none could be claimed.
bool ClaimWorkingFolder(std::string_view temp_folder, PathText& folder);
