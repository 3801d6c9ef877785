#include "scenario/ScenarioReader.h"
#include "scenario/TextFile.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/RepeatingFile.h"

#include <gtest/gtest.h>

#include <random>

namespace dovetrel {
namespace {

using test::CMemoryFiles;

/// Every line of \p content, read in chunks of \p nChunk bytes.
std::vector<std::string> Lines(const std::string& content, std::size_t nChunk = 3) {
  CMemoryFiles files;
  files.Add("f", content);
  files.SetChunk(nChunk);
  std::string strReason;
  auto pFile = files.Open("f", strReason);
  CLineReader reader(*pFile, "/f");
  CScenarioLine line;
  std::vector<std::string> lines;
  while (reader.ReadLine(line)) {
    lines.emplace_back(line.Text());
    EXPECT_EQ(reader.LineNumber(), static_cast<int>(lines.size()));
  }
  return lines;
}

struct LinesCase {
  const char* szName;
  std::string content;
  std::vector<std::string> lines;
};

void PrintTo(const LinesCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class LineSemantics : public testing::TestWithParam<LinesCase> {};

TEST_P(LineSemantics, SplitsTheFileAsText) {
  EXPECT_EQ(Lines(GetParam().content), GetParam().lines);
  EXPECT_EQ(Lines(GetParam().content, 1), GetParam().lines);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Files, LineSemantics,
    testing::Values(LinesCase{"Empty", "", {}}, LinesCase{"OneLineWithoutEnd", "abc", {"abc"}},
                    LinesCase{"OneLineWithEnd", "abc\n", {"abc"}},
                    LinesCase{"EmptyLinesAreLines", "\n\nx\n\n", {"", "", "x", ""}},
                    LinesCase{"CrLfEnds", "a\r\nb\r\n", {"a", "b"}},
                    LinesCase{"LoneCrStays", "a\rb\nc\r", {"a\rb", "c\r"}},
                    LinesCase{"OnlyTheCrBeforeLfGoes", "a\r\r\n", {"a\r"}},
                    LinesCase{"CtrlZEndsTheText",
                              "a\nb\x1A"
                              "c\nd\n",
                              {"a", "b"}},
                    LinesCase{"CtrlZFirst",
                              "\x1A"
                              "abc",
                              {}},
                    LinesCase{"CtrlZAfterLineEnd", "a\n\x1A", {"a"}},
                    LinesCase{"NulEndsTheContent", "ab\0cd\nef\n"s, {"ab", "ef"}},
                    LinesCase{"NulAtStart", "\0\0\0"s, {""}},
                    LinesCase{"CrBeforeNulStays", "a\r\0b\r\n"s, {"a\r"}},
                    LinesCase{"TabIsContent", "a\tb\n", {"a\tb"}},
                    LinesCase{"HighBytesAreContent", "\xD0\xB4\xFF\n", {"\xD0\xB4\xFF"}},
                    LinesCase{"ByteOrderMarkIsNoText",
                              "\xEF\xBB\xBF"
                              "10\nx",
                              {"10", "x"}},
                    LinesCase{"ByteOrderMarkAlone", "\xEF\xBB\xBF", {}},
                    LinesCase{"OnlyTheFirstMarkGoes",
                              "\xEF\xBB\xBF\xEF\xBB\xBF"
                              "a",
                              {"\xEF\xBB\xBF"
                               "a"}},
                    LinesCase{"AMarkLaterIsText", "a\n\xEF\xBB\xBF", {"a", "\xEF\xBB\xBF"}},
                    LinesCase{"AMarkCutShortIsText",
                              "\xEF\xBB"
                              "a\n",
                              {"\xEF\xBB"
                               "a"}},
                    LinesCase{"AMarkCutByTheEnd",
                              "\xEF\xBB\x1A"
                              "a",
                              {"\xEF\xBB"}}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST(LineReader, ReadErrorInTheMiddleThrowsWithThePath) {
  CMemoryFiles files;
  files.Add("f", "first\nsecond\nthird\n");
  files.FailAfter("f", 8);
  files.SetChunk(4);
  std::string strReason;
  auto pFile = files.Open("f", strReason);
  CLineReader reader(*pFile, "/data/f.ivr");
  CScenarioLine line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line.Text(), "first");
  try {
    reader.ReadLine(line);
    FAIL() << "no read error";
  } catch (const CFileReadError& error) {
    EXPECT_EQ(error.Path(), "/data/f.ivr");
    EXPECT_STREQ(error.what(), "An unknown error occurred while accessing /data/f.ivr.");
  }
}

/// What the reader takes from a line, read as a key line and as a header line. Words of 64 bytes
/// or more are only told apart by their length; after a timeout that long the reader stops.
std::vector<std::string> Reading(std::string_view line) {
  const auto Cap = [](std::string_view word) {
    return word.size() >= 64 ? std::string("<64 bytes or more>") : std::string(word);
  };
  const KeyLineWords key = SplitKeyLine(line);
  const HeaderWords header = SplitHeaderLine(line);
  std::vector<std::string> words = {Cap(key.key), Cap(key.action), Cap(key.argument),
                                    Cap(header.timeout)};
  if (header.timeout.size() < 63)
    words.push_back(Cap(header.greeting));
  return words;
}

CScenarioLine Kept(std::string_view text) {
  CScenarioLine line;
  for (const char c : text)
    line.Append(c);
  return line;
}

TEST(LongLines, KeepTheWordsTheReaderTakesExactly) {
  std::mt19937 random(20261207);
  const auto Run = [&](std::size_t nMax) { return std::string(random() % nMax, ' '); };
  const auto Word = [&](std::size_t nMax) {
    return std::string(1 + random() % nMax, 'a' + random() % 26);
  };
  for (int nCase = 0; nCase < 3000; ++nCase) {
    std::string strLine;
    while (strLine.size() < 300 + random() % 2000)
      strLine += (random() % 3 == 0 ? Run(600) : Run(5)) + Word(random() % 4 == 0 ? 300 : 8);
    const CScenarioLine line = Kept(strLine);
    ASSERT_EQ(Reading(line.Text()), Reading(strLine)) << strLine;
    EXPECT_LE(line.Text().size(), 1024u);
    EXPECT_EQ(line.Length(), strLine.size());
  }
}

TEST(LongLines, KeptBytesRememberTheirColumns) {
  const std::string strLine = "1    menu" + std::string(1000, ' ') + "far.ivr   next";
  const CScenarioLine line = Kept(strLine);
  const std::size_t nFar = line.Text().find("far.ivr");
  ASSERT_NE(nFar, std::string_view::npos);
  EXPECT_EQ(line.ColumnOf(nFar), strLine.find("far.ivr"));
  EXPECT_EQ(line.ColumnOf(line.Text().find("next")), strLine.find("next"));
  EXPECT_EQ(line.ColumnOf(3), 3u);
}

/// A line of a megabyte keeps a bounded part and still counts every byte, whatever its words look
/// like. Its size only has to dwarf the kept part and the reader's 64 KiB chunk: that the memory
/// does not grow with the line is counted in tests/alloc.
TEST(LongLines, AHugeLineTakesBoundedMemory) {
  const std::uint64_t nSize = 1ull << 20;
  const std::string strLongRuns = std::string(300, ' ') + std::string(300, 'y');
  for (const std::string_view pattern :
       {std::string_view(" xxxxxx"), std::string_view("z"), std::string_view(strLongRuns)}) {
    SCOPED_TRACE(testing::Message() << "a line repeating " << pattern.size() << " bytes");
    test::CRepeatingFile file(pattern, nSize);
    CLineReader reader(file, "/f");
    CScenarioLine line;
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line.Length(), nSize);
    EXPECT_LE(line.Text().size(), 1024u);
    EXPECT_FALSE(reader.ReadLine(line));
  }
}

} // namespace
} // namespace dovetrel
