#include "lsp/Formatting.h"
#include "convert/Conversion.h"
#include "fuzz/FuzzScenarioSet.h"
#include "tests/support/CheckedSets.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/MemoryOutput.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace dovetrel {
namespace {

using namespace std::string_literals;

constexpr const char* kMain = "/s/a.ivr";

/// \p files with every file the set reads formatted; the number of files changed into \p pChanged.
test::Files FormatSet(test::Files files, const std::string& strEncoding = {},
                      int* pChanged = nullptr) {
  const std::unique_ptr<CheckedSet> pSet = test::CheckInMemory(files, kMain, strEncoding);
  for (const auto& [strPath, lines] : pSet->lines) {
    const std::string strBefore =
        std::exchange(files[strPath], ApplyFix(files[strPath], LayoutEdits(lines)));
    if (pChanged)
      *pChanged += files[strPath] != strBefore ? 1 : 0;
  }
  return files;
}

struct Layout {
  std::string before;
  std::string after; ///< empty: as before
};

class Formatting : public testing::TestWithParam<Layout> {};

TEST_P(Formatting, PutsTheWordsTheReaderTakesInTheirColumns) {
  const Layout& c = GetParam();
  EXPECT_EQ(FormatSet({{kMain, c.before}}).at(kMain), c.after.empty() ? c.before : c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Formatting,
    testing::Values(
        // Laid out already.
        Layout{"10   welcome.wav\n1    menu            b.ivr\n", ""},
        // Words too far right move left; a long key pushes the keyword one space after it.
        Layout{"10        привет.wav\n1       dial                 100\n",
               "10   привет.wav\n1    dial            100\n"},
        Layout{"10   a.wav\n  1  menu            b.ivr\n12345  menu             b.ivr\n",
               "10   a.wav\n1    menu            b.ivr\n12345 menu           b.ivr\n"},
        // A short timeout: the greeting goes to the keyword column; a long one: three after it.
        Layout{"5   hello.wav\n", "5    hello.wav\n"}, Layout{"   7   hi.wav\n", "7    hi.wav\n"},
        Layout{"1000     hi.wav\n", "1000   hi.wav\n"},
        // Unread text after the last word read keeps its distance.
        Layout{"10   a.wav\n1    dial               100   note\n",
               "10   a.wav\n1    dial            100   note\n"},
        // Read otherwise than the words say: a word read from its middle, one passed over, one
        // word taken as key and action.
        Layout{"5  hello.wav\n1   menu            b.ivr\n", ""},
        Layout{"10 x  welcome.wav\n     menu            b.ivr\n", ""},
        // What the reader does not read stays: after a NUL, after the end of text; a line of
        // spaces stays a row.
        Layout{"10    a.wav\n1      dial\0   junk\n"s, "10   a.wav\n1    dial\0   junk\n"s},
        Layout{"10   a.wav\n1      dial\x1A\n2      dial\n",
               "10   a.wav\n1    dial\x1A\n2      dial\n"},
        Layout{"10   a.wav\n   \n", ""},
        // A byte-order mark stays before the header; CR LF line ends stay.
        Layout{"\xEF\xBB\xBF"
               "10    a.wav\r\n1     dial\r\n",
               "\xEF\xBB\xBF"
               "10   a.wav\r\n1    dial\r\n"},
        // A lone CR: an editor numbers the lines otherwise; nothing is touched.
        Layout{"10    a.wav\r1      dial\n", ""}));

/// The document of \p files in \p dialect; empty when it does not convert.
std::string Document(const test::Files& files, const std::string& strEncoding, Dialect dialect) {
  test::CMemoryFiles memory;
  for (const auto& [strPath, strContent] : files)
    memory.Add(strPath, strContent);
  test::CMemoryOutput output;
  ConversionOptions options;
  options.strEncoding = strEncoding;
  options.dialect = dialect;
  options.pFiles = &memory;
  options.pOutput = &output;
  test::CCollectingMessages messages;
  CScenarioTable table;
  std::string strBaseDir;
  const bool bConverted = RunConversion(kMain, "/s/a.vxml", strBaseDir, table, messages, options) ==
                          ConversionOutcome::Converted;
  messages.Discard();
  return bConverted ? output.m_strDocument : std::string();
}

// Over the fuzzer's corpus, each input a set: formatting every file of the set leaves both of its
// documents as they were, byte for byte, and formatting again changes nothing.
TEST(FormattingCorpus, KeepsEveryDocumentAndIsDoneAtOnce) {
  int nChanged = 0;
  int nInputs = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(DOVETREL_SOURCE_DIR "/fuzz/corpus")) {
    const std::string strInput = test::ReadWholeFile(entry.path());
    std::string_view input = strInput;
    const std::string strEncoding = fuzz::TakeEncoding(input);
    test::Files files;
    for (const fuzz::ScenarioFile& file : fuzz::SplitInput(input))
      files["/s/" + file.strName] = std::string(file.content);
    const test::Files formatted = FormatSet(files, strEncoding, &nChanged);
    for (const Dialect dialect : {Dialect::Classic, Dialect::W3c})
      EXPECT_EQ(Document(formatted, strEncoding, dialect), Document(files, strEncoding, dialect))
          << entry.path();
    EXPECT_EQ(FormatSet(formatted, strEncoding), formatted) << entry.path();
    ++nInputs;
  }
  EXPECT_GT(nInputs, 100);
  EXPECT_GT(nChanged, 10); // the corpus holds misplaced words: the property is not vacuous
}

} // namespace
} // namespace dovetrel
