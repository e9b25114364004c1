#include "host/command_line.h"

#include <cstring>

#include "host/text_view.h"

std::size_t CommandLineCapacity(std::string_view program, std::string_view parameters) {
  return program.size() + parameters.size() + 4;
}

void BuildCommandLine(std::string_view program, std::string_view parameters, char* buffer) {
  const bool quote = program.empty() || program.front() != '"';
  char* out = buffer;
  if (quote) *out++ = '"';
  std::memcpy(out, program.data(), program.size());
  out += program.size();
  if (quote) *out++ = '"';
  if (!parameters.empty()) {
    *out++ = ' ';
    std::memcpy(out, parameters.data(), parameters.size());
    out += parameters.size();
  }
  *out = '\0';
}

std::string_view ProgramFolder(std::string_view program) {
  const std::string_view::size_type slash = program.rfind('\\');
  if (slash == std::string_view::npos || slash == 0) return {};
  return Head(program, slash + 1);
}
