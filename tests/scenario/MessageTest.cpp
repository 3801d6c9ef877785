#include "scenario/Message.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

TEST(FormatDetail, EscapesEveryPartButKeepsTheNotesLines) {
  const MessageDetail detail{"/s/\x1B.ivr", 2, "one\ttab\nline two", FailureCode::CannotOpenFile,
                             "/s/main.ivr:3"};
  EXPECT_EQ(FormatDetail(detail), "/s/\\x1B.ivr:2: one\\ttab\nline two (указан в /s/main.ivr:3)");
}

} // namespace
} // namespace dovetrel
