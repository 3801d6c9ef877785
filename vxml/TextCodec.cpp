#include "vxml/TextCodec.h"

#include "scenario/ScenarioTable.h"

#include <cstdint>
#include <iconv.h>

namespace dovetrel {

namespace {

iconv_t Handle(void* h) {
  return static_cast<iconv_t>(h);
}

// iconv_open's documented failure value.
const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)

/// Decodes the UTF-8 sequence at \p i (advancing it); -1 for a malformed one.
std::int32_t DecodeUtf8(std::string_view s, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i++]);
  if (lead < 0x80)
    return lead;
  int nMore = 0;
  std::int32_t nCode = 0;
  std::int32_t nMin = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    nMore = 1, nCode = lead & 0x1F, nMin = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    nMore = 2, nCode = lead & 0x0F, nMin = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    nMore = 3, nCode = lead & 0x07, nMin = 0x10000;
  } else {
    return -1;
  }
  for (; nMore > 0; --nMore, ++i) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
      return -1;
    nCode = (nCode << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
  }
  if (nCode < nMin || nCode > 0x10FFFF || (nCode >= 0xD800 && nCode <= 0xDFFF))
    return -1;
  return nCode;
}

bool IsXmlChar(std::int32_t nCode) {
  if (nCode < 0x20)
    return nCode == 0x09 || nCode == 0x0A || nCode == 0x0D;
  return nCode != 0xFFFE && nCode != 0xFFFF;
}

} // namespace

std::unique_ptr<CTextCodec> CTextCodec::Open(const std::string& strEncoding) {
  const iconv_t pIconv = iconv_open("UTF-8", strEncoding.c_str());
  if (pIconv == kNoIconv)
    return nullptr;
  return std::unique_ptr<CTextCodec>(new CTextCodec(pIconv));
}

CTextCodec::~CTextCodec() {
  iconv_close(Handle(m_pIconv));
}

bool CTextCodec::ToXmlUtf8(std::string_view text, std::string& strOut) {
  // No code page iconv knows takes more than four UTF-8 bytes for one byte of its own; the room is
  // checked all the same.
  strOut.resize(text.size() * 4 + 4);
  iconv(Handle(m_pIconv), nullptr, nullptr, nullptr, nullptr);
  char* pIn = const_cast<char*>(text.data()); // iconv's signature; the input is not written
  std::size_t nIn = text.size();
  char* pNext = strOut.data();
  std::size_t nLeft = strOut.size();
  if (iconv(Handle(m_pIconv), &pIn, &nIn, &pNext, &nLeft) == static_cast<std::size_t>(-1) ||
      iconv(Handle(m_pIconv), nullptr, nullptr, &pNext, &nLeft) == static_cast<std::size_t>(-1)) {
    strOut.clear();
    return false;
  }
  strOut.resize(static_cast<std::size_t>(pNext - strOut.data()));
  return IsValidUtf8(strOut) && IsXmlText(strOut);
}

bool IsKnownEncoding(const std::string& strEncoding) {
  return CTextCodec::Open(strEncoding) != nullptr;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();)
    if (DecodeUtf8(text, i) < 0)
      return false;
  return true;
}

bool IsXmlText(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();)
    if (!IsXmlChar(DecodeUtf8(utf8, i)))
      return false;
  return true;
}

std::string DetectSourceEncoding(const CScenarioTable& table) {
  for (const ScenarioEntry& row : table.Entries())
    if (!IsValidUtf8(row.text))
      return std::string(kWindows1251);
  return std::string(kUtf8);
}

} // namespace dovetrel
