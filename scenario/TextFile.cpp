#include "scenario/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace dovetrel {

std::ptrdiff_t CMemoryInputFile::Read(char* pBuffer, std::size_t nSize) {
  const std::size_t nCount = std::min(nSize, m_bytes.size());
  std::memcpy(pBuffer, m_bytes.data(), nCount);
  m_bytes.remove_prefix(nCount);
  return static_cast<std::ptrdiff_t>(nCount);
}

namespace {

constexpr std::size_t kTailSpaces = 4;
constexpr std::size_t kTailWordBytes = 128;
constexpr int kTailWords = 4;
constexpr std::size_t kReadChunk = std::size_t{64} * 1024;
constexpr int kEndOfText = 0x1A;

class CPosixInputFile final : public IInputFile {
public:
  explicit CPosixInputFile(int nDescriptor) : m_nDescriptor(nDescriptor) {}
  ~CPosixInputFile() override { ::close(m_nDescriptor); }
  CPosixInputFile(const CPosixInputFile&) = delete;
  CPosixInputFile& operator=(const CPosixInputFile&) = delete;

  std::ptrdiff_t Read(char* pBuffer, std::size_t nSize) override {
    for (;;) {
      const ssize_t nRead = ::read(m_nDescriptor, pBuffer, nSize);
      if (nRead >= 0 || errno != EINTR)
        return nRead < 0 ? -1 : nRead;
    }
  }

private:
  int m_nDescriptor;
};

class CPosixInputFiles final : public IInputFiles {
public:
  std::unique_ptr<IInputFile> Open(const std::string& strPath, std::string& strReason) override {
    // Non-blocking, so that a named pipe cannot hold the open; a pipe is refused just below.
    const int nDescriptor = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (nDescriptor < 0) {
      strReason = std::strerror(errno);
      return nullptr;
    }
    auto pFile = std::make_unique<CPosixInputFile>(nDescriptor);
    struct stat info {};
    if (::fstat(nDescriptor, &info) != 0) {
      strReason = std::strerror(errno);
      return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
      strReason = std::strerror(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
      return nullptr;
    }
    // O_NONBLOCK stays: it changes nothing for a regular file.
    return pFile;
  }
};

} // namespace

IInputFiles& SystemInputFiles() {
  static CPosixInputFiles files;
  return files;
}

CFileReadError::CFileReadError(const std::string& strPath)
    : std::runtime_error("An unknown error occurred while accessing " + strPath + "."),
      m_strPath(strPath) {}

CScenarioLine::CScenarioLine() {
  m_strText.reserve(kVerbatimColumns + kTailWords * (kTailWordBytes + kTailSpaces) + kTailSpaces);
  m_vecTailColumns.reserve(m_strText.capacity());
}

void CScenarioLine::Clear() {
  m_strText.clear();
  m_vecTailColumns.clear();
  m_nLength = 0;
  m_nWordStart = m_nWordBytes = m_nSpaceRun = 0;
  m_nTailWords = 0;
  m_bFull = false;
}

void CScenarioLine::Append(char c) {
  const std::uint64_t nColumn = m_nLength++;
  const bool bVerbatim = nColumn < kVerbatimColumns;
  if (m_bFull)
    return;
  if (c == ' ') {
    if (m_nWordBytes > 0 && m_nWordStart >= kVerbatimColumns && ++m_nTailWords == kTailWords) {
      m_bFull = true;
      return;
    }
    m_nWordBytes = 0;
    if (!bVerbatim && m_nSpaceRun >= kTailSpaces)
      return;
    ++m_nSpaceRun;
  } else {
    if (m_nWordBytes == 0)
      m_nWordStart = m_strText.size();
    if (!bVerbatim && m_nWordBytes >= kTailWordBytes)
      return;
    ++m_nWordBytes;
    m_nSpaceRun = 0;
  }
  m_strText.push_back(c);
  if (!bVerbatim)
    m_vecTailColumns.push_back(nColumn);
}

std::uint64_t CScenarioLine::ColumnOf(std::size_t nIndex) const {
  if (nIndex < kVerbatimColumns)
    return nIndex;
  const std::size_t nTail = nIndex - kVerbatimColumns;
  return nTail < m_vecTailColumns.size() ? m_vecTailColumns[nTail] : m_nLength;
}

CLineReader::CLineReader(IInputFile& file, std::string strPath)
    : m_file(file), m_strPath(std::move(strPath)), m_pBuffer(new char[kReadChunk]) {}

int CLineReader::NextByte() {
  if (!m_strPending.empty()) {
    const int c = static_cast<unsigned char>(m_strPending.front());
    m_strPending.erase(0, 1);
    return c;
  }
  return NextFileByte();
}

void CLineReader::SkipByteOrderMark() {
  static constexpr std::string_view kMark = "\xEF\xBB\xBF";
  m_bStarted = true;
  for (const char m : kMark) {
    const int c = NextFileByte();
    if (c < 0)
      break;
    m_strPending.push_back(static_cast<char>(c));
    if (static_cast<char>(c) != m)
      return;
  }
  if (m_strPending == kMark)
    m_strPending.clear();
}

int CLineReader::NextFileByte() {
  if (m_bEnd)
    return -1;
  if (m_nPos == m_nSize) {
    const std::ptrdiff_t nRead = m_file.Read(m_pBuffer.get(), kReadChunk);
    if (nRead < 0)
      throw CFileReadError(m_strPath);
    if (nRead == 0) {
      m_bEnd = true;
      return -1;
    }
    m_nPos = 0;
    m_nSize = static_cast<std::size_t>(nRead);
  }
  const int c = static_cast<unsigned char>(m_pBuffer[m_nPos++]);
  if (c == kEndOfText) {
    m_bEnd = true;
    return -1;
  }
  return c;
}

bool CLineReader::ReadLine(CScenarioLine& line) {
  line.Clear();
  if (!m_bStarted)
    SkipByteOrderMark();
  bool bAny = false;       // some byte of this line, its line end included, was taken
  bool bCut = false;       // a NUL ended the content
  bool bPendingCr = false; // a CR that a following LF would drop
  for (int c = NextByte(); c >= 0; c = NextByte()) {
    bAny = true;
    if (c == '\n') {
      CountLine();
      return true;
    }
    if (bPendingCr)
      line.Append('\r');
    bPendingCr = false;
    if (bCut)
      continue;
    if (c == '\r')
      bPendingCr = true;
    else if (c == '\0')
      bCut = true;
    else
      line.Append(static_cast<char>(c));
  }
  if (bPendingCr)
    line.Append('\r');
  if (!bAny)
    return false;
  CountLine();
  return true;
}

void CLineReader::CountLine() {
  // Past the largest number a line keeps that number rather than overflowing; only empty lines
  // can come that far, since the table holds a few rows.
  if (m_nLine < std::numeric_limits<int>::max())
    ++m_nLine;
}

} // namespace dovetrel
