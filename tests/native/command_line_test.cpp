#include "host/command_line.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

namespace {

struct CommandCase {
  std::string program;
  std::string parameters;
  std::string command_line;
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << "'" << c.program << "' '" << c.parameters << "'"; }

class CommandLineTest : public testing::TestWithParam<CommandCase> {};

TEST_P(CommandLineTest, QuotesTheProgramAndAppendsTheParameters) {
  const CommandCase& c = GetParam();
  const std::size_t capacity = CommandLineCapacity(c.program, c.parameters);
  EXPECT_EQ(capacity, c.program.size() + c.parameters.size() + 4);
  // One guard byte past the buffer shows that nothing is written beyond it.
  std::vector<char> buffer(capacity + 1, '#');
  BuildCommandLine(c.program, c.parameters, buffer.data());
  EXPECT_EQ(std::string(buffer.data()), c.command_line);
  EXPECT_EQ(buffer[capacity], '#');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    testing::Values(
        CommandCase{"C:\\users\\me\\Temp\\_MrvSfx0\\mrv.exe", "", "\"C:\\users\\me\\Temp\\_MrvSfx0\\mrv.exe\""},
        CommandCase{"C:\\Program Files\\x.exe", "", "\"C:\\Program Files\\x.exe\""},
        CommandCase{"x.exe", "/s  two words", "\"x.exe\" /s  two words"},
        CommandCase{"\"C:\\a b\\x.exe\" /q", "", "\"C:\\a b\\x.exe\" /q"},
        CommandCase{"\"unclosed", "p", "\"unclosed p"},
        CommandCase{"", "", "\"\""}));

struct FolderCase {
  std::string program;
  std::string folder;
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << "'" << c.program << "'"; }

class ProgramFolderTest : public testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolderTest, IsTheTextUpToTheLastBackslash) {
  EXPECT_EQ(ProgramFolder(GetParam().program), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramFolderTest,
                         testing::Values(FolderCase{"C:\\a\\b\\x.txt", "C:\\a\\b\\"},
                                         FolderCase{"C:\\x.txt", "C:\\"}, FolderCase{"x.txt", ""},
                                         FolderCase{"\\x.txt", ""}, FolderCase{"\\a\\x.txt", "\\a\\"},
                                         FolderCase{"", ""}));

}  // namespace
