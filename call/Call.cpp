#include "call/Call.h"

#include "call/Transcript.h"
#include "text/Keys.h"

#include <algorithm>

namespace dovetrel {

namespace {

/// The value a transfer's variable takes for each outcome, as a standard browser names them; an
/// answered call has ended when the far end hung up.
std::string_view OutcomeValue(CallEventKind kind) {
  switch (kind) {
  case CallEventKind::Busy:
    return "busy";
  case CallEventKind::NoAnswer:
    return "noanswer";
  default:
    return "far_end_disconnect";
  }
}

/// The value a classic field takes from a fax tone.
constexpr std::string_view kFaxValue = "fax";

} // namespace

bool CCall::Start() {
  return Run(0);
}

FeedResult CCall::Feed(const CallEvent& event) {
  if (m_wait == CallWait::Nothing || (m_wait == CallWait::Outcome) != IsTransferOutcome(event.kind))
    return FeedResult::DoesNotFit;
  const CallInstruction& waiting = m_program.Instructions()[static_cast<std::size_t>(m_nWaitingAt)];
  m_transcript.Step(EventLine(event));
  m_wait = CallWait::Nothing;
  int nNext = m_nWaitingAt + 1;
  if (waiting.op == CallOp::Transfer) {
    Set(waiting.nIndex, std::string(OutcomeValue(event.kind)));
  } else {
    const CallListener& listener = m_program.Listeners()[static_cast<std::size_t>(waiting.nIndex)];
    const bool bKey = event.kind == CallEventKind::Key;
    if (event.kind == CallEventKind::Silence) {
      nNext = listener.nOnNoInput;
    } else if (!listener.bGrammar) {
      Set(listener.nVariable, bKey ? event.strKey : std::string(kFaxValue));
      nNext = listener.nOnValue;
    } else if (bKey && IsDtmfKey(event.strKey) &&
               std::find(listener.keys.begin(), listener.keys.end(), event.strKey) !=
                   listener.keys.end()) {
      Set(listener.nVariable, event.strKey);
      nNext = listener.nOnValue;
    } else {
      nNext = listener.nOnNoMatch;
    }
  }
  return Run(nNext) ? FeedResult::Taken : FeedResult::Fault;
}

bool CCall::Run(int nFrom) {
  const std::vector<CallInstruction>& code = m_program.Instructions();
  int nPc = nFrom;
  for (int nSteps = 0; nSteps < kStepLimit; ++nSteps) {
    const CallInstruction& at = code[static_cast<std::size_t>(nPc)];
    ++nPc;
    switch (at.op) {
    case CallOp::EnterForm: {
      const CallForm& form = m_program.Forms()[static_cast<std::size_t>(at.nIndex)];
      std::fill_n(m_vecSet.begin() + form.nFirstVariable, form.nVariables, false);
      m_strTimeout.clear();
      if (form.bMenu)
        m_transcript.Step(TranscriptLine(word::kMenu, form.strMenu));
      break;
    }
    case CallOp::SetTimeout:
      m_strTimeout = at.strText;
      break;
    case CallOp::Play:
      m_transcript.Step(TranscriptLine(word::kPlay, at.strText));
      break;
    case CallOp::Listen:
      if (m_strTimeout.empty())
        return Fail(at, FindingCode::CallTimeoutMissing,
                    "поле ждёт ввода, но время ожидания (<property name=\"timeout\">) в "
                    "форме не задано: его решил бы браузер");
      m_transcript.Step(TranscriptLine(word::kWait, m_strTimeout));
      m_nWaitingAt = nPc - 1;
      m_wait = CallWait::Input;
      return true;
    case CallOp::Transfer:
      m_transcript.Step(TranscriptLine(word::kDial, at.strText));
      m_nWaitingAt = nPc - 1;
      m_wait = CallWait::Outcome;
      return true;
    case CallOp::JumpUnless:
      if (!Holds(m_program.Conditions()[static_cast<std::size_t>(at.nIndex)]))
        nPc = at.nTarget;
      break;
    case CallOp::Jump:
      nPc = at.nTarget;
      break;
    case CallOp::Disconnect:
      m_transcript.Step(word::kHangup);
      m_bEnded = true;
      return true;
    case CallOp::Stranded:
      return Fail(at, FindingCode::CallStopped, at.strText);
    }
  }
  return Fail(code[static_cast<std::size_t>(nPc)], FindingCode::CallStopped,
              "документ сделал " + std::to_string(kStepLimit) +
                  " шагов, ни разу не дождавшись звонящего: он зациклился");
}

bool CCall::Fail(const CallInstruction& at, FindingCode code, std::string strText) {
  m_fault = CallFault{code, std::move(strText), at.nLine};
  m_wait = CallWait::Nothing;
  return false;
}

bool CCall::Holds(const CallCondition& condition) const {
  const auto nVariable = static_cast<std::size_t>(condition.nVariable);
  return m_vecSet[nVariable] && m_vecValues[nVariable] == condition.strLiteral;
}

void CCall::Set(int nVariable, std::string strValue) {
  m_vecValues[static_cast<std::size_t>(nVariable)] = std::move(strValue);
  m_vecSet[static_cast<std::size_t>(nVariable)] = true;
}

} // namespace dovetrel
