#pragma once

#include "flow/CallFlow.h"
#include "vxml/VoiceXmlWriter.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// True when the event \p word names ("1", "silence", "fax") is answered by a row of \p menu in a
/// document of \p dialect: the keys that act and stand out on the keypad. A standard document
/// carries neither fax rows nor keys a telephone cannot send.
bool EventActs(const FlowMenu& menu, std::string_view word, Dialect dialect);

/// Where a call has been on its call flow: what the call window's diagram highlights.
struct CallPath {
  std::vector<SourcePlace> rows; ///< the rows that acted, in order: keys, no input, fax, busy
  std::vector<int> menus;        ///< the menus entered, in order (indexes into CallFlow::menus)
  /// The dials with a busy row whose number did not answer, in order: an outcome their rows tell
  /// apart from busy, with no row of its own.
  std::vector<SourcePlace> noAnswers;
  int nWaitingMenu = -1; ///< the menu whose keys the call waits for; -1 for none
  /// The row of the step the call is at when no menu waits: the dial whose number rings, or the
  /// hang-up or dial that ended the call.
  std::optional<SourcePlace> step;
};

/// Follows the transcript \p lines (dovetrel-call's words) of a call on the document of
/// \p dialect over \p flow, whose menus the transcript names as \p menuNames does (in flow order).
/// An event no row answers takes no row: the call just ends.
CallPath TraceCallPath(const CallFlow& flow, const std::vector<std::string>& menuNames,
                       const std::vector<std::string>& lines, const std::string& strEncoding,
                       Dialect dialect);

} // namespace dovetrel
