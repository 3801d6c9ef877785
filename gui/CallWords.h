#pragma once

#include <string>
#include <string_view>

namespace dovetrel {

/// \p line, one transcript line in dovetrel-call's words, as the call window shows it, in Russian:
/// «Меню main.ivr», «Ожидание 10 с», «Нажата 1», «Отбой». The texts stay as the transcript has
/// them; a line in no known word stays whole.
std::string ShownCallStep(std::string_view line);

} // namespace dovetrel
