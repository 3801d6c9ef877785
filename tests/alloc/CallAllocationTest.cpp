// The call compiler under allocation failures: whichever allocation fails, the parsed document is
// freed. libxml2's own blocks are counted through its allocator hooks.

#include "call/CallProgram.h"
#include "call/CallSetup.h"
#include "tests/alloc/CountingNew.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <libxml/xmlmemory.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace dovetrel {
namespace {

std::atomic<long> g_nXmlBlocks{0};

void* CountedMalloc(std::size_t nSize) {
  void* p = std::malloc(nSize);
  g_nXmlBlocks += p ? 1 : 0;
  return p;
}
void* CountedRealloc(void* p, std::size_t nSize) {
  void* pNew = std::realloc(p, nSize);
  g_nXmlBlocks += !p && pNew ? 1 : 0;
  return pNew;
}
void CountedFree(void* p) {
  g_nXmlBlocks -= p ? 1 : 0;
  std::free(p);
}
char* CountedStrdup(const char* sz) {
  char* p = static_cast<char*>(CountedMalloc(std::strlen(sz) + 1));
  return p ? std::strcpy(p, sz) : nullptr;
}

// Before main, so that libxml2 takes its first block from the counted functions.
const bool g_bCounted = xmlMemSetup(CountedFree, CountedMalloc, CountedRealloc, CountedStrdup) == 0;

class QuietMessages final : public IMessageSink {
public:
  MessageReply ShowMessage(const Finding&, MessageKind) override { return MessageReply::Ok; }
};

TEST(CallAllocations, EveryFailureFreesTheParsedDocument) {
  ASSERT_TRUE(g_bCounted);
  test::CTempDir dir;
  dir.Write("main.ivr", "10   a.wav\n1    menu            b.ivr\n2    dial            5\n"
                        "b    menu            main.ivr\n-    disconnect\n");
  dir.Write("b.ivr", "5    b.wav\n0    menu            main.ivr\n");
  QuietMessages messages;
  const std::optional<CallSet> set = ConvertForCall(dir.Path() + "main.ivr", messages, {});
  ASSERT_TRUE(set);
  CallFault fault;
  ASSERT_NE(CCallProgram::Compile(set->strDocument, Dialect::Classic, set->menus, fault), nullptr)
      << fault.strText; // settles libxml2's one-time state
  int nFailures = 0;
  for (long nFail = 1;; ++nFail) {
    const long nBlocks = g_nXmlBlocks;
    test::g_nFailAt = test::g_nAllocations + nFail;
    bool bThrew = false;
    try {
      (void)CCallProgram::Compile(set->strDocument, Dialect::Classic, set->menus, fault);
    } catch (const std::bad_alloc&) {
      bThrew = true;
    }
    test::g_nFailAt = -1;
    ASSERT_EQ(g_nXmlBlocks, nBlocks) << "libxml2 blocks left after allocation " << nFail;
    if (!bThrew)
      break;
    ++nFailures;
  }
  EXPECT_GT(nFailures, 20) << "compiling must allocate, or the test sees nothing";
}

} // namespace
} // namespace dovetrel
