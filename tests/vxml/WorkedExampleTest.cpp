#include "tests/support/TempDir.h"
#include "tests/vxml/WriterFixture.h"
#include "vxml/Texts.h"

namespace dovetrel::test {
namespace {

class WorkedExample : public WriterTest {};

TEST_F(WorkedExample, GivesItsTwentyNineElements) {
  Table(WorkedExampleRows());
  ASSERT_TRUE(Write());
  EXPECT_EQ(Elements(), (std::vector<std::string>{
                            "vxml",
                            "  form id=main",
                            "    block",
                            "      property name=timeout value=10s",
                            "      audio src=welcome.wav",
                            "      field name=Input_main",
                            "        noinput",
                            "          goto next=#main",
                            "      filled name=Input_main",
                            "        if cond=Input_main=='1'",
                            "          goto next=#sales",
                            "        if cond=Input_main=='2'",
                            "          transfer name=Result dest=tel:123",
                            "        if cond=Input_main=='0'",
                            "          disconnect",
                            "      disconnect",
                            "  form id=sales",
                            "    block",
                            "      property name=timeout value=15s",
                            "      audio src=sales.wav",
                            "      field name=Input_sales",
                            "        noinput",
                            "          disconnect",
                            "      filled name=Input_sales",
                            "        if cond=Input_sales=='1'",
                            "          transfer name=Result dest=tel:123",
                            "          if cond=Result=='busy'",
                            "            goto next=#main",
                            "      disconnect",
                        }));
  EXPECT_EQ(output.m_nCommits, 1);
  EXPECT_EQ(output.m_nLiveStreams, 0);
}

TEST_F(WorkedExample, MatchesTheExpectedDocumentToTheByte) {
  Table(WorkedExampleRows());
  ASSERT_TRUE(Write());
  EXPECT_EQ(output.m_strDocument,
            ReadWholeFile(DOVETREL_SOURCE_DIR "/examples/worked/expected/main.vxml"));
}

TEST_F(WorkedExample, MakesTheWriterCallsInDocumentOrder) {
  Table(Scenario("m.ivr", {{kindDial, '1', "5"}, {kindMenu, 'b', "m.ivr"}}));
  ASSERT_TRUE(Write());
  EXPECT_EQ(output.m_vecCalls, (std::vector<std::string>{"output",
                                                         "indent",
                                                         "declaration",
                                                         "start:vxml", // header
                                                         "start:form",
                                                         "attr:id",
                                                         "start:block", // m.ivr
                                                         "start:property",
                                                         "attr:name",
                                                         "attr:value",
                                                         "end", // 10s
                                                         "start:audio",
                                                         "attr:src",
                                                         "end", // a.wav
                                                         "start:field",
                                                         "attr:name",
                                                         "end", // field
                                                         "start:filled",
                                                         "attr:name", // filled
                                                         "start:if",
                                                         "attr:cond",
                                                         "start:transfer",
                                                         "attr:name",
                                                         "attr:dest",
                                                         "end",
                                                         "start:if",
                                                         "attr:cond",
                                                         "start:goto",
                                                         "attr:next",
                                                         "end",
                                                         "end",
                                                         "end",
                                                         "end",
                                                         "start:disconnect",
                                                         "end-document",
                                                         "flush"}));
}

TEST_F(WorkedExample, TableIsNotChangedByWriting) {
  Table(WorkedExampleRows());
  const std::vector<Row> before = RowsOf(table);
  ASSERT_TRUE(Write());
  EXPECT_EQ(RowsOf(table), before);
}

TEST_F(WorkedExample, TwoWritesOfOneTableGiveTheSameBytes) {
  // Nothing of a write stays behind to change the next one, not even after a failed write.
  Table(WorkedExampleRows());
  ASSERT_TRUE(Write());
  const std::string strFirst = output.m_strDocument;
  output.m_vecCalls.clear();
  output.m_nFailingCall = 20;
  EXPECT_FALSE(Write());
  messages.Expect(text::kCannotWriteElement);
  output.m_vecCalls.clear();
  output.m_nFailingCall = -1;
  ASSERT_TRUE(Write());
  EXPECT_EQ(output.m_strDocument, strFirst);
}

} // namespace
} // namespace dovetrel::test
