#pragma once

#include "call/CallSetup.h"
#include "flow/CallFlow.h"
#include "vxml/VoiceXmlWriter.h"

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace dovetrel::test {

/// A call as some party ran it: the transcript lines, and the event that did not fit, if one
/// did not (its index; -1 when every event was taken).
struct CallRun {
  std::vector<std::string> lines;
  int nRejected = -1;
  bool operator==(const CallRun&) const = default;
};

/// The call the flow model predicts for the document of \p dialect, walked straight over
/// \p flow by the rules of a call, with no document in between. \p events are words as
/// dovetrel-call takes them, a key being one byte of the set's code page \p strEncoding; \p menus
/// are the menus' names in transcript form. Where the documents cannot carry the model, the walk
/// follows the document: the classic one enters the first menu whose file has the name part a
/// menu row names, the standard one answers no fax and no key a telephone cannot send.
CallRun WalkFlow(const CallFlow& flow, const std::vector<std::string>& menus,
                 const std::string& strEncoding, Dialect dialect,
                 const std::vector<std::string>& events);

/// The rows that act on the call WalkFlow walks for the same arguments, "FILE:LINE" each, in the
/// order they act: a key's, no input's or fax's row, then a dial's busy row on busy; the no-answer
/// outcome of a dial with a busy row, which no row gives, as "FILE:LINE noanswer" at the dial.
std::vector<std::string> ActingRows(const CallFlow& flow, const std::vector<std::string>& menus,
                                    const std::string& strEncoding, Dialect dialect,
                                    const std::vector<std::string>& events);

/// True when two files of \p flow give one form name, which the classic document cannot tell
/// apart; its calls then follow the first of them, where the flow model follows each menu row.
bool SharesFormNames(const CallFlow& flow);

/// The same events run by the simulator on \p document (a converted set's), in the same form.
/// Faults of the document fail the run: the returned transcript then ends with a line
/// "FAULT: TEXT".
CallRun RunDocument(const std::string& document, Dialect dialect,
                    const std::vector<std::string>& menus, const std::string& strEncoding,
                    const std::vector<std::string>& events);

/// A call of \p events on the document of a converted set, checked against the flow model.
struct CheckedCall {
  CallRun run;
  /// What differs from the model; empty when the call is the one the model predicts.
  std::string strMismatch;
};

/// Runs \p events on the document of \p set, which is of \p dialect, and compares the call with
/// the walk over the set's flow.
CheckedCall CheckCallAgainstFlow(const CallSet& set, Dialect dialect,
                                 const std::vector<std::string>& events);

/// Chooses the events of calls: mostly what the call waits for at each point, as the model walks
/// it (a key of the menu it is in more often than not, an outcome while a transfer rings), now and
/// then anything at all, and now and then one more after the call has ended.
class CEventChooser {
public:
  explicit CEventChooser(std::uint32_t nSeed) : m_random(nSeed) {}
  /// Up to \p nMost events of one call on \p set.
  std::vector<std::string> Events(const CallSet& set, int nMost = 13);

private:
  int Below(std::size_t n) { return static_cast<int>(m_random() % n); }
  bool Chance(int nPercent) { return Below(100) < nPercent; }
  std::string AnyEvent(bool bSingleByte);
  std::string InputEvent(const CallSet& set, const std::vector<std::string>& lines,
                         bool bSingleByte);
  char AnyKey(bool bSingleByte);

  std::mt19937 m_random;
};

} // namespace dovetrel::test
