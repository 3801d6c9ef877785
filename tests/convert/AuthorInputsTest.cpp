// Scenario files as editors and operators really write them: what --check finds in each, whether
// it converts, and what its document holds.

#include "convert/Conversion.h"
#include "convert/Texts.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/FixCheck.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/MemoryOutput.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

/// \p piece \p nTimes over.
std::string Repeated(std::string_view piece, int nTimes) {
  std::string strText;
  for (int i = 0; i < nTimes; ++i)
    strText += piece;
  return strText;
}

/// A scenario file of \p nKeyLines key lines, each of its own key dialling its own number; the
/// first, with \p strNested, enters that nested file instead.
std::string KeyLines(int nKeyLines, const std::string& strNested = {}) {
  std::string strKeys;
  for (int c = '!'; c <= '~'; ++c)
    if (std::string_view("-bf'\\").find(static_cast<char>(c)) == std::string_view::npos)
      strKeys += static_cast<char>(c);
  std::string strFile = "10   a.wav\n";
  for (int i = 0; i < nKeyLines; ++i)
    strFile += strKeys.substr(static_cast<std::size_t>(i), 1) +
               (i == 0 && !strNested.empty() ? "    menu            " + strNested
                                             : "    dial            " + std::to_string(i)) +
               "\n";
  return strFile;
}

struct AuthorInput {
  const char* szName;
  std::string main; ///< /s/main.ivr
  /// Beginnings of the --check findings, in order, paths cut to names.
  std::vector<std::string> findings;
  bool bConverts = true;
  /// What the classic document holds (when it converts), or the failure's note holds.
  std::string held;
  std::string notHeld = {}; ///< what the document must not hold
  std::string nested = {};  ///< /s/b.ivr, when the main file names it
};

void PrintTo(const AuthorInput& c, std::ostream* pOut) {
  *pOut << c.szName;
}

/// One message the conversion showed last: its text and its detail's note.
struct Shown {
  std::string strText;
  std::string strNote;
  std::string strWarnings; ///< the findings shown with it, one line each
};

class MessagesKept final : public IMessageSink {
public:
  MessageReply ShowMessage(const Finding& finding, MessageKind /*kind*/) override {
    m_vecShown.push_back(Shown{finding.strText, finding.strNote, test::WarningLines(finding)});
    return MessageReply::Ok;
  }
  std::vector<Shown> m_vecShown;
};

class AuthorInputs : public testing::TestWithParam<AuthorInput> {};

TEST_P(AuthorInputs, AreFoundConvertedAndWrittenAsAnAuthorExpects) {
  const AuthorInput& c = GetParam();
  test::CMemoryFiles files;
  files.Add("/s/main.ivr", c.main);
  files.Add("/s/b.ivr", c.nested);
  test::CMemoryOutput output;
  ConversionOptions options;
  options.pFiles = &files;
  options.pOutput = &output;

  std::vector<std::string> findings;
  for (const Finding& finding : RunCheck("/s/main.ivr", options))
    findings.push_back(FormatFinding(finding).substr(3));
  ASSERT_EQ(findings.size(), c.findings.size()) << testing::PrintToString(findings);
  for (std::size_t i = 0; i < findings.size(); ++i)
    EXPECT_EQ(findings[i].substr(0, c.findings[i].size()), c.findings[i]);

  MessagesKept messages;
  CScenarioTable table;
  std::string strBaseDir;
  const ConversionOutcome outcome =
      RunConversion("/s/main.ivr", "/s/main.vxml", strBaseDir, table, messages, options);
  ASSERT_EQ(outcome == ConversionOutcome::Converted, c.bConverts);
  if (!c.bConverts) {
    ASSERT_GE(messages.m_vecShown.size(), 2u);
    EXPECT_NE(messages.m_vecShown.front().strNote.find(c.held), std::string::npos)
        << messages.m_vecShown.front().strNote;
    return;
  }
  EXPECT_NE(output.m_strDocument.find(c.held), std::string::npos) << output.m_strDocument;
  if (!c.notHeld.empty()) {
    EXPECT_EQ(output.m_strDocument.find(c.notHeld), std::string::npos);
  }
  // The success message lists every finding of --check, each as a warning.
  const std::string& strListed = messages.m_vecShown.back().strWarnings;
  for (const std::string& strFinding : c.findings) {
    std::string strWarning = strFinding;
    if (const std::size_t nError = strWarning.find(": error: "); nError != std::string::npos)
      strWarning.replace(nError, 9, ": warning: ");
    EXPECT_NE(strListed.find(strWarning), std::string::npos) << strListed;
  }
}

