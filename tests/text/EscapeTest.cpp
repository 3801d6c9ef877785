// Escaping for a person and for a transcript, and decoding with the set's code page.

#include "text/Escape.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dovetrel {
namespace {

bool HasControl(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
  });
}

TEST(EscapeControls, NoByteLeavesAControlAndOthersStay) {
  for (int n = 0; n < 256; ++n) {
    std::string strText = "a";
    strText += static_cast<char>(n);
    strText += 'b';
    const std::string strEscaped = EscapeControls(strText);
    EXPECT_FALSE(HasControl(strEscaped)) << n;
    if (n >= 0x20 && n != 0x7F) {
      EXPECT_EQ(strEscaped, strText) << n;
    }
  }
}

TEST(EscapeControls, WritesEachControlOut) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"cr\rx", "cr\\rx"},
      {"\t\n", "\\t\\n"},
      {"\x1B[31m", "\\x1B[31m"},
      {std::string_view("a\0b", 3), "a\\x00b"},
      {"\x7F", "\\x7F"},
      {"\xC2\x9B"
       "2J",
       "\\x9B2J"},                              // a C1 control in UTF-8
      {"Главное меню", "Главное меню"},         // UTF-8 letters stay
      {"\xC3\xE2\xEE\xE4", "\xC3\xE2\xEE\xE4"}, // and so do Windows-1251 ones
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(EscapeControls(text), expected);
}

struct EscapeCase {
  std::string text; ///< UTF-8, or bytes that are not
  std::string escaped;
};

class Escapes : public testing::TestWithParam<EscapeCase> {};

TEST_P(Escapes, KeepEveryLineOneLineAndRoundTrip) {
  EXPECT_EQ(EscapeTranscriptText(GetParam().text), GetParam().escaped);
  EXPECT_EQ(UnescapeTranscriptText(GetParam().escaped), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Escapes,
    testing::Values(EscapeCase{"welcome.wav", "welcome.wav"}, EscapeCase{"a\\b", "a\\\\b"},
                    EscapeCase{"a\tb\rc", "a\\tb\\rc"}, EscapeCase{"a\nb\x1B", "a\\x0Ab\\x1B"},
                    EscapeCase{"\x7F", "\\x7F"}, EscapeCase{"приветствие.wav", "приветствие.wav"},
                    EscapeCase{"\xC2\x85", "\\xC2\\x85"}, // a C1 control, not the byte 0x85
                    EscapeCase{"\xC2\xA0", "\xC2\xA0"},   // no-break space: printable
                    EscapeCase{"a\xFF"
                               "b",
                               "a\\xFFb"},                           // a byte that is no UTF-8
                    EscapeCase{"\xD0", "\\xD0"},                     // a sequence cut short
                    EscapeCase{"\xED\xA0\x80", "\\xED\\xA0\\x80"})); // a surrogate

struct DecodeCase {
  std::string bytes;
  std::string encoding;
  std::string text;
};

class Decodes : public testing::TestWithParam<DecodeCase> {};

TEST_P(Decodes, TheSetsCodePageAndEscapeWhatItCannotDecode) {
  EXPECT_EQ(DecodeTranscriptText(GetParam().bytes, GetParam().encoding), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Decodes,
    testing::Values(DecodeCase{"\xEF\xF0\xE8\xE2\xE5\xF2.wav", "WINDOWS-1251", "привет.wav"},
                    DecodeCase{"a\x98"
                               "b\xFF",
                               "WINDOWS-1251", "a\\x98bя"},
                    DecodeCase{"\xD0\xBF\\x", "UTF-8", "п\\\\x"},
                    DecodeCase{"a\xD0", "UTF-8", "a\\xD0"}, DecodeCase{"\xF0\xD2", "KOI8-R", "Пр"},
                    DecodeCase{"tab\there", "UTF-8", "tab\\there"},
                    DecodeCase{"\xE9", "NO-SUCH-CODE-PAGE", "\\xE9"}));

} // namespace
} // namespace dovetrel
