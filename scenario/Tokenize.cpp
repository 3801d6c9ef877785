#include "scenario/Tokenize.h"

#include <stdexcept>

namespace dovetrel {

std::string_view Tokenize(std::string_view s, std::string_view delimiters, std::ptrdiff_t& nPos) {
  if (nPos < 0)
    throw std::invalid_argument("Tokenize: negative position");
  if (static_cast<std::size_t>(nPos) >= s.size()) {
    nPos = -1;
    return {};
  }
  const std::size_t nStart = s.find_first_not_of(delimiters, static_cast<std::size_t>(nPos));
  if (nStart == std::string_view::npos) {
    nPos = -1;
    return {};
  }
  std::size_t nEnd = s.find_first_of(delimiters, nStart);
  if (nEnd == std::string_view::npos)
    nEnd = s.size();
  nPos = static_cast<std::ptrdiff_t>(nEnd) + 1;
  return s.substr(nStart, nEnd - nStart);
}

} // namespace dovetrel