TEST_P(AuthorInputs, FixesMendTheirFindings) {
  test::ExpectFixesMend({{"/s/main.ivr", GetParam().main}, {"/s/b.ivr", GetParam().nested}});
}

TEST_P(AuthorInputs, SafeFixesLeaveOnlyWhatNeedsTheAuthor) {
  test::ExpectSafeFixesApplied({{"/s/main.ivr", GetParam().main}, {"/s/b.ivr", GetParam().nested}});
}

INSTANTIATE_TEST_SUITE_P(
    Files, AuthorInputs,
    testing::Values(
        AuthorInput{"ByteOrderMark",
                    "\xEF\xBB\xBF"
                    "10   a.wav\n1    disconnect\n",
                    {},
                    true,
                    "<property name=\"timeout\" value=\"10s\"/>",
                    "\xEF\xBB\xBF"},
        AuthorInput{"CrLineEnds",
                    "10   a.wav\r1    dial            123\r",
                    {"main.ivr:1:11: error: строки файла разделены одним знаком CR",
                     "main.ivr:1:17: warning: текст «dial» после приветствия не читается"},
                    true,
                    "src=\"a.wav&#13;1\""},
        AuthorInput{"TextAfterTheGreeting",
                    "10   добро пожаловать.wav\n",
                    {"main.ivr:1:17: warning: текст «пожаловать.wav» после приветствия не "
                     "читается; уберите его или перенесите в отдельную строку"},
                    true,
                    "src=\"добро\""},
        AuthorInput{"QuoteKey",
                    "10   a.wav\n'    disconnect\n",
                    {"main.ivr:2:1: warning: клавишу «'» не передаёт ни один телефон"},
                    true,
                    "cond=\"Input_main=='\\''\""},
        AuthorInput{"BackslashKey",
                    "10   a.wav\n\\    dial            5\n",
                    {"main.ivr:2:1: warning: клавишу «\\» не передаёт ни один телефон"},
                    true,
                    "cond=\"Input_main=='\\\\'\""},
        AuthorInput{"CyrillicGreetingOfSixtyThreeLettersInUtf8",
                    "10   " + Repeated("я", 63) + "\n",
                    {},
                    true,
                    "src=\"" + Repeated("я", 63) + "\""},
        AuthorInput{"CyrillicGreetingOfSixtyThreeLettersInWindows1251",
                    "10   " + Repeated("\xFF", 63) + "\n",
                    {},
                    true,
                    "src=\"" + Repeated("я", 63) + "\""},
        AuthorInput{"CyrillicGreetingTooLongInUtf8",
                    "10   " + Repeated("я", 64) + "\n",
                    {"main.ivr:1:6: error: Имя файла в сценарии IVR имеет очень большой размер!"},
                    false,
                    "— 64 байт, а в строке таблицы не больше 63"},
        AuthorInput{"NineTenthsOfTheRows",
                    KeyLines(81, "b.ivr"),
                    {"main.ivr: warning: набор занимает 116 из 128 строк таблицы (файлов 2, под "
                     "них 10 строк (по 5 на файл), под строки клавиш 106)"},
                    true,
                    "tel:24",
                    "",
                    KeyLines(25)},
        AuthorInput{"RowsRunOut",
                    KeyLines(89, "b.ivr"),
                    {"b.ivr:31: error: Файл сценария IVR имеет очень большой размер! (в таблице "
                     "128 строк на весь набор, и все заняты: файлов 2, под них 10 строк (по 5 на "
                     "файл), под строки клавиш 118)"},
                    false,
                    "под строки клавиш 118",
                    "",
                    KeyLines(30)}),
    [](const auto& info) { return std::string(info.param.szName); });

} // namespace
} // namespace dovetrel
