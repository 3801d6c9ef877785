// The one start of a call both front ends share: convert in memory, compile, report a fault.

#include "call/CallSetup.h"
#include "call/Texts.h"
#include "convert/Texts.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/MemoryFiles.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

TEST(PrepareCall, CompilesTheConvertedSetOrReportsTheRowAtFault) {
  test::CMemoryFiles files;
  files.Add("/s/main.ivr", "5    a.wav\n1    menu            x-y.ivr\n");
  files.Add("/s/x-y.ivr", "5    b.wav\n1    disconnect\n");
  ConversionOptions options;
  options.pFiles = &files;
  test::CCollectingMessages messages;
  // A file name that continues no identifier gives the classic condition Input_x-y=='1', which
  // the simulator does not run; the standard document names its forms on its own.
  EXPECT_FALSE(PrepareCall("/s/main.ivr", messages, options));
  messages.Expect(text::kConverted, MessageKind::Information);
  const Finding fault = messages.Expect(text::kCannotRunCall, MessageKind::Error).detail;
  EXPECT_EQ(fault.code, FindingCode::CannotRunCall);
  EXPECT_EQ(fault.strFile + ":" + std::to_string(fault.nLine), "/s/x-y.ivr:2");
  EXPECT_EQ(fault.strNote.rfind("строка 22 документа VoiceXML: условие", 0), 0U) << fault.strNote;

  options.dialect = Dialect::W3c;
  const std::optional<PreparedCall> prepared = PrepareCall("/s/main.ivr", messages, options);
  ASSERT_TRUE(prepared);
  EXPECT_NE(prepared->pProgram, nullptr);
  EXPECT_EQ(prepared->set.menus, (std::vector<std::string>{"main.ivr", "x-y.ivr"}));
  messages.Expect(text::kConverted, MessageKind::Information);
}

} // namespace
} // namespace dovetrel
