#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>

namespace dovetrel {

/// Where a document goes. Until Commit succeeds the target is untouched; destroying an uncommitted
/// stream discards everything written to it.
class IOutputStream {
public:
  virtual ~IOutputStream() = default;
  /// Appends \p nSize bytes; false when they could not be written.
  virtual bool Write(const char* pData, std::size_t nSize) = 0;
  /// Makes the written document the target's content, all at once.
  virtual bool Commit() = 0;
  /// The system's words for the last failure; empty if there was none.
  virtual std::string Reason() const = 0;
};

/// A streaming XML writer: each call writes its piece at once, no tree is kept. Every call returns
/// a status; a negative one is a failure.
class IXmlWriter {
public:
  virtual ~IXmlWriter() = default;
  /// All further text goes to \p stream, which must outlive the writer.
  virtual int SetOutput(IOutputStream& stream) = 0;
  /// Indents nested elements by two spaces, one element per line.
  virtual int SetIndentation() = 0;
  /// The declaration: version 1.0, encoding UTF-8, no standalone declaration.
  virtual int WriteStartDocument() = 0;
  /// Opens an element as the last child of the innermost open one.
  virtual int WriteStartElement(const char* szName) = 0;
  /// An attribute of the element just opened; \p szValue is UTF-8 and is escaped here.
  virtual int WriteAttributeString(const char* szName, const char* szValue) = 0;
  /// Text content of the innermost open element; \p szText is UTF-8 and is escaped here.
  virtual int WriteString(const char* szText) = 0;
  /// Closes the innermost element, as an empty-element tag when it has no content.
  virtual int WriteEndElement() = 0;
  /// Closes every element still open, innermost first.
  virtual int WriteEndDocument() = 0;
  /// Hands everything written so far to the stream.
  virtual int Flush() = 0;
};

/// Makes the output stream and the XML writer of one document.
class IXmlOutputFactory {
public:
  virtual ~IXmlOutputFactory() = default;
  /// A stream that will replace \p strPath; null, with the system's reason, when the target cannot
  /// be written (missing directory, a directory, no permission). Creates nothing in that case.
  virtual std::unique_ptr<IOutputStream> CreateStream(const std::string& strPath,
                                                      std::string& strReason) = 0;
  /// A new writer without output; null when none can be made.
  virtual std::unique_ptr<IXmlWriter> CreateWriter() = 0;
};

/// libxml2's xmlTextWriter over a file that is replaced only once the document is complete.
IXmlOutputFactory& SystemXmlOutput();

/// The libxml2 writer into nowhere: every document is written in full and thrown away, to learn
/// whether a table can be written without touching any file.
IXmlOutputFactory& DiscardingXmlOutput();

/// The libxml2 writer alone, for any stream.
std::unique_ptr<IXmlWriter> CreateLibXmlWriter();

/// Stops libxml2 printing its own failure reports ("I/O error : flush error") to standard error on
/// this thread. The writer's callers learn of every failure from its results and report it once,
/// in their own words; a front end whose standard error has a fixed form calls this at start.
void SilenceLibXmlReports();

/// The system calls through which a replacing file creates, writes and puts in place its temporary
/// file. Each behaves as its POSIX namesake, errno included; tests put failing ones in.
struct FileSystemCalls {
  std::function<int(const char* szPath, int nFlags, mode_t nMode)> open;
  std::function<ssize_t(int nDescriptor, const void* pData, std::size_t nSize)> write;
  std::function<int(int nDescriptor)> fsync;
  /// Must release the descriptor even when it reports a failure, as the system's does.
  std::function<int(int nDescriptor)> close;
  std::function<int(const char* szFrom, const char* szTo)> rename;
};

/// The real calls.
FileSystemCalls SystemFileCalls();

/// The file that replaces \p strPath on Commit: written beside the target (beside the final
/// destination when the target is a symbolic link), renamed over it at the end, keeping an
/// existing file's permission bits.
/// Commit makes the document durable (fsync) before the rename, so that a crash leaves either
/// the old document or the new one whole.
std::unique_ptr<IOutputStream> CreateReplacingFile(const std::string& strPath,
                                                   std::string& strReason);
/// The same through \p calls.
std::unique_ptr<IOutputStream> CreateReplacingFile(const std::string& strPath,
                                                   std::string& strReason,
                                                   const FileSystemCalls& calls);

} // namespace dovetrel
