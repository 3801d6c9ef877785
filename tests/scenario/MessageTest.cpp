#include "scenario/Message.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

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
