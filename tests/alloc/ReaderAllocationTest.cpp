// The reader's cost per row is copying bytes into the table: no row may allocate. This binary
// counts every allocation, so it is kept apart from the other tests.

#include "scenario/ScenarioReader.h"
#include "scenario/TextFile.h"
#include "tests/alloc/CountingNew.h"
#include "tests/support/RepeatingFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

using test::g_nAllocations;

class SilentSink final : public IMessageSink {
public:
  MessageReply ShowMessage(const Finding& finding, MessageKind) override {
    ADD_FAILURE() << "unexpected message: " << finding.strText;
    return MessageReply::Ok;
  }
};

/// A one-file scenario with \p nKeyLines dial lines; each line gives one row.
std::string ScenarioWith(int nKeyLines) {
  std::string strText = "10   welcome.wav\n";
  for (int i = 0; i < nKeyLines; ++i)
    strText += "1    dial            84951234567\n";
  return strText;
}

/// The allocations of one load of a file with \p nKeyLines key lines, watched by \p pObserver.
long AllocationsOfLoad(int nKeyLines, IScenarioObserver* pObserver) {
  test::CTempDir dir;
  const std::string strMain = dir.Write("main.ivr", ScenarioWith(nKeyLines));
  CScenarioTable table;
  SilentSink sink;
  const ReadContext context{sink, SystemInputFiles(), pObserver};
  EXPECT_TRUE(LoadScenarioSet(strMain, dir.Path(), table, context)); // settles any one-time state
  const long nBefore = g_nAllocations;
  const bool bLoaded = LoadScenarioSet(strMain, dir.Path(), table, context);
  const long nAllocations = g_nAllocations - nBefore;
  EXPECT_TRUE(bLoaded);
  EXPECT_EQ(table.Count(), 5 + nKeyLines);
  return nAllocations;
}

TEST(ReaderAllocations, DoNotGrowWithTheRows) {
  const long nOneRow = AllocationsOfLoad(1, nullptr);
  EXPECT_GT(nOneRow, 0) << "the counter must see the reader's per-file allocations";
  for (const int nKeyLines : {2, 40, 123})
    EXPECT_EQ(AllocationsOfLoad(nKeyLines, nullptr), nOneRow) << nKeyLines << " key lines";
}

/// The allocations of reading one line of \p nSize bytes repeating \p pattern, the reader and the
/// line being made beforehand.
long AllocationsOfLine(std::string_view pattern, std::uint64_t nSize) {
  test::CRepeatingFile file(pattern, nSize);
  const long nBeforeReader = g_nAllocations;
  CLineReader reader(file, "/f");
  CScenarioLine line;
  EXPECT_GT(g_nAllocations - nBeforeReader, 0) << "the counter must see the reader's buffer";
  const long nBefore = g_nAllocations;
  EXPECT_TRUE(reader.ReadLine(line));
  const long nAllocations = g_nAllocations - nBefore;
  EXPECT_EQ(line.Length(), nSize);
  EXPECT_FALSE(reader.ReadLine(line));
  return nAllocations;
}

// A line is read into memory of its own that does not grow with the line: a line of a megabyte
// costs what one of a few kilobytes does, whether it holds short words, one endless word, or
// word and space runs past every limit the kept part has.
TEST(ReaderAllocations, DoNotGrowWithTheLineLength) {
  const std::string strLongRuns = std::string(300, ' ') + std::string(300, 'y');
  for (const std::string_view pattern :
       {std::string_view(" xxxxxx"), std::string_view("z"), std::string_view(strLongRuns)}) {
    const long nShort = AllocationsOfLine(pattern, 4096);
    for (const std::uint64_t nSize : {std::uint64_t{64} << 10, std::uint64_t{1} << 20})
      EXPECT_EQ(AllocationsOfLine(pattern, nSize), nShort)
          << nSize << " bytes repeating " << pattern.size() << " bytes";
  }
}

} // namespace
} // namespace dovetrel
