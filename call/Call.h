#pragma once

#include "call/CallEvent.h"
#include "call/CallProgram.h"

#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// Where the transcript of a call goes, one line at a time, as the call takes its steps.
class ICallTranscript {
public:
  virtual ~ICallTranscript() = default;
  virtual void Step(std::string_view line) = 0;
};

/// What a call waits for.
enum class CallWait {
  Input,   ///< a menu waits: a key, silence or a fax
  Outcome, ///< a transfer rings: answer, busy or noanswer
  Nothing, ///< the call has ended, or its document failed
};

/// What became of one event.
enum class FeedResult {
  Taken,      ///< the call took it and went on to its next wait or its end
  DoesNotFit, ///< the call was not waiting for it; nothing happened
  Fault,      ///< the document failed on the way: see Fault()
};

/// One call running a compiled document from its first form: each step goes to the transcript,
/// each wait stops the run until the next event.
class CCall {
public:
  /// Instructions a document may run between two waits; more means it never waits for the caller.
  static constexpr int kStepLimit = 10000;

  CCall(const CCallProgram& program, ICallTranscript& transcript)
      : m_program(program), m_transcript(transcript),
        m_vecValues(static_cast<std::size_t>(program.Variables())),
        m_vecSet(static_cast<std::size_t>(program.Variables()), false) {}

  /// Runs from the first form to the first wait or to the end; false when the document fails.
  [[nodiscard]] bool Start();
  /// Hands \p event to the waiting call, which writes it and runs on to its next wait or its end.
  [[nodiscard]] FeedResult Feed(const CallEvent& event);

  CallWait Waiting() const { return m_wait; }
  /// True once the call has hung up.
  bool Ended() const { return m_bEnded; }
  /// Why the document failed; empty text when it has not.
  const CallFault& Fault() const { return m_fault; }

private:
  [[nodiscard]] bool Run(int nFrom);
  [[nodiscard]] bool Fail(const CallInstruction& at, FindingCode code, std::string strText);
  bool Holds(const CallCondition& condition) const;
  void Set(int nVariable, std::string strValue);

  const CCallProgram& m_program;
  ICallTranscript& m_transcript;
  std::vector<std::string> m_vecValues; ///< one per variable of the document
  std::vector<bool> m_vecSet;           ///< whether each variable holds a value
  std::string m_strTimeout;             ///< the current form's, in transcript form
  int m_nWaitingAt = -1;                ///< the Listen or Transfer instruction waiting
  CallWait m_wait = CallWait::Nothing;
  bool m_bEnded = false;
  CallFault m_fault;
};

} // namespace dovetrel
