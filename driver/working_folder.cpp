#include "driver/working_folder.h"

#include "host/file_system.h"

bool CandidateName(std::string_view temp_folder, int number, PathText& name) {
  char digits[12];
  int count = 0;
  unsigned value = static_cast<unsigned>(number);
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  if (!JoinPath(name, temp_folder, "_MrvSfx")) return false;
  while (count > 0) {
    if (!name.Append(digits[--count])) return false;
  }
  return true;
}

bool ClaimWorkingFolder(std::string_view temp_folder, PathText& folder) {
  for (int number = 0; number <= kLastCandidate; ++number) {
    PathText name;
    if (!CandidateName(temp_folder, number, name)) break;  // none of them fits
    if (ProbePath(name.c_str()) == ProbeFolder) continue;
    DeleteFileAt(name.c_str());
    if (CreateFolder(name.c_str())) {
      folder = name;
      return true;
    }
  }
  folder.Assign({});
  return false;
}
