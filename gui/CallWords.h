#pragma once

#include "flow/CallFlow.h"
#include "vxml/VoiceXmlWriter.h"

#include <string>
#include <string_view>

namespace dovetrel {

/// \p line, one transcript line in dovetrel-call's words, as the call window shows it, in Russian:
/// «Меню main.ivr», «Ожидание 10 с», «Нажата 1», «Отбой». The texts stay as the transcript has
/// them; a line in no known word stays whole.
std::string ShownCallStep(std::string_view line);

/// True when the event \p word names ("1", "silence", "fax") is answered by a row of \p menu in a
/// document of \p dialect: the keys that act and stand out on the keypad. A standard document
/// carries neither fax rows nor keys a telephone cannot send.
bool EventActs(const FlowMenu& menu, std::string_view word, Dialect dialect);

} // namespace dovetrel
