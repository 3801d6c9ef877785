#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace dovetrel {

class CScenarioTable;

inline constexpr std::string_view kUtf8 = "UTF-8";
inline constexpr std::string_view kWindows1251 = "WINDOWS-1251";

/// Converts row values from the scenario files' code page into the document's UTF-8.
class CTextCodec {
public:
  /// A codec from \p strEncoding, any name iconv knows; null when it knows no such code page.
  static std::unique_ptr<CTextCodec> Open(const std::string& strEncoding);
  ~CTextCodec();
  CTextCodec(const CTextCodec&) = delete;
  CTextCodec& operator=(const CTextCodec&) = delete;

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

/// True when \p text is well-formed UTF-8: no stray, overlong or surrogate sequences.
bool IsValidUtf8(std::string_view text);

/// True when \p utf8 (valid UTF-8) holds only characters XML 1.0 allows.
bool IsXmlText(std::string_view utf8);

/// The code page of a loaded table: UTF-8 when every row text is valid UTF-8, otherwise
/// Windows-1251. An ASCII-only set reads the same either way.
std::string DetectSourceEncoding(const CScenarioTable& table);

} // namespace dovetrel
