#pragma once

#include "scenario/TextFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace dovetrel::test {

/// A file of \p nSize bytes that repeats \p pattern from its first byte, served a whole read at a
/// time with block copies: a line of megabytes costs the reader's time alone, and reading
/// allocates nothing.
class CRepeatingFile final : public IInputFile {
public:
  CRepeatingFile(std::string_view pattern, std::uint64_t nSize)
      : m_pattern(pattern), m_nSize(nSize) {}

  std::ptrdiff_t Read(char* pBuffer, std::size_t nSize) override {
    const auto nCount = static_cast<std::size_t>(std::min<std::uint64_t>(nSize, m_nSize - m_nPos));
    for (std::size_t nDone = 0; nDone < nCount;) {
      const auto nOffset = static_cast<std::size_t>(m_nPos % m_pattern.size());
      const std::size_t nPiece = std::min(m_pattern.size() - nOffset, nCount - nDone);
      std::memcpy(pBuffer + nDone, m_pattern.data() + nOffset, nPiece);
      nDone += nPiece;
      m_nPos += nPiece;
    }
    return static_cast<std::ptrdiff_t>(nCount);
  }

private:
  std::string_view m_pattern;
  std::uint64_t m_nSize;
  std::uint64_t m_nPos = 0;
};

} // namespace dovetrel::test
