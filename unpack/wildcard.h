#pragma once
// Selection of archive entries by wildcard pattern.

#include <string_view>

// 1 when `name` matches `pattern`, 0 when not. "*" takes a run of at least one
// character and stops at the first occurrence of the character after it, "?"
// takes one character, "|" separates alternatives. ASCII letters and the
// capitals 0xC0 to 0xDE of the upper half match without regard to case. A name
// without "." is matched as if it ended with one, and a name that then begins
// with "." as if a "*" stood in front of it.
int MatchWildcard(std::string_view name, std::string_view pattern);
