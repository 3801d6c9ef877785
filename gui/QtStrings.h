#pragma once

#include <QString>

#include <string_view>

namespace dovetrel {

/// \p text, UTF-8 as every text of ours is, as Qt holds it.
inline QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace dovetrel
