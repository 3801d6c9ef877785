#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dovetrel {

/// What the caller or the telephone network does on a call.
enum class CallEventKind {
  Key,      ///< the caller pressed a key
  Silence,  ///< the timeout passed with no key
  Fax,      ///< a fax tone was heard
  Answer,   ///< the number a transfer dialled answered; the conversation has ended
  Busy,     ///< the number was busy
  NoAnswer, ///< the number did not answer
};

/// One event of a call.
struct CallEvent {
  CallEventKind kind = CallEventKind::Silence;
  std::string strKey; ///< Key only: the key's character, in UTF-8 when the code page decodes it
};

/// The event that \p word names: a single character is a key press, the words "silence", "fax",
/// "answer", "busy" and "noanswer" are the others. A word of one byte that is not UTF-8 is a key
/// of the set's code page \p strEncoding. Nothing for any other word.
std::optional<CallEvent> ParseCallEvent(std::string_view word, const std::string& strEncoding);

/// True for the events that answer a transfer: answer, busy, noanswer.
bool IsTransferOutcome(CallEventKind kind);

/// The transcript line of \p event ("press 1", "busy").
std::string EventLine(const CallEvent& event);

/// The event that transcript line \p line records, or nothing when it records none; the reverse
/// of EventLine.
std::optional<CallEvent> EventOfLine(std::string_view line, const std::string& strEncoding);

} // namespace dovetrel
