#include "tests/vxml/WriterFixture.h"
#include "vxml/Texts.h"

namespace dovetrel::test {
namespace {

class StageMessages : public WriterTest {
protected:
  /// Writes the example with the call \p nFailing failing; checks that nothing is left behind.
  std::string WriteFailing(int nFailing) {
    output.m_vecCalls.clear();
    output.m_strDocument = "previous document";
    output.m_nFailingCall = nFailing;
    EXPECT_FALSE(Write()) << "call " << nFailing;
    EXPECT_EQ(output.m_strDocument, "previous document");
    EXPECT_EQ(output.m_nLiveStreams, 0);
    return messages.Take().strText;
  }
};

TEST_F(StageMessages, EveryFailingWriterCallGivesItsStagesMessage) {
  Table(WorkedExampleRows());
  ASSERT_TRUE(Write());
  const std::vector<std::string> calls = output.m_vecCalls;
  const int nCalls = static_cast<int>(calls.size());
  constexpr int kHeaderCalls = 4; // output, indentation, declaration, root
  constexpr int kEndCalls = 4;    // close filled, open disconnect, end document, flush
  ASSERT_GT(nCalls, kHeaderCalls + kEndCalls);
  for (int nFailing = 0; nFailing < nCalls; ++nFailing) {
    const std::string strText = WriteFailing(nFailing);
    const std::string_view expected = nFailing < kHeaderCalls          ? text::kCannotWriteHeader
                                      : nFailing >= nCalls - kEndCalls ? text::kCannotWriteEnd
                                                                       : text::kCannotWriteElement;
    EXPECT_EQ(strText, expected) << "call " << nFailing << " " << calls[nFailing];
    EXPECT_EQ(output.m_vecCalls.back(), calls[nFailing]) << "nothing is written after a failure";
  }
}

TEST_F(StageMessages, FailingRowNamesItsFileAndLine) {
  Table(WorkedExampleRows());
  ASSERT_TRUE(Write());
  const std::vector<std::string> calls = output.m_vecCalls;
  // The first call for the sales form fails: that is the scenario-file row, row 9.
  int nSalesForm = -1;
  for (int i = 0, nForms = 0; i < static_cast<int>(calls.size()) && nSalesForm < 0; ++i)
    if (calls[i] == "start:form" && ++nForms == 2)
      nSalesForm = i;
  ASSERT_GT(nSalesForm, 0);
  output.m_vecCalls.clear();
  output.m_nFailingCall = nSalesForm;
  output.m_strDocument = "previous document";
  EXPECT_FALSE(Write());
  const auto message = messages.Expect(text::kCannotWriteElement);
  EXPECT_EQ(message.detail.strFile, "/s/sales.ivr");
  EXPECT_EQ(message.detail.nLine, 9);
}

TEST_F(StageMessages, StreamThatCannotBeCreated) {
  Table(WorkedExampleRows());
  output.m_bFailStream = true;
  EXPECT_FALSE(Write());
  const auto message = messages.Expect(text::kCannotWriteHeader);
  EXPECT_EQ(message.detail.strFile, "/out/main.vxml");
  EXPECT_EQ(message.detail.strNote, "Permission denied");
  EXPECT_TRUE(output.m_vecCalls.empty());
}

TEST_F(StageMessages, WriterThatCannotBeCreated) {
  Table(WorkedExampleRows());
  output.m_bFailWriter = true;
  EXPECT_FALSE(Write());
  messages.Expect(text::kCannotWriteHeader);
  EXPECT_EQ(output.m_nLiveStreams, 0);
}

TEST_F(StageMessages, UnknownEncodingFailsTheHeader) {
  Table(WorkedExampleRows());
  EXPECT_FALSE(Write("NO-SUCH-CODE-PAGE"));
  EXPECT_EQ(messages.Expect(text::kCannotWriteHeader).detail.strNote,
            "unknown encoding NO-SUCH-CODE-PAGE");
}

TEST_F(StageMessages, CommitThatFailsIsTheEndsFailure) {
  Table(WorkedExampleRows());
  output.m_bFailCommit = true;
  EXPECT_FALSE(Write());
  EXPECT_EQ(messages.Expect(text::kCannotWriteEnd).detail.strNote, "Input/output error");
  EXPECT_EQ(output.m_strDocument, "previous document");
}

TEST_F(StageMessages, TableOfAnotherShapeIsRefusedWhole) {
  // Tables that do not come from the reader would leave elements open or put a second root
  // after the first; they fail as a row before anything reaches the target.
  const std::vector<std::vector<Row>> tables = {
      {},
      {{kindDial, '1', "5"}},
      {{kindScenarioFile, 0, "m.ivr"}, {kindTimeout, 0, "1s"}},
      {{kindScenarioFile, 0, "m.ivr"},
       {kindFilled, 0, "x"},
       {kindTimeout, 0, "1s"},
       {kindGreeting, 0, "a"},
       {kindInputField, 0, "x"}},
  };
  for (const std::vector<Row>& rows : tables) {
    Table(rows);
    EXPECT_FALSE(Write());
    messages.Expect(text::kCannotWriteElement);
    EXPECT_EQ(output.m_strDocument, "previous document");
  }
  std::vector<Row> extraHead = Scenario("m.ivr", {{kindTimeout, 0, "5s"}});
  Table(extraHead);
  EXPECT_FALSE(Write());
  EXPECT_EQ(messages.Expect(text::kCannotWriteElement).detail.nLine, 5);
}

} // namespace
} // namespace dovetrel::test
