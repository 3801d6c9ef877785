// Faults of the file system and of the writer while a document replaces a real file: whatever
// fails, the previous document stays byte for byte, no temporary file stays behind and no file
// descriptor stays open.

#include "tests/support/TempDir.h"
#include "tests/vxml/WriterFixture.h"
#include "vxml/Texts.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace dovetrel::test {
namespace {

constexpr std::string_view kPrevious = "previous document\n";

/// Real replacing files whose system calls a test can swap, written by the recording writer.
class CFaultyFileOutput final : public IXmlOutputFactory {
public:
  std::unique_ptr<IOutputStream> CreateStream(const std::string& strPath,
                                              std::string& strReason) override {
    return CreateReplacingFile(strPath, strReason, m_calls);
  }
  std::unique_ptr<IXmlWriter> CreateWriter() override {
    return CreateRecordingWriter(m_vecCalls, m_nFailingCall);
  }

  FileSystemCalls m_calls = SystemFileCalls();
  std::vector<std::string> m_vecCalls;
  int m_nFailingCall = -1;
};

/// A system call's failure: sets errno and returns -1.
int Failure(int nError) {
  errno = nError;
  return -1;
}

class FileFaults : public WriterTest {
protected:
  FileFaults()
      : m_strTarget(m_dir.Write("out.vxml", kPrevious)), m_nDescriptors(CountOpenDescriptors()) {}

  /// Puts the previous document back and writes the table over it.
  bool WriteFile() {
    m_dir.Write("out.vxml", kPrevious);
    m_files.m_vecCalls.clear();
    return WriteVoiceXml(m_strTarget, table, WriteContext{messages, m_files});
  }

  /// The document a write without faults gives, the writes it takes counted into \p nWrites.
  std::string CleanDocument(int& nWrites) {
    nWrites = 0;
    m_files.m_calls.write = [&nWrites](int nDescriptor, const void* pData, std::size_t nSize) {
      ++nWrites;
      return ::write(nDescriptor, pData, nSize);
    };
    EXPECT_TRUE(WriteFile());
    m_files.m_calls = SystemFileCalls();
    return m_dir.Read("out.vxml");
  }

  /// The failed write showed one message of a writing stage; nothing was lost or left behind.
  void ExpectNothingLost(const std::string& strCase) {
    const std::string strText = messages.Take().strText;
    EXPECT_TRUE(strText == text::kCannotWriteHeader || strText == text::kCannotWriteElement ||
                strText == text::kCannotWriteEnd)
        << strCase << ": " << strText;
    EXPECT_EQ(m_dir.Read("out.vxml"), kPrevious) << strCase;
    EXPECT_EQ(m_dir.List(), "out.vxml") << strCase;
    EXPECT_EQ(CountOpenDescriptors(), m_nDescriptors) << strCase;
  }

  /// A table whose document is several times libxml2's output buffer, so that it reaches the
  /// file in several writes, most of them in the middle of a row.
  void LargeTable() {
    constexpr int kKeys = 100;
    std::vector<Row> keys;
    keys.reserve(kKeys);
    for (int i = 0; i < kKeys; ++i)
      keys.push_back(Row{kindDial, static_cast<char>('0' + i % 10), std::string(60, '7')});
    Table(Scenario("m.ivr", keys));
  }

