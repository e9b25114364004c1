#include "unpack/wildcard.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace {

struct MatchCase {
  std::string name;
  std::string pattern;
  int expected;
};

void PrintTo(const MatchCase& c, std::ostream* os) { *os << "'" << c.name << "' ~ '" << c.pattern << "'"; }

class MatchWildcardTest : public testing::TestWithParam<MatchCase> {};

TEST_P(MatchWildcardTest, GivesTheDocumentedResult) {
  const MatchCase& c = GetParam();
  EXPECT_EQ(MatchWildcard(c.name, c.pattern), c.expected)
      << "name '" << c.name << "' pattern '" << c.pattern << "'";
}

// The documented worked examples, then cases that catch a wrong reading of
// the scan.
INSTANTIATE_TEST_SUITE_P(
    Examples, MatchWildcardTest,
    testing::Values(
        MatchCase{"setup.exe", "*.*", 1}, MatchCase{"README", "*.*", 1},
        MatchCase{".htaccess", "*.*", 1}, MatchCase{"", "*.*", 1}, MatchCase{"a.b.c", "*.*", 1},
        MatchCase{"SETUP.EXE", "*.exe", 1}, MatchCase{".txt", "*.txt", 1},
        MatchCase{"a.txt", "*a.txt", 0}, MatchCase{"ba.txt", "*a.txt", 1},
        MatchCase{"a.txt.doc", "*.doc", 0}, MatchCase{"a.txt", "?.txt", 1},
        MatchCase{"ab.txt", "?.txt", 0}, MatchCase{"a.tx", "a.???", 0},
        MatchCase{"ab.txt", "*?.txt", 1}, MatchCase{"a.txt", "*?.txt", 0},
        MatchCase{"a.txt", "**.txt", 1}, MatchCase{"abc", "abc", 1}, MatchCase{"ABC", "abc", 1},
        MatchCase{"abc", "abc.", 1}, MatchCase{"abc", "?bc", 0}, MatchCase{"abc", "a*", 1},
        MatchCase{"abc", "*", 1}, MatchCase{"", "", 1}, MatchCase{"a", "", 0},
        MatchCase{".hidden", ".h*", 0}, MatchCase{".hidden", ".hidden", 1},
        MatchCase{"\xC4.txt", "\xE4.txt", 1},
        // Alternatives.
        MatchCase{"a.doc", "*.txt|*.doc", 1}, MatchCase{"a.txt", "*.*|*.doc", 1},
        MatchCase{"ab.x", "a|b.x", 0}, MatchCase{"a.x", "a.*|b.*", 1}, MatchCase{"b.x", "a.*|b.*", 1},
        MatchCase{"a.b", "a.b|", 1}, MatchCase{"a.b", "|a.b", 1},
        // "*.*" takes names holding the pattern characters themselves.
        MatchCase{"a*b?c|d", "*.*", 1}, MatchCase{"x.y.z.", "*.*", 1},
        // A pending star survives "?": "?" takes 'a', the star 'bc'.
        MatchCase{"abcd.txt", "*?d.txt", 1},
        // A failed alternative restarts at the name's first character.
        MatchCase{"b.x", "bb|b.x", 1}, MatchCase{"xa.x", "x*b|xa.x", 1},
        MatchCase{"a.x", "b|c|a.x", 1}, MatchCase{"a.x", "b|c|d", 0},
        // Alternatives are tried only after the previous one failed or ended.
        MatchCase{"a.x", "a.x|zzz", 1},
        // Folding covers 0xC0 to 0xDE whole, 0xD7 included, and nothing else.
        MatchCase{"\xD7.txt", "\xF7.txt", 1}, MatchCase{"\xDE", "\xFE", 1},
        MatchCase{"\xDF.txt", "\xFF.txt", 0}, MatchCase{"\xBF.txt", "\xDF.txt", 0},
        MatchCase{"\x9A.txt", "\x8A.txt", 0}, MatchCase{"[.txt", "{.txt", 0},
        MatchCase{"\xC9T\xC9.DOC", "*.doc", 1},
        // The star stops at the first occurrence: no backtracking.
        MatchCase{"aXbXc.txt", "*X*.txt", 1}, MatchCase{"aXbXc.txt", "*Xc.txt", 0}));

}  // namespace
