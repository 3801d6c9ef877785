#pragma once

#include <string_view>

namespace dovetrel {

/// The project's version as every front end shows it ("1.3").
std::string_view Version();

} // namespace dovetrel
