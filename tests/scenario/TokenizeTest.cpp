#include "scenario/Tokenize.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace dovetrel {
namespace {

struct TokenizeCase {
  std::string_view s;
  std::string_view delimiters;
  std::ptrdiff_t nStart;
  std::string_view word;
  std::ptrdiff_t nAfter;
};

void PrintTo(const TokenizeCase& c, std::ostream* pOut) {
  *pOut << '"' << c.s << "\" from " << c.nStart;
}

class TokenizeTable : public testing::TestWithParam<TokenizeCase> {};

TEST_P(TokenizeTable, GivesWordAndNextPosition) {
  const TokenizeCase& c = GetParam();
  std::ptrdiff_t nPos = c.nStart;
  EXPECT_EQ(Tokenize(c.s, c.delimiters, nPos), c.word);
  EXPECT_EQ(nPos, c.nAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Words, TokenizeTable,
    testing::Values(
        // The timeout word leaves the position one past the byte after it.
        TokenizeCase{"10   welcome.wav", " ", 0, "10", 3},
        // A word that ends the string leaves the position at its length plus one.
        TokenizeCase{"10   welcome.wav", " ", 5, "welcome.wav", 17},
        TokenizeCase{"   lead", " ", 0, "lead", 8},
        // A word reaching into the start column is found from there on, without its beginning.
        TokenizeCase{"abcdef menu", " ", 5, "f", 7},
        TokenizeCase{"1 menu sales.ivr", " ", 5, "u", 7},
        // The tab is an ordinary character.
        TokenizeCase{"1\tmenu\tsales.ivr", " ", 0, "1\tmenu\tsales.ivr", 17},
        // Nothing but delimiters, or nothing at all, from the start column on.
        TokenizeCase{"     ", " ", 0, "", -1}, TokenizeCase{"", " ", 0, "", -1},
        TokenizeCase{"abc", " ", 3, "", -1}, TokenizeCase{"abc", " ", 99, "", -1},
        TokenizeCase{"abc   ", " ", 3, "", -1},
        // Cutting a name at its first dot; leading dots are skipped.
        TokenizeCase{"main.ivr", ".", 0, "main", 5}, TokenizeCase{"a.b.ivr", ".", 0, "a", 2},
        TokenizeCase{"noext", ".", 0, "noext", 6}, TokenizeCase{"..x.ivr", ".", 0, "x", 4},
        TokenizeCase{"...", ".", 0, "", -1},
        // Any of several delimiters separates words.
        TokenizeCase{"a.b c", ". ", 2, "b", 4}));

TEST(Tokenize, NegativePositionIsACallersMistake) {
  std::ptrdiff_t nPos = -1;
  EXPECT_THROW(Tokenize("abc", " ", nPos), std::invalid_argument);
  nPos = -7;
  EXPECT_THROW(Tokenize("abc", " ", nPos), std::invalid_argument);
}

TEST(Tokenize, BytesAboveAsciiAreWordCharacters) {
  // Windows-1251 "меню" and UTF-8 "д" hold no byte equal to a space or a dot.
  std::ptrdiff_t nPos = 0;
  EXPECT_EQ(Tokenize("\xEC\xE5\xED\xFE \xD0\xB4.x", " ", nPos), "\xEC\xE5\xED\xFE");
  EXPECT_EQ(Tokenize("\xEC\xE5\xED\xFE \xD0\xB4.x", " .", nPos), "\xD0\xB4");
}

} // namespace
} // namespace dovetrel
