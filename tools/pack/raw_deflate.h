#pragma once
// Raw deflate (no zlib header), the form a ZIP entry stores.

#include <string>

std::string RawDeflate(const std::string& data, int level);
