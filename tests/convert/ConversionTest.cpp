#include "convert/Conversion.h"
#include "convert/Texts.h"
#include "scenario/Texts.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/MemoryOutput.h"
#include "vxml/Texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <stdexcept>

namespace dovetrel {
namespace {

using test::CCollectingMessages;
using test::CMemoryFiles;
using test::CMemoryOutput;

constexpr const char* kMenuToSales = "10   a.wav\n1    menu            sales.ivr\n";
constexpr const char* kHeaderOnly = "15   b.wav\n";

class Conversion : public testing::Test {
protected:
  Conversion() {
    options.pFiles = &files;
    options.pOutput = &output;
  }
  ConversionOutcome Run(const std::string& strIvr, const std::string& strVxml = "/out/m.vxml") {
    return RunConversion(strIvr, strVxml, strBaseDir, table, messages, options);
  }

  CCollectingMessages messages;
  CMemoryFiles files;
  CMemoryOutput output;
  ConversionOptions options;
  CScenarioTable table;
  std::string strBaseDir = "/earlier/";
};

struct BaseDirCase {
  std::string ivr;
  std::string baseDir;
  std::string nested; ///< the path the nested file sales.ivr is opened by
};

class BaseDirectory : public Conversion, public testing::WithParamInterface<BaseDirCase> {};

TEST_P(BaseDirectory, IsDerivedFromTheIvrPathEveryTime) {
  files.Add(GetParam().ivr, kMenuToSales);
  files.Add(GetParam().nested, kHeaderOnly);
  EXPECT_EQ(Run(GetParam().ivr), ConversionOutcome::Converted);
  messages.Expect(text::kConverted, MessageKind::Information);
  EXPECT_EQ(strBaseDir, GetParam().baseDir);
  EXPECT_EQ(files.m_vecOpened, (std::vector<std::string>{GetParam().ivr, GetParam().nested}));
}

INSTANTIATE_TEST_SUITE_P(Paths, BaseDirectory,
                         testing::Values(BaseDirCase{"/ivr/main.ivr", "/ivr/", "/ivr/sales.ivr"},
                                         BaseDirCase{"/main.ivr", "/", "/sales.ivr"},
                                         BaseDirCase{"//server/share/main.ivr", "//server/share/",
                                                     "//server/share/sales.ivr"},
                                         BaseDirCase{"rel/main.ivr", "rel/", "rel/sales.ivr"},
                                         // No separator: nested files lie beside the relative main
                                         // file, whatever an earlier conversion used.
                                         BaseDirCase{"main.ivr", "", "sales.ivr"},
                                         // The backslash is no separator here.
                                         BaseDirCase{"C:\\ivr\\main.ivr", "", "sales.ivr"}));

TEST_F(Conversion, PathNamingADirectoryFailsToLoad) {
  EXPECT_EQ(Run("/ivr/"), ConversionOutcome::LoadFailed);
  EXPECT_EQ(strBaseDir, "/ivr/");
  messages.Expect(text::kCannotOpenIvr);
  messages.Expect(text::kLoadFailed);
}

TEST_F(Conversion, EmptyNamesGiveOneMessageAndTouchNothing) {
  const std::pair<std::string, std::string> names[] = {
      {"", "/out/m.vxml"}, {"/ivr/main.ivr", ""}, {"", ""}};
  for (const auto& [strIvr, strVxml] : names) {
    strBaseDir = "/earlier/";
    EXPECT_EQ(Run(strIvr, strVxml), ConversionOutcome::NameMissing);
    messages.Expect(text::kNameMissing);
    EXPECT_TRUE(messages.Empty());
    EXPECT_EQ(strBaseDir, strIvr.empty() ? "" : "/ivr/") << "derived before the test";
  }
  EXPECT_TRUE(files.m_vecOpened.empty());
  EXPECT_TRUE(output.m_vecCalls.empty());
}

TEST_F(Conversion, BlankNamesArePassedOnUnchanged) {
  EXPECT_EQ(Run("   "), ConversionOutcome::LoadFailed);
  EXPECT_EQ(messages.Expect(text::kCannotOpenIvr).detail.strFile.back(), ' ');
  messages.Expect(text::kLoadFailed);
  EXPECT_EQ(files.m_vecOpened, std::vector<std::string>{"   "});

  files.Add("/ivr/m.ivr", kHeaderOnly);
  output.m_bFailStream = true;
  EXPECT_EQ(Run("/ivr/m.ivr", "  "), ConversionOutcome::WriteFailed);
  EXPECT_EQ(output.m_strPath, "  ");
  messages.Expect(text::kCannotWriteHeader);
  messages.Expect(text::kConvertFailed);
}

TEST_F(Conversion, EachFailureShowsTheStepsMessageThenTheSummary) {
  files.Add("/ivr/main.ivr", kMenuToSales);
  EXPECT_EQ(Run("/ivr/main.ivr"), ConversionOutcome::LoadFailed);
  EXPECT_EQ(messages.Expect(text::kCannotOpenIvr).detail.strFile, "/ivr/sales.ivr");
  messages.Expect(text::kLoadFailed);
  EXPECT_TRUE(output.m_vecCalls.empty()) << "nothing is written after a failed load";

  files.Add("/ivr/sales.ivr", kHeaderOnly);
  output.m_bFailCommit = true;
  EXPECT_EQ(Run("/ivr/main.ivr"), ConversionOutcome::WriteFailed);
  messages.Expect(text::kCannotWriteEnd);
  messages.Expect(text::kConvertFailed);
  EXPECT_EQ(output.m_strDocument, "previous document");
}

TEST_F(Conversion, RepeatedRunsGiveTheSameDocument) {
  files.Add("/ivr/main.ivr", kMenuToSales);
  files.Add("/ivr/sales.ivr", kHeaderOnly);
  ASSERT_EQ(Run("/ivr/main.ivr"), ConversionOutcome::Converted);
  const std::string strFirst = output.m_strDocument;
  ASSERT_EQ(Run("/ivr/main.ivr"), ConversionOutcome::Converted);
  EXPECT_EQ(output.m_strDocument, strFirst);
  EXPECT_EQ(output.m_nCommits, 2);
  messages.Expect(text::kConverted, MessageKind::Information);
  messages.Expect(text::kConverted, MessageKind::Information);
}

TEST_F(Conversion, ReadErrorIsNotCaughtAndNothingIsWritten) {
  files.Add("/ivr/main.ivr", kMenuToSales);
  files.Add("/ivr/sales.ivr", "15   b.wav\n1    dial            5\n");
  files.FailAfter("/ivr/sales.ivr", 12);
  files.SetChunk(4);
  EXPECT_THROW(Run("/ivr/main.ivr"), CFileReadError);
  EXPECT_TRUE(output.m_vecCalls.empty());
  EXPECT_EQ(files.m_nOpen, 0);
}

TEST_F(Conversion, WarningsNeverChangeTheDocument) {
  files.Add("/ivr/main.ivr", "10 welcome.wav\n1 menu sales.ivr\n2    Dial            5\n"
                             "3    dial           77\nb    menu            sales.ivr\n");
  files.Add("/ivr/sales.ivr", kHeaderOnly);
  options.bReportWarnings = false;
  ASSERT_EQ(Run("/ivr/main.ivr"), ConversionOutcome::Converted);
  EXPECT_EQ(test::WarningLines(messages.Expect(text::kConverted, MessageKind::Information).detail),
            "");
  const std::string strQuiet = output.m_strDocument;
  options.bReportWarnings = true;
  ASSERT_EQ(Run("/ivr/main.ivr"), ConversionOutcome::Converted);
  const std::string strNote =
      test::WarningLines(messages.Expect(text::kConverted, MessageKind::Information).detail);
  EXPECT_EQ(output.m_strDocument, strQuiet);
  EXPECT_EQ(std::count(strNote.begin(), strNote.end(), '\n'), 3) << strNote;
  EXPECT_EQ(strNote.rfind("/ivr/main.ivr:1:4: warning: приветствие «welcome.wav»", 0), 0u);
}

TEST_F(Conversion, CleanSetHasNoDetail) {
  files.Add("/ivr/main.ivr", "10   a.wav\n1    dial            5\nb    disconnect\n");
  ASSERT_EQ(Run("/ivr/main.ivr"), ConversionOutcome::Converted);
  const auto message = messages.Expect(text::kConverted, MessageKind::Information);
  EXPECT_EQ(FormatDetail(message.detail), "");
}

struct ProposedCase {
  std::string ivr;
  std::string vxml;
};

class ProposedName : public testing::TestWithParam<ProposedCase> {};

TEST_P(ProposedName, CutsTheFileNameAtItsFirstDot) {
  EXPECT_EQ(ProposeVxmlName(GetParam().ivr), GetParam().vxml);
}

INSTANTIATE_TEST_SUITE_P(Paths, ProposedName,
                         testing::Values(ProposedCase{"/scen/main.ivr", "/scen/main.vxml"},
                                         ProposedCase{"/scen/main.test.ivr", "/scen/main.vxml"},
                                         ProposedCase{"/data.old/main.ivr", "/data.old/main.vxml"},
                                         ProposedCase{"/scen/main", "/scen/main.vxml"},
                                         ProposedCase{"main.ivr", "main.vxml"},
                                         ProposedCase{"./x/main.ivr", "./x/main.vxml"},
                                         ProposedCase{"../main", "../main.vxml"}));

struct ThrownCase {
  const char* szName;
  std::function<void()> command;
  std::string text; ///< the error message's text; empty when nothing is thrown
  FindingCode code;
};

void PrintTo(const ThrownCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class Exceptions : public testing::TestWithParam<ThrownCase> {};

TEST_P(Exceptions, EndTheCommandWithOneErrorMessage) {
  CCollectingMessages messages;
  const bool bFinished = ReportExceptions(messages, GetParam().command);
  EXPECT_EQ(bFinished, GetParam().text.empty());
  if (bFinished)
    return;
  const auto message = messages.Expect(GetParam().text, MessageKind::Error);
  EXPECT_EQ(message.detail.code, GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Policy, Exceptions,
    testing::Values(ThrownCase{"nothing", [] {}, "", FindingCode::None},
                    ThrownCase{"read error", [] { throw CFileReadError("/s/main.ivr"); },
                               "An unknown error occurred while accessing /s/main.ivr.",
                               FindingCode::ReadError},
                    ThrownCase{"out of memory", [] { throw std::bad_alloc(); },
                               std::string(text::kOutOfMemory), FindingCode::OutOfMemory},
                    ThrownCase{"anything else", [] { throw std::length_error("out of handles"); },
                               "out of handles", FindingCode::Unexpected}));

} // namespace
} // namespace dovetrel
