#pragma once

#include <string_view>

namespace dovetrel {

/// True when \p key is a DTMF key, one a telephone sends: 0 to 9, '*' or '#'. A standard document
/// carries no other key, and a grammar of one matches no other.
constexpr bool IsDtmfKey(char key) {
  return (key >= '0' && key <= '9') || key == '*' || key == '#';
}

/// True when \p key, a key as a call names it, is one DTMF key.
constexpr bool IsDtmfKey(std::string_view key) {
  return key.size() == 1 && IsDtmfKey(key.front());
}

} // namespace dovetrel
