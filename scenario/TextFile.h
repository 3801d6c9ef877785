#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// An open file that the reader takes bytes from.
class IInputFile {
public:
  virtual ~IInputFile() = default;
  /// Reads up to \p nSize bytes: the count read, 0 at the end of the file, -1 on a read error.
  virtual std::ptrdiff_t Read(char* pBuffer, std::size_t nSize) = 0;
};

/// A file read from bytes in memory, which outlive it: an editor's buffer, a file as a fix left it.
class CMemoryInputFile final : public IInputFile {
public:
  explicit CMemoryInputFile(std::string_view bytes) : m_bytes(bytes) {}
  std::ptrdiff_t Read(char* pBuffer, std::size_t nSize) override;

private:
  std::string_view m_bytes;
};

/// Where the reader opens scenario files: the real file system, or a test's stand-in.
class IInputFiles {
public:
  virtual ~IInputFiles() = default;
  /// Opens \p strPath for reading. Anything that cannot be read as a regular file (missing, a
  /// directory, a device, no permission) is refused: null, with the system's reason in
  /// \p strReason.
  virtual std::unique_ptr<IInputFile> Open(const std::string& strPath, std::string& strReason) = 0;
};

/// The real file system.
IInputFiles& SystemInputFiles();

/// A read error in the middle of a file. The reader does not report it: it ends the command, whose
/// top level shows "An unknown error occurred while accessing PATH.".
class CFileReadError : public std::runtime_error {
public:
  explicit CFileReadError(const std::string& strPath);
  const std::string& Path() const { return m_strPath; }

private:
  std::string m_strPath;
};

/// One line of a scenario file as the reader keeps it, its line end removed.
///
/// Lines have no length limit, but memory does: the first kVerbatimColumns bytes are kept as they
/// stand; after them, runs of spaces are kept up to four, words up to 128 bytes, and nothing after
/// the fourth word that begins there. Every column the format reads from lies in the verbatim part,
/// so every word the reader takes, and every length limit it checks, comes out exactly as from the
/// whole line.
class CScenarioLine {
public:
  static constexpr std::size_t kVerbatimColumns = 256;

  CScenarioLine();
  void Clear();
  /// Adds the next byte of the line.
  void Append(char c);

  /// The kept bytes.
  std::string_view Text() const { return m_strText; }
  /// The 0-based column in the file's line of kept byte \p nIndex.
  std::uint64_t ColumnOf(std::size_t nIndex) const;
  /// Bytes of the line in the file; 0 for an empty line.
  std::uint64_t Length() const { return m_nLength; }
  bool Empty() const { return m_nLength == 0; }

private:
  std::string m_strText;
  std::vector<std::uint64_t>
      m_vecTailColumns; ///< columns of the kept bytes after the verbatim part
  std::uint64_t m_nLength = 0;
  std::size_t m_nWordStart = 0; ///< kept index where the current word begins
  std::size_t m_nWordBytes = 0; ///< kept bytes of the current word; 0 between words
  std::size_t m_nSpaceRun = 0;  ///< kept spaces of the current run
  int m_nTailWords = 0;         ///< words begun and ended after the verbatim part
  bool m_bFull = false;         ///< nothing more of this line matters
};

/// Reads a file as lines of text: LF ends a line and a CR just before it is dropped, a byte 0x1A
/// ends the text, the last line needs no line end, an empty line is a line, and a NUL byte ends a
/// line's content (the bytes after it, up to the line end, are ignored). A UTF-8 byte-order mark
/// at the start of the file is no part of its text (editors on Windows write one).
class CLineReader {
public:
  CLineReader(IInputFile& file, std::string strPath);

  /// The next line into \p line; false at the end of the text. Throws CFileReadError when the file
  /// cannot be read further.
  bool ReadLine(CScenarioLine& line);
  /// 1-based number of the line last read.
  int LineNumber() const { return m_nLine; }

private:
  int NextByte();
  int NextFileByte();
  void SkipByteOrderMark();
  void CountLine();

  IInputFile& m_file;
  std::string m_strPath;
  std::unique_ptr<char[]> m_pBuffer;
  std::size_t m_nPos = 0;
  std::size_t m_nSize = 0;
  bool m_bEnd = false;
  bool m_bStarted = false;  ///< the byte-order mark has been looked for
  std::string m_strPending; ///< bytes read at the start that were no byte-order mark
  int m_nLine = 0;
};

} // namespace dovetrel
