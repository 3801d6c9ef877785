// The standard document: valid against W3C's schema for every set, whatever its names hold, and
// carrying the call flow with every row it cannot carry left out and named.

#include "convert/Conversion.h"
#include "convert/Texts.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/MemoryOutput.h"
#include "tests/support/Vxml21Schema.h"
#include "tests/support/XmlElements.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

namespace dovetrel {
namespace {

using test::CCollectingMessages;
using test::CMemoryFiles;
using test::CMemoryOutput;
using test::CVxml21Schema;

/// The standard document of the set \p files (the first is the main file, all in /s/), with the
/// success message's warnings; fails the test when the set does not convert.
std::string WriteStandard(const std::vector<std::pair<std::string, std::string>>& files,
                          std::string* pWarnings = nullptr) {
  CMemoryFiles memory;
  for (const auto& [strName, strContent] : files)
    memory.Add("/s/" + strName, strContent);
  CMemoryOutput output;
  CCollectingMessages messages;
  ConversionOptions options;
  options.pFiles = &memory;
  options.pOutput = &output;
  options.dialect = Dialect::W3c;
  CScenarioTable table;
  std::string strBaseDir;
  EXPECT_EQ(RunConversion("/s/" + files.front().first, "/s/out.vxml", strBaseDir, table, messages,
                          options),
            ConversionOutcome::Converted);
  const std::string strWarnings =
      test::WarningLines(messages.Expect(text::kConverted, MessageKind::Information).detail);
  if (pWarnings)
    *pWarnings = strWarnings;
  return output.m_strDocument;
}

void ExpectValid(const std::string& strDocument) {
  const CVxml21Schema* pSchema = CVxml21Schema::Get();
  if (!pSchema)
    GTEST_SKIP() << "W3C's VoiceXML 2.1 schema is not at " << CVxml21Schema::Location();
  std::string strErrors;
  EXPECT_TRUE(pSchema->Validate(strDocument, strErrors)) << strErrors << "\n" << strDocument;
}

struct StandardCase {
  const char* szName;
  std::vector<std::pair<std::string, std::string>> files;
  std::vector<std::string> expected; ///< lines the document must hold, leading spaces removed
  int nWarnings = 0;                 ///< rows left out
};

void PrintTo(const StandardCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class StandardDocument : public testing::TestWithParam<StandardCase> {};

TEST_P(StandardDocument, IsValidAndCarriesTheFlow) {
  std::string strWarnings;
  const std::string strDocument = WriteStandard(GetParam().files, &strWarnings);
  std::string strError;
  std::string strElements;
  for (const std::string& strLine : test::XmlElements(strDocument, strError))
    strElements += strLine.substr(strLine.find_first_not_of(' ')) + "\n";
  ASSERT_EQ(strError, "");
  for (const std::string& strExpected : GetParam().expected)
    EXPECT_NE(strElements.find(strExpected + "\n"), std::string::npos) << strExpected << " in\n"
                                                                       << strElements;
  const auto nLines = std::count(strWarnings.begin(), strWarnings.end(), '\n');
  EXPECT_EQ(strWarnings.empty() ? 0 : nLines + 1, GetParam().nWarnings) << strWarnings;
  ExpectValid(strDocument);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, StandardDocument,
    testing::Values(
        StandardCase{"BusyRowsAndTheNoInputDial",
                     {{"m.ivr", "5   a.wav\nb    menu            m.ivr\n1    dial            1\n"
                                "b    disconnect\n-    dial            2\n"}},
                     {"goto next=#m1_m_dial3", "transfer name=outcome dest=tel:1 bridge=true",
                      "if cond=outcome == 'busy'", "noinput", "goto next=#m1_m_dial5"},
                     0}, // the busy row above the key dial serves the no-input dial
        StandardCase{"ALoopAndAKeyAnsweredTwice",
                     {{"m.ivr", "5   a.wav\n1    menu            m.ivr\n1    disconnect\n"}},
                     {"if cond=choice == '1'", "goto next=#m1_m", "item"},
                     1},
        StandardCase{"NamesWithSpacesAndDigitsFirst",
                     {{"1 главное.меню.ivr", "5   a.wav\n2    menu            2-й.ivr\n"},
                      {"2-й.ivr", "5   b.wav\n#    menu            2-й.ivr\n"}},
                     {"form id=m1_1", "form id=m2_2", "goto next=#m2_2", "item"},
                     2}, // both file names make no field name for the classic document
        StandardCase{"ValuesThatAreNoURIs",
                     {{"m.ivr", "5   1:b%.wav\n1    dial            1<2\n"}},
                     {"audio src=1%3Ab%25.wav", "transfer name=outcome dest=tel:1%3C2 bridge=true"},
                     0},
        StandardCase{"EveryRowLeftOut",
                     {{"m.ivr", "5   a.wav\na    disconnect\nf    dial            5\n"}},
                     {"ruleref special=VOID", "nomatch", "noinput", "disconnect"},
                     2}));

TEST(StandardDocument, ExamplesAreValid) {
  for (const char* szExample : {"worked", "callcentre"}) {
    std::ifstream file(std::string(DOVETREL_SOURCE_DIR) + "/examples/" + szExample +
                       "/expected/main.w3c.vxml");
    std::stringstream document;
    document << file.rdbuf();
    ASSERT_FALSE(document.str().empty()) << szExample;
    ExpectValid(document.str());
  }
}

/// A random set of up to four files with every kind of row, names included.
std::vector<std::pair<std::string, std::string>> RandomSet(std::mt19937& random) {
  static const std::string kKeys = "0123456789*#-bfaZ";
  static const std::string kNames[] = {"m.ivr", "a-b.ivr", "1x.ivr", "_u.ivr", "m.2.ivr"};
  const auto Pick = [&](std::size_t nSize) { return random() % nSize; };
  std::vector<std::pair<std::string, std::string>> files;
  const std::size_t nFiles = 1 + Pick(4);
  for (std::size_t i = 0; i < nFiles; ++i) {
    std::string strContent = std::to_string(1 + Pick(20)) + "   g" + std::to_string(i) + ".wav\n";
    for (std::size_t nRows = Pick(8); nRows > 0; --nRows) {
      std::string strRow = std::string(1, kKeys[Pick(kKeys.size())]) + "    ";
      switch (Pick(3)) {
      case 0:
        strRow += "menu            " + kNames[Pick(nFiles)].substr(0, 63);
        break;
      case 1:
        strRow += "dial            " + std::to_string(Pick(1000));
        break;
      default:
        strRow += "disconnect";
      }
      strContent += strRow + "\n";
    }
    files.emplace_back(kNames[i], strContent);
  }
  return files;
}

TEST(StandardDocument, RandomSetsAreValid) {
  std::mt19937 random(20261207);
  for (int i = 0; i < 200; ++i)
    ExpectValid(WriteStandard(RandomSet(random)));
}

} // namespace
} // namespace dovetrel
