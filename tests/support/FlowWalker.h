#pragma once

#include "flow/CallFlow.h"
#include "vxml/VoiceXmlWriter.h"

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

/// The same events run by the simulator on \p document (a converted set's), in the same form.
/// Faults of the document fail the run: the returned transcript then ends with a line
/// "FAULT: TEXT".
CallRun RunDocument(const std::string& document, Dialect dialect,
                    const std::vector<std::string>& menus, const std::string& strEncoding,
                    const std::vector<std::string>& events);

} // namespace dovetrel::test
