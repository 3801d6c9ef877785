#include "text/TextCodec.h"

#include "text/Utf8.h"

#include <iconv.h>

namespace dovetrel {

namespace {

iconv_t Handle(void* h) {
  return static_cast<iconv_t>(h);
}

// iconv_open's documented failure value.
const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)

/// No code page iconv knows takes more than four UTF-8 bytes for one byte of its own.
constexpr std::size_t kMaxGrowth = 4;

} // namespace

std::unique_ptr<CTextCodec> CTextCodec::Open(const std::string& strEncoding) {
  const iconv_t pIconv = iconv_open("UTF-8", strEncoding.c_str());
  if (pIconv == kNoIconv)
    return nullptr;
  return std::unique_ptr<CTextCodec>(new CTextCodec(pIconv));
}

std::unique_ptr<CTextCodec> CTextCodec::OpenEncoder(const std::string& strEncoding) {
  const iconv_t pIconv = iconv_open(strEncoding.c_str(), "UTF-8");
  if (pIconv == kNoIconv)
    return nullptr;
  return std::unique_ptr<CTextCodec>(new CTextCodec(pIconv));
}

CTextCodec::~CTextCodec() {
  iconv_close(Handle(m_pIconv));
}

std::size_t CTextCodec::Decode(std::string_view text, std::string& strOut) {
  const std::size_t nStart = strOut.size();
  strOut.resize(nStart + text.size() * kMaxGrowth + kMaxGrowth);
  iconv(Handle(m_pIconv), nullptr, nullptr, nullptr, nullptr);
  char* pIn = const_cast<char*>(text.data()); // iconv's signature; the input is not written
  std::size_t nIn = text.size();
  char* pNext = strOut.data() + nStart;
  std::size_t nLeft = strOut.size() - nStart;
  // The room suffices, so a failure is a byte the code page cannot decode, or a sequence cut
  // short at the end.
  if (iconv(Handle(m_pIconv), &pIn, &nIn, &pNext, &nLeft) != static_cast<std::size_t>(-1))
    iconv(Handle(m_pIconv), nullptr, nullptr, &pNext, &nLeft);
  strOut.resize(static_cast<std::size_t>(pNext - strOut.data()));
  return text.size() - nIn;
}

bool CTextCodec::ToXmlUtf8(std::string_view text, std::string& strOut) {
  strOut.clear();
  if (Decode(text, strOut) == text.size() && IsXmlText(strOut))
    return true;
  strOut.clear();
  return false;
}

bool IsKnownEncoding(const std::string& strEncoding) {
  return CTextCodec::Open(strEncoding) != nullptr;
}

} // namespace dovetrel
