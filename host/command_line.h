#pragma once
// The pieces of a program start that need no platform.

#include <cstddef>
#include <string_view>

// Bytes of the buffer BuildCommandLine needs: the program, the parameters, two
// quotes, a space and the terminator.
std::size_t CommandLineCapacity(std::string_view program, std::string_view parameters);

// Writes into `buffer` (of CommandLineCapacity bytes) the program between
// double quotes, unless it already begins with one, followed by a space and
// the parameters when there are any.
void BuildCommandLine(std::string_view program, std::string_view parameters, char* buffer);

// The folder the shell is to start `program` in when the caller named none:
// the text up to and including its last backslash, unless that backslash is
// its first character; empty for none.
std::string_view ProgramFolder(std::string_view program);
