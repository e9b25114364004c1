#pragma once
// What the self-extractor needs of a payload archive, checked before it ships.

#include <cstdint>
#include <string>
#include <vector>

struct PayloadFinding {
  std::string entry;  // empty for the archive as a whole
  std::string rule;
};

struct PayloadVerdict {
  std::vector<PayloadFinding> refusals;
  std::vector<PayloadFinding> warnings;
  std::size_t entries = 0;
};

// Checks a ZIP archive, given as its bytes, against everything the stub
// requires to unpack it faithfully into its flat working folder.
PayloadVerdict CheckPayload(const std::string& archive);
