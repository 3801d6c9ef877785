#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace dovetrel {

inline constexpr std::string_view kUtf8 = "UTF-8";
inline constexpr std::string_view kWindows1251 = "WINDOWS-1251";

/// Decodes texts of a scenario set from the set's code page into UTF-8: the one holder of iconv,
/// whether the text goes into a document, a transcript or a diagram. An encoder goes the other
/// way, for an editor's UTF-8 buffer of a file its set keeps in another code page.
class CTextCodec {
public:
  /// A codec from \p strEncoding, any name iconv knows; null when it knows no such code page.
  static std::unique_ptr<CTextCodec> Open(const std::string& strEncoding);
  /// A codec from UTF-8 into \p strEncoding: its Decode writes the code page's bytes. Null when
  /// iconv knows no such code page.
  static std::unique_ptr<CTextCodec> OpenEncoder(const std::string& strEncoding);
  ~CTextCodec();
  CTextCodec(const CTextCodec&) = delete;
  CTextCodec& operator=(const CTextCodec&) = delete;

  /// Appends to \p strOut the UTF-8 of the longest beginning of \p text that the code page
  /// decodes, and returns its length in bytes: text.size() when the whole text decodes, less when
  /// a byte has no character there or a sequence is cut short at the end.
  std::size_t Decode(std::string_view text, std::string& strOut);

  /// Converts \p text into \p strOut. False when a byte has no character in the code page or
  /// when the result holds a character that XML 1.0 cannot carry; \p strOut then holds nothing
  /// useful.
  [[nodiscard]] bool ToXmlUtf8(std::string_view text, std::string& strOut);

private:
  explicit CTextCodec(void* pIconv) : m_pIconv(pIconv) {}
  void* m_pIconv; ///< iconv's conversion descriptor
};

/// True when iconv can convert from \p strEncoding.
bool IsKnownEncoding(const std::string& strEncoding);

} // namespace dovetrel