  CTempDir m_dir;
  std::string m_strTarget;
  CFaultyFileOutput m_files;
  int m_nDescriptors;
};

TEST_F(FileFaults, WriterCallFailingAtEveryPositionLeavesThePreviousFile) {
  Table(WorkedExampleRows());
  ASSERT_TRUE(WriteFile());
  const std::vector<std::string> calls = m_files.m_vecCalls;
  ASSERT_GT(calls.size(), 40u);
  for (int nFailing = 0; nFailing < static_cast<int>(calls.size()); ++nFailing) {
    m_files.m_nFailingCall = nFailing;
    EXPECT_FALSE(WriteFile());
    ExpectNothingLost("call " + std::to_string(nFailing) + " " + calls[nFailing]);
  }
  RecordProperty("faults_injected", static_cast<int>(calls.size()));
}

struct WriteFault {
  const char* szName;
  int nError;        ///< errno of the failing write; 0 for a write that writes nothing
  bool bShortBefore; ///< the write before the failing one writes only part of its bytes
};

class FileWriteFaults : public FileFaults, public testing::WithParamInterface<WriteFault> {};

TEST_P(FileWriteFaults, FailingAtEveryWriteLeavesThePreviousFile) {
  LargeTable();
  int nWrites = 0;
  CleanDocument(nWrites);
  ASSERT_GE(nWrites, 4) << "the document must reach the file in several writes";
  const WriteFault fault = GetParam();
  for (int nFailing = 0; nFailing < nWrites; ++nFailing) {
    int nCall = 0;
    m_files.m_calls.write = [&](int nDescriptor, const void* pData, std::size_t nSize) -> ssize_t {
      const int nThis = nCall++;
      if (fault.bShortBefore && nThis + 1 == nFailing)
        return ::write(nDescriptor, pData, nSize / 2 + 1);
      if (nThis != nFailing)
        return ::write(nDescriptor, pData, nSize);
      return fault.nError == 0 ? 0 : Failure(fault.nError);
    };
    EXPECT_FALSE(WriteFile());
    ExpectNothingLost(std::string(fault.szName) + " at write " + std::to_string(nFailing));
  }
  RecordProperty("faults_injected", nWrites);
}

INSTANTIATE_TEST_SUITE_P(Faults, FileWriteFaults,
                         testing::Values(WriteFault{"DiskFull", ENOSPC, false},
                                         WriteFault{"QuotaExceeded", EDQUOT, false},
                                         WriteFault{"IoError", EIO, false},
                                         WriteFault{"ShortWriteThenDiskFull", ENOSPC, true},
                                         WriteFault{"NothingWritten", 0, false}),
                         [](const auto& info) { return std::string(info.param.szName); });

TEST_F(FileFaults, DiskFullAtTheEndNamesTheReason) {
  // The worked example is smaller than libxml2's buffer: it all reaches the file on the flush.
  Table(WorkedExampleRows());
  m_files.m_calls.write = [](int, const void*, std::size_t) -> ssize_t { return Failure(ENOSPC); };
  EXPECT_FALSE(WriteFile());
  EXPECT_EQ(messages.Expect(text::kCannotWriteEnd).detail.strNote, std::strerror(ENOSPC));
  EXPECT_EQ(m_dir.Read("out.vxml"), kPrevious);
  EXPECT_EQ(m_dir.List(), "out.vxml");
}

TEST_F(FileFaults, InterruptedWritesAreRepeated) {
  LargeTable();
  int nWrites = 0;
  const std::string strClean = CleanDocument(nWrites);
  for (int nInterrupted = 0; nInterrupted < nWrites; ++nInterrupted) {
    int nCall = 0;
    m_files.m_calls.write = [&](int nDescriptor, const void* pData, std::size_t nSize) -> ssize_t {
      if (nCall++ == nInterrupted)
        return Failure(EINTR);
      return ::write(nDescriptor, pData, nSize);
    };
    ASSERT_TRUE(WriteFile()) << "write " << nInterrupted;
    EXPECT_EQ(m_dir.Read("out.vxml"), strClean) << "write " << nInterrupted;
    EXPECT_EQ(m_dir.List(), "out.vxml");
  }
}

struct CommitFault {
  const char* szCall; ///< "fsync", "close" or "rename"
  int nError;
  bool bWritten; ///< the document replaces the target all the same
};

class FileCommitFaults : public FileFaults, public testing::WithParamInterface<CommitFault> {
protected:
  /// Makes the call the parameter names fail; a failing close still releases its descriptor.
  void InjectFault() {
    const CommitFault fault = GetParam();
    const std::string strCall = fault.szCall;
    if (strCall == "fsync")
      m_files.m_calls.fsync = [fault](int) { return Failure(fault.nError); };
    if (strCall == "close")
      m_files.m_calls.close = [fault](int nDescriptor) {
        ::close(nDescriptor);
        return Failure(fault.nError);
      };
    if (strCall == "rename")
      m_files.m_calls.rename = [fault](const char*, const char*) { return Failure(fault.nError); };
  }
};

TEST_P(FileCommitFaults, FailureLeavesThePreviousFileWithTheSystemsReason) {
  Table(WorkedExampleRows());
  InjectFault();
  if (GetParam().bWritten) {
    EXPECT_TRUE(WriteFile());
    std::string strError;
    XmlElements(m_dir.Read("out.vxml"), strError);
    EXPECT_EQ(strError, "");
    EXPECT_EQ(m_dir.List(), "out.vxml");
    return;
  }
  EXPECT_FALSE(WriteFile());
  const auto message = messages.Expect(text::kCannotWriteEnd);
  EXPECT_EQ(message.detail.strNote, std::strerror(GetParam().nError));
  EXPECT_EQ(m_dir.Read("out.vxml"), kPrevious);
  EXPECT_EQ(m_dir.List(), "out.vxml");
  EXPECT_EQ(CountOpenDescriptors(), m_nDescriptors);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FileCommitFaults,
    testing::Values(CommitFault{"fsync", EIO, false}, CommitFault{"fsync", ENOSPC, false},
                    CommitFault{"fsync", EDQUOT, false},
                    // A file system that cannot synchronise at all.
                    CommitFault{"fsync", EINVAL, true}, CommitFault{"close", EIO, false},
                    CommitFault{"close", ENOSPC, false}, CommitFault{"rename", EXDEV, false},
                    CommitFault{"rename", EACCES, false}, CommitFault{"rename", EBUSY, false},
                    CommitFault{"rename", ENOSPC, false}, CommitFault{"rename", EROFS, false}),
    [](const auto& info) {
      return std::string(info.param.szCall) + "_" + std::to_string(info.param.nError);
    });

TEST_F(FileFaults, DocumentIsOnDiskBeforeItReplacesTheTarget) {
  Table(WorkedExampleRows());
  std::vector<std::string> order;
  int hTemp = -1;
  const FileSystemCalls system = SystemFileCalls();
  m_files.m_calls.open = [&](const char* szPath, int nFlags, mode_t nMode) {
    hTemp = system.open(szPath, nFlags, nMode);
    order.push_back("open");
    return hTemp;
  };
  m_files.m_calls.fsync = [&](int nDescriptor) {
    order.push_back(nDescriptor == hTemp ? "fsync" : "fsync of another file");
    return system.fsync(nDescriptor);
  };
  m_files.m_calls.close = [&](int nDescriptor) {
    order.push_back("close");
    return system.close(nDescriptor);
  };
  m_files.m_calls.rename = [&](const char* szFrom, const char* szTo) {
    order.push_back("rename");
    return system.rename(szFrom, szTo);
  };
  ASSERT_TRUE(WriteFile());
  EXPECT_EQ(order, (std::vector<std::string>{"open", "fsync", "close", "rename"}));
}

TEST_F(FileFaults, TemporaryFileThatCannotBeCreated) {
  Table(WorkedExampleRows());
  for (const int nError : {ENOSPC, EMFILE, EACCES, EROFS, EEXIST}) {
    int nAttempts = 0;
    m_files.m_calls.open = [&nAttempts, nError](const char*, int, mode_t) {
      ++nAttempts;
      return Failure(nError);
    };
    EXPECT_FALSE(WriteFile());
    const auto message = messages.Expect(text::kCannotWriteHeader);
    EXPECT_EQ(message.detail.strNote, "папка «" + m_dir.Path() + "» не принимает новый файл: " +
                                          std::strerror(nError));
    // Only a name that is taken is worth another try, and not for ever.
    EXPECT_EQ(nAttempts, nError == EEXIST ? 100 : 1) << std::strerror(nError);
    EXPECT_EQ(m_dir.Read("out.vxml"), kPrevious);
    EXPECT_EQ(m_dir.List(), "out.vxml");
    EXPECT_EQ(CountOpenDescriptors(), m_nDescriptors);
  }
}

} // namespace
} // namespace dovetrel::test
