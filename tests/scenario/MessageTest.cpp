#include "scenario/Message.h"

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

TEST(FormatDetail, EscapesEveryPartButKeepsTheNotesLines) {
  const Finding detail{.code = FindingCode::CannotOpenFile,
                       .strFile = "/s/\x1B.ivr",
                       .nLine = 2,
                       .strNote = "one\ttab\nline two",
                       .strNamedAt = "/s/main.ivr:3"};
  EXPECT_EQ(FormatDetail(detail), "/s/\\x1B.ivr:2: one\\ttab\nline two (указан в /s/main.ivr:3)");
}

} // namespace
} // namespace dovetrel
