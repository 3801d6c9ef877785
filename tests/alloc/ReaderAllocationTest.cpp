// The reader's cost per row is copying bytes into the table: no row may allocate. This binary
// counts every allocation, so it is kept apart from the other tests.

#include "scenario/ScenarioReader.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> g_nAllocations{0};
} // namespace

// The replacements pair malloc with free; GCC cannot see that through the sanitizers' inlining.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t nSize) {
  ++g_nAllocations;
  if (void* p = std::malloc(nSize == 0 ? 1 : nSize))
    return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace dovetrel {
namespace {

class SilentSink final : public IMessageSink {
public:
  MessageReply ShowMessage(std::string_view text, MessageKind, const MessageDetail&) override {
    ADD_FAILURE() << "unexpected message: " << text;
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
  CScenarioConverter converter;
  SilentSink sink;
  const ReadContext context{sink, SystemInputFiles(), pObserver};
  EXPECT_TRUE(
      LoadScenarioSet(strMain, dir.Path(), converter, context)); // settles any one-time state
  const long nBefore = g_nAllocations;
  const bool bLoaded = LoadScenarioSet(strMain, dir.Path(), converter, context);
  const long nAllocations = g_nAllocations - nBefore;
  EXPECT_TRUE(bLoaded);
  EXPECT_EQ(converter.Count(), 5 + nKeyLines);
  return nAllocations;
}

TEST(ReaderAllocations, DoNotGrowWithTheRows) {
  const long nOneRow = AllocationsOfLoad(1, nullptr);
  EXPECT_GT(nOneRow, 0) << "the counter must see the reader's per-file allocations";
  for (const int nKeyLines : {2, 40, 123})
    EXPECT_EQ(AllocationsOfLoad(nKeyLines, nullptr), nOneRow) << nKeyLines << " key lines";
}

} // namespace
} // namespace dovetrel
