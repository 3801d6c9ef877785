#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dovetrel {

/// Bytes of the well-formed UTF-8 sequence that starts at \p i of \p text (1 for ASCII), or 0
/// when none starts there: a stray continuation byte, an overlong form, a surrogate, a sequence
/// cut short or past U+10FFFF.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);

/// The code point of the well-formed sequence \p sequence (as Utf8SequenceLength measures it).
char32_t DecodeUtf8Sequence(std::string_view sequence);

/// Calls \p visit(nCodepoint, sequence) for each character of \p text in turn: the code point and
/// the bytes of a well-formed sequence, or -1 and the one byte that starts none. The one walk over
/// UTF-8 that every text routine shares.
template <class Visit> void ForEachCodepoint(std::string_view text, Visit visit) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t nLength = Utf8SequenceLength(text, i);
    if (nLength == 0) {
      visit(std::int32_t{-1}, text.substr(i, 1));
      ++i;
      continue;
    }
    const std::string_view sequence = text.substr(i, nLength);
    visit(static_cast<std::int32_t>(DecodeUtf8Sequence(sequence)), sequence);
    i += nLength;
  }
}

/// True when \p text is well-formed UTF-8 throughout: no stray, overlong or surrogate sequences.
bool IsUtf8(std::string_view text);

/// True when \p text is well-formed UTF-8 whose every character XML 1.0 allows.
bool IsXmlText(std::string_view text);

/// The length a row text has against the table's limit: where \p text is UTF-8 whose every
/// character Windows-1251 can write, its characters (its bytes in Windows-1251), so that a set
/// measures alike in either encoding; otherwise its bytes.
std::size_t TableTextLength(std::string_view text);

} // namespace dovetrel
