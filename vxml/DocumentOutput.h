#pragma once

#include "text/TextCodec.h"
#include "vxml/XmlOutput.h"

#include <memory>
#include <string>
#include <string_view>

namespace dovetrel {

/// The output of one document while it is written: the stream that replaces the target, the XML
/// writer on it and the codec of the row values. Made for one write and gone after it; going
/// before Finish throws the document away and leaves the target as it was.
class CDocumentOutput {
public:
  /// Takes \p pCodec for the row values, opens a stream on \p strPath and a writer on it, sets
  /// the indentation and writes the declaration. Null, with the reason in \p strReason, when any
  /// step fails; whatever was made is released again.
  static std::unique_ptr<CDocumentOutput> Open(const std::string& strPath,
                                               std::unique_ptr<CTextCodec> pCodec,
                                               IXmlOutputFactory& factory, std::string& strReason);
  ~CDocumentOutput();
  CDocumentOutput(const CDocumentOutput&) = delete;
  CDocumentOutput& operator=(const CDocumentOutput&) = delete;

  // Each of these is true when every writer call it made succeeded.

  /// Opens an element as the last child of the innermost open one.
  [[nodiscard]] bool StartElement(const char* szName);
  /// Closes the innermost open element.
  [[nodiscard]] bool EndElement();
  /// An element without attributes or content.
  [[nodiscard]] bool EmptyElement(const char* szName);
  /// An attribute whose value is a constant of the program.
  [[nodiscard]] bool ConstantAttribute(const char* szName, const char* szValue);
  /// An attribute whose value comes from the scenario files, converted just before it is written.
  /// False, writing nothing, when the value has a byte without a character in the code page or a
  /// character XML cannot carry.
  [[nodiscard]] bool ValueAttribute(const char* szName, std::string_view value);
  /// A URI attribute whose value comes from the scenario files: converted as ValueAttribute does,
  /// then every ASCII character a URI cannot hold percent-encoded, so that the value is a valid
  /// URI ("a b%.wav" gives "a%20b%25.wav"); a value that is one already stays as it is.
  [[nodiscard]] bool UriAttribute(const char* szName, std::string_view value);
  /// Text content, a constant of the program.
  [[nodiscard]] bool Text(const char* szText);
  /// True when \p value can be written as an attribute value.
  [[nodiscard]] bool CanCarry(std::string_view value);
  /// Closes every element still open, flushes the document and puts it in place of the target.
  [[nodiscard]] bool Finish();

  /// The system's words for the last failure of the stream; empty if there was none.
  std::string Reason() const { return m_pStream->Reason(); }

private:
  CDocumentOutput(std::unique_ptr<CTextCodec> pCodec, std::unique_ptr<IOutputStream> pStream);

  // The stream outlives the writer, which may still push buffered text into it.
  std::unique_ptr<CTextCodec> m_pCodec;
  std::unique_ptr<IOutputStream> m_pStream;
  std::unique_ptr<IXmlWriter> m_pWriter;
  std::string m_strValue; ///< the UTF-8 form of the value being written
};

} // namespace dovetrel
