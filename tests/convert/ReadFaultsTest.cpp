// A scenario file that cannot be read to its end, at every read of either file of the worked
// example: the conversion stops before writing anything, shows nothing (the top level reports the
// error), keeps no file open, and its table serves the next conversion as if nothing happened.

#include "convert/Conversion.h"
#include "convert/Texts.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

using test::CCollectingMessages;
using test::CInjectedReadFault;
using test::CMemoryFiles;
using test::CTempDir;

constexpr std::string_view kPrevious = "previous document\n";
constexpr std::size_t kChunk = 7; ///< bytes per read: many reads per file

struct ReadFault {
  const char* szFile; ///< the worked example's file that fails
  bool bThrow;        ///< the read throws instead of returning -1
};

class ReadFaults : public testing::TestWithParam<ReadFault> {
protected:
  ReadFaults() {
    for (const char* szName : {"main.ivr", "sales.ivr"})
      m_files.Add(
          "/ivr/" + std::string(szName),
          test::ReadWholeFile(std::string(DOVETREL_SOURCE_DIR "/examples/worked/") + szName));
    m_files.SetChunk(kChunk);
    m_options.pFiles = &m_files;
    m_strTarget = m_dir.Write("main.vxml", kPrevious);
  }

  ConversionOutcome Run() {
    std::string strBaseDir;
    return RunConversion("/ivr/main.ivr", m_strTarget, strBaseDir, m_table, m_messages,
                         m_options);
  }

  /// Runs with the fault in place; true when it ended with the exception the fault calls for.
  bool RunFailing(const std::string& strPath) {
    try {
      Run();
    } catch (const CFileReadError& error) {
      return !GetParam().bThrow && error.Path() == strPath;
    } catch (const CInjectedReadFault&) {
      return GetParam().bThrow;
    }
    return false;
  }

  CTempDir m_dir;
  std::string m_strTarget;
  CMemoryFiles m_files;
  ConversionOptions m_options;
  CScenarioTable m_table;
  CCollectingMessages m_messages;
};

TEST_P(ReadFaults, EveryReadOfTheFileStopsTheConversionCleanly) {
  const std::string strPath = "/ivr/" + std::string(GetParam().szFile);
  const std::size_t nSize =
      test::ReadWholeFile(std::string(DOVETREL_SOURCE_DIR "/examples/worked/") + GetParam().szFile)
          .size();
  const int nDescriptors = test::CountOpenDescriptors();
  int nFaults = 0;
  // Failing after every whole chunk fails each read in turn, the one that finds the end included.
  for (std::size_t nServed = 0; nServed <= nSize; nServed += kChunk, ++nFaults) {
    m_files.FailAfter(strPath, nServed, GetParam().bThrow);
    EXPECT_TRUE(RunFailing(strPath)) << "after " << nServed << " bytes";
    EXPECT_TRUE(m_messages.Empty()) << "after " << nServed << " bytes";
    EXPECT_EQ(m_files.m_nOpen, 0);
    EXPECT_EQ(test::CountOpenDescriptors(), nDescriptors);
    EXPECT_EQ(m_dir.Read("main.vxml"), kPrevious);
    EXPECT_EQ(m_dir.List(), "main.vxml");
  }
  RecordProperty("faults_injected", nFaults);

  m_files.FailAfter(strPath, UINT64_MAX);
  ASSERT_EQ(Run(), ConversionOutcome::Converted);
  m_messages.Expect(text::kConverted, MessageKind::Information);
  EXPECT_EQ(m_dir.Read("main.vxml"),
            test::ReadWholeFile(DOVETREL_SOURCE_DIR "/examples/worked/expected/main.vxml"));
}

INSTANTIATE_TEST_SUITE_P(WorkedExample, ReadFaults,
                         testing::Values(ReadFault{"main.ivr", false}, ReadFault{"main.ivr", true},
                                         ReadFault{"sales.ivr", false},
                                         ReadFault{"sales.ivr", true}),
                         [](const auto& info) {
                           std::string strName = info.param.szFile;
                           strName.resize(strName.find('.'));
                           return strName + (info.param.bThrow ? "_Throws" : "_Fails");
                         });

} // namespace
} // namespace dovetrel
