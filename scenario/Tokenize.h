#pragma once

#include <cstddef>
#include <string_view>

namespace dovetrel {

/// Splits \p s into words separated by any of the \p delimiters, starting at \p nPos.
///
/// Passes over delimiters from \p nPos on and returns the run of non-delimiters that follows;
/// \p nPos then stands one column past the byte after that word. When only delimiters (or
/// nothing) remain, returns an empty word and sets \p nPos to -1. The word is a view into \p s.
/// A negative \p nPos is a caller's mistake and throws std::invalid_argument.
///
/// Bytes are characters: every delimiter the format uses is ASCII, which a UTF-8 continuation
/// byte or a Windows-1251 letter never equals.
std::string_view Tokenize(std::string_view s, std::string_view delimiters, std::ptrdiff_t& nPos);

} // namespace dovetrel
