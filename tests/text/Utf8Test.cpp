// UTF-8 stepping, and the table's measure of a text against iconv's Windows-1251 for every
// character of the BMP.

#include "text/Utf8.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

namespace dovetrel {
namespace {

std::string Utf8Of(char32_t c) {
  std::string strOut;
  if (c < 0x80) {
    strOut += static_cast<char>(c);
  } else if (c < 0x800) {
    strOut += static_cast<char>(0xC0 | (c >> 6));
    strOut += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    strOut += static_cast<char>(0xE0 | (c >> 12));
    strOut += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    strOut += static_cast<char>(0x80 | (c & 0x3F));
  }
  return strOut;
}

/// True when iconv writes \p utf8 in Windows-1251 as one byte.
bool OneWindows1251Byte(const std::string& utf8) {
  const iconv_t pIconv = iconv_open("WINDOWS-1251", "UTF-8");
  char* pIn = const_cast<char*>(utf8.data()); // iconv's signature; the input is not written
  std::size_t nIn = utf8.size();
  char out[8];
  char* pOut = out;
  std::size_t nOut = sizeof out;
  const bool bDone = iconv(pIconv, &pIn, &nIn, &pOut, &nOut) != static_cast<std::size_t>(-1);
  iconv_close(pIconv);
  return bDone && pOut - out == 1;
}

TEST(TableTextLength, IsOneByteForEveryCharacterWindows1251WritesAndTheBytesOtherwise) {
  int nWritable = 0;
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF)
      continue;
    const std::string utf8 = Utf8Of(c);
    ASSERT_EQ(Utf8SequenceLength(utf8, 0), utf8.size()) << std::hex << static_cast<unsigned>(c);
    ASSERT_EQ(static_cast<unsigned>(DecodeUtf8Sequence(utf8)), static_cast<unsigned>(c));
    const bool bWritable = OneWindows1251Byte(utf8);
    nWritable += bWritable ? 1 : 0;
    ASSERT_EQ(TableTextLength(utf8 + "a" + utf8), bWritable ? 3 : 2 * utf8.size() + 1)
        << std::hex << static_cast<unsigned>(c);
  }
  EXPECT_EQ(nWritable, 254); // every byte of Windows-1251 but NUL and 0x98
}

TEST(TableTextLength, CountsTheBytesOfWhatIsNoUtf8) {
  EXPECT_EQ(TableTextLength("\xD0\xB4\xE0"), 3u);     // a letter, then a byte of no sequence
  EXPECT_EQ(TableTextLength("\xED\xA0\x80"), 3u);     // a surrogate
  EXPECT_EQ(TableTextLength("\xF0\x9F\x98\x80"), 4u); // beyond the BMP: Windows-1251 has none
  EXPECT_EQ(TableTextLength(""), 0u);
}

TEST(Utf8, ValidatorTable) {
  const std::pair<std::string, bool> cases[] = {
      {"", true},
      {"abc", true},
      {"\xD0\xB4", true},
      {"\xF0\x9F\x98\x80", true},
      {"\xD0", false},
      {"\x80", false},
      {"\xC1\xBF", false},
      {"\xE0\x80\x80", false},
      {"\xF4\x90\x80\x80", false},
      {"\xED\xBF\xBF", false},
      {"\xEF\xBF\xBF", true},
  };
  for (const auto& [text, bValid] : cases)
    EXPECT_EQ(IsUtf8(text), bValid) << testing::PrintToString(text);
}

} // namespace
} // namespace dovetrel
