#include "tests/support/MemoryFiles.h"

#include <algorithm>

namespace dovetrel::test {

namespace {

class CMemoryFile final : public IInputFile {
public:
  CMemoryFile(std::uint64_t nSize, std::function<char(std::uint64_t)> generate,
              std::uint64_t nFailAfter, bool bThrow, std::size_t nChunk, int& nOpen)
      : m_nSize(nSize), m_generate(std::move(generate)), m_nFailAfter(nFailAfter), m_bThrow(bThrow),
        m_nChunk(nChunk), m_nOpen(nOpen) {
    ++m_nOpen;
  }
  ~CMemoryFile() override { --m_nOpen; }
  CMemoryFile(const CMemoryFile&) = delete;
  CMemoryFile& operator=(const CMemoryFile&) = delete;

  std::ptrdiff_t Read(char* pBuffer, std::size_t nSize) override {
    if (m_nPos >= m_nFailAfter && m_bThrow)
      throw CInjectedReadFault();
    if (m_nPos >= m_nFailAfter)
      return -1;
    const std::uint64_t nLimit = std::min(m_nSize, m_nFailAfter);
    const std::size_t nCount = static_cast<std::size_t>(
        std::min<std::uint64_t>({nSize, m_nChunk, nLimit - std::min(nLimit, m_nPos)}));
    for (std::size_t i = 0; i < nCount; ++i)
      pBuffer[i] = m_generate(m_nPos++);
    return static_cast<std::ptrdiff_t>(nCount);
  }

private:
  std::uint64_t m_nSize;
  std::function<char(std::uint64_t)> m_generate;
  std::uint64_t m_nFailAfter;
  bool m_bThrow;
  std::size_t m_nChunk;
  int& m_nOpen;
  std::uint64_t m_nPos = 0;
};

} // namespace

void CMemoryFiles::Add(const std::string& strPath, std::string content) {
  auto pContent = std::make_shared<std::string>(std::move(content));
  AddGenerated(strPath, pContent->size(),
               [pContent](std::uint64_t i) { return (*pContent)[static_cast<std::size_t>(i)]; });
}

void CMemoryFiles::AddGenerated(const std::string& strPath, std::uint64_t nSize,
                                std::function<char(std::uint64_t)> generate) {
  m_files[strPath] = File{nSize, std::move(generate), UINT64_MAX, false};
}

void CMemoryFiles::FailAfter(const std::string& strPath, std::uint64_t nBytes, bool bThrow) {
  m_files.at(strPath).nFailAfter = nBytes;
  m_files.at(strPath).bThrow = bThrow;
}

std::unique_ptr<IInputFile> CMemoryFiles::Open(const std::string& strPath, std::string& strReason) {
  m_vecOpened.push_back(strPath);
  const auto found = m_files.find(strPath);
  if (found == m_files.end()) {
    strReason = "No such file or directory";
    return nullptr;
  }
  const File& file = found->second;
  return std::make_unique<CMemoryFile>(file.nSize, file.generate, file.nFailAfter, file.bThrow,
                                       m_nChunk, m_nOpen);
}

} // namespace dovetrel::test
