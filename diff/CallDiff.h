#pragma once

#include "call/CallSetup.h"
#include "flow/CallFlow.h"

#include <optional>
#include <string>
#include <vector>

namespace dovetrel {

/// One set of a comparison: its call flow and the code page of its texts.
struct DiffSide {
  const CallFlow& flow;
  const std::string& strEncoding;
};

/// What a change is about.
enum class ChangeTopic {
  Step,     ///< what an event does: the menu entered, the dial, the end of the call
  Greeting, ///< the greeting of a menu the callers reach
  Timeout,  ///< the timeout of a menu the callers reach
  MenuGone, ///< a menu the callers reached is reached no more
  MenuNew,  ///< a menu the callers did not reach is reached now
};

/// What a step change does to an arrow of the new flow.
enum class ChangeShape {
  Changed, ///< the event acts otherwise
  Added,   ///< the event acts where no row answered it
  Removed, ///< no row answers the event any more: the call ends
};

/// One difference a caller meets, where its author looks for it.
struct CallChange {
  ChangeTopic topic = ChangeTopic::Step;
  ChangeShape shape = ChangeShape::Changed;
  /// The new set's row; the old set's for a removal and a menu gone. Line 0: the file itself.
  SourcePlace place{};
  bool bOldSet = false; ///< place is in the old set
  /// The events that lead there from the start of the call, as dovetrel-call takes them ("2",
  /// "silence", "busy"); the last is the one that acts otherwise. Empty: the start of the call.
  std::vector<std::string> events{};
  std::string strOld{};    ///< what callers got, in words; empty when no row answered
  std::string strNew{};    ///< what callers get now, in words; empty when no row answers
  std::string strReason{}; ///< a row that starts or stops acting, and why; empty for none
  /// Step: the menu of the new flow the event is taken in, and for a busy outcome the row of the
  /// new flow's dial; -1 and empty otherwise. A drawing hangs a removed arrow there.
  int nMenu = -1;
  SourcePlace dialRow{};
};

/// Everything callers meet otherwise in \p newer than in \p older. Both flows are walked together
/// from their main menus, event by event (keys, no input, a fax, a dial's busy outcome), each pair
/// of menus the same events reach once: the first event that acts otherwise is a change and the
/// walk goes no deeper there; a menu reached in both under one name is compared (greeting,
/// timeout) and walked on. Texts are compared as a call names them, each set decoded from its own
/// code page. Changes come in the order of their places: the new set's rows in table order, then
/// the old set's, then menus gone and new; each found at its shortest sequence of events.
std::vector<CallChange> CompareCallFlows(const DiffSide& older, const DiffSide& newer);

/// The set of \p strIvr converted into memory exactly as the conversion converts it, in the code
/// page its own texts choose, its files read from \p pFiles (null: the disk): what callers of that
/// version get. Nothing when it does not convert, the conversion's messages shown on \p messages;
/// the author's warnings are not looked for.
[[nodiscard]] std::optional<CallSet>
ReadSetForDiff(const std::string& strIvr, IMessageSink& messages, IInputFiles* pFiles = nullptr);

/// \p change as one line, compiler-style: "main.ivr:3:1: 2 1: набор 104 → набор 105".
std::string FormatChange(const CallChange& change);

} // namespace dovetrel
