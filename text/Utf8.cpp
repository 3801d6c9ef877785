#include "text/Utf8.h"

#include <algorithm>
#include <array>

namespace dovetrel {

namespace {

/// The characters of Windows-1251's bytes 0x80 to 0xBF (0x98 has none); 0xC0 to 0xFF are
/// U+0410 to U+044F, the Cyrillic capital and small letters А to я.
constexpr std::array<char32_t, 64> kWindows1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

bool InWindows1251(std::int32_t nCodepoint) {
  if (nCodepoint < 0)
    return false;
  const auto c = static_cast<char32_t>(nCodepoint);
  if (c < 0x80 || (c >= 0x0410 && c <= 0x044F))
    return true;
  return std::find(kWindows1251High.begin(), kWindows1251High.end(), c) != kWindows1251High.end();
}

bool IsXmlChar(std::int32_t nCodepoint) {
  if (nCodepoint < 0x20)
    return nCodepoint == 0x09 || nCodepoint == 0x0A || nCodepoint == 0x0D;
  return nCodepoint != 0xFFFE && nCodepoint != 0xFFFF;
}

} // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t nLength = 0;
  unsigned char nLow = 0x80;
  unsigned char nHigh = 0xBF; // bounds of the byte after the lead
  if (lead < 0x80)
    return 1;
  if (lead >= 0xC2 && lead <= 0xDF)
    nLength = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    nLength = 3, nLow = lead == 0xE0 ? 0xA0 : 0x80, nHigh = lead == 0xED ? 0x9F : 0xBF;
  else if (lead >= 0xF0 && lead <= 0xF4)
    nLength = 4, nLow = lead == 0xF0 ? 0x90 : 0x80, nHigh = lead == 0xF4 ? 0x8F : 0xBF;
  else
    return 0;
  if (i + nLength > text.size())
    return 0;
  for (std::size_t k = 1; k < nLength; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if (c < (k == 1 ? nLow : 0x80) || c > (k == 1 ? nHigh : 0xBF))
      return 0;
  }
  return nLength;
}

char32_t DecodeUtf8Sequence(std::string_view sequence) {
  static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t c = static_cast<unsigned char>(sequence[0]) & kLeadMask[sequence.size()];
  for (std::size_t k = 1; k < sequence.size(); ++k)
    c = (c << 6) | (static_cast<unsigned char>(sequence[k]) & 0x3F);
  return c;
}

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t nLength = Utf8SequenceLength(text, i);
    if (nLength == 0)
      return false;
    i += nLength;
  }
  return true;
}

bool IsXmlText(std::string_view text) {
  bool bXml = true;
  ForEachCodepoint(text, [&](std::int32_t nCodepoint, std::string_view /*sequence*/) {
    bXml = bXml && IsXmlChar(nCodepoint);
  });
  return bXml;
}

std::size_t TableTextLength(std::string_view text) {
  std::size_t nCharacters = 0;
  bool bWindows1251 = true;
  ForEachCodepoint(text, [&](std::int32_t nCodepoint, std::string_view /*sequence*/) {
    ++nCharacters;
    bWindows1251 = bWindows1251 && InWindows1251(nCodepoint);
  });
  return bWindows1251 ? nCharacters : text.size();
}

} // namespace dovetrel
