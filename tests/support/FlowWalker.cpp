#include "tests/support/FlowWalker.h"

#include "call/Call.h"
#include "call/Transcript.h"
#include "scenario/Paths.h"
#include "text/Keys.h"

#include <algorithm>

namespace dovetrel::test {

namespace {

/// Walks one call over the flow.
class CFlowWalk {
public:
  CFlowWalk(const CallFlow& flow, const std::vector<std::string>& menus,
            const std::string& strEncoding, Dialect dialect)
      : m_flow(flow), m_menus(menus), m_strEncoding(strEncoding),
        m_bStandard(dialect == Dialect::W3c) {}

  CallRun Walk(const std::vector<std::string>& events) {
    Enter(0);
    for (std::size_t i = 0; i < events.size(); ++i)
      if (!Take(events[i])) {
        m_run.nRejected = static_cast<int>(i);
        break;
      }
    return m_run;
  }

  /// The rows that acted so far, "FILE:LINE" each, in the order they acted.
  const std::vector<std::string>& Rows() const { return m_vecRows; }

private:
  enum class Wait { Input, Outcome, Nothing };

  std::string Text(std::string_view bytes) const {
    return DecodeTranscriptText(bytes, m_strEncoding);
  }

  /// A greeting or a number as the call names it: written into a URI by both documents.
  std::string UriText(std::string_view bytes) const {
    return DecodeUriTranscriptText(bytes, m_strEncoding);
  }

  void Line(std::string_view word, const std::string& strText = {}) {
    m_run.lines.push_back(TranscriptLine(word, strText));
  }

  void Enter(int nMenu) {
    const FlowMenu& menu = m_flow.menus[static_cast<std::size_t>(nMenu)];
    m_nMenu = nMenu;
    Line(word::kMenu, m_menus[static_cast<std::size_t>(nMenu)]);
    Line(word::kPlay, UriText(menu.strGreeting));
    Line(word::kWait, Text(menu.strTimeout));
    m_wait = Wait::Input;
  }

  void Hangup() {
    Line(word::kHangup);
    m_wait = Wait::Nothing;
  }

  /// The menu a menu row enters in the document being predicted.
  int Target(const FlowStep& step) const {
    if (m_bStandard)
      return step.nTargetMenu;
    const std::string_view name = ScenarioName(step.strArgument);
    const auto it =
        std::find_if(m_flow.menus.begin(), m_flow.menus.end(),
                     [&](const FlowMenu& menu) { return ScenarioName(menu.strName) == name; });
    return static_cast<int>(it - m_flow.menus.begin());
  }

  void Do(const FlowStep& step, const std::optional<FlowStep>& busy) {
    m_vecRows.push_back(step.source.strFile + ":" + std::to_string(step.source.nLine));
    switch (step.kind) {
    case ActionKind::Menu:
      Enter(Target(step));
      return;
    case ActionKind::Dial:
      Line(word::kDial, UriText(step.strArgument));
      m_strDial = m_vecRows.back();
      m_busy = busy;
      m_wait = Wait::Outcome;
      return;
    case ActionKind::Hangup:
      Hangup();
      return;
    }
  }

  /// The action of key byte \p key in the current menu (keyFax for a fax tone), if one acts.
  const FlowAction* KeyAction(char key) const {
    if (m_bStandard && !IsDtmfKey(key))
      return nullptr;
    const auto& keys = m_flow.menus[static_cast<std::size_t>(m_nMenu)].keys;
    const auto it = std::find_if(keys.begin(), keys.end(),
                                 [&](const dovetrel::KeyAction& k) { return k.key == key; });
    return it == keys.end() ? nullptr : &it->action;
  }

  bool Take(const std::string& strEvent) {
    const bool bOutcome =
        strEvent == word::kAnswer || strEvent == word::kBusy || strEvent == word::kNoAnswer;
    const bool bInput =
        strEvent.size() == 1 || strEvent == word::kSilence || strEvent == word::kFax;
    if (m_wait == Wait::Nothing || (m_wait == Wait::Outcome && !bOutcome) ||
        (m_wait == Wait::Input && !bInput))
      return false;
    const FlowAction* pAction = nullptr;
    if (bOutcome) {
      Line(strEvent);
      if (strEvent == word::kNoAnswer && m_busy)
        m_vecRows.push_back(m_strDial + " noanswer");
      if (strEvent == word::kBusy && m_busy)
        Do(*m_busy, std::nullopt);
      else
        Hangup();
      return true;
    }
    if (strEvent == word::kSilence) {
      Line(word::kSilence);
      const FlowMenu& menu = m_flow.menus[static_cast<std::size_t>(m_nMenu)];
      pAction = menu.noInput ? &*menu.noInput : nullptr;
    } else if (strEvent == word::kFax) {
      Line(word::kFax);
      pAction = KeyAction(keyFax);
    } else {
      Line(word::kPress, Text(strEvent));
      // A pressed 'f' is a key like any other: the fax row answers the tone only.
      pAction = strEvent[0] == keyFax ? nullptr : KeyAction(strEvent[0]);
    }
    if (pAction)
      Do(*pAction, pAction->busy);
    else
      Hangup();
    return true;
  }

  const CallFlow& m_flow;
  const std::vector<std::string>& m_menus;
  const std::string& m_strEncoding;
  const bool m_bStandard;
  CallRun m_run;
  int m_nMenu = 0;
  Wait m_wait = Wait::Nothing;
  std::optional<FlowStep> m_busy;
  std::vector<std::string> m_vecRows;
  std::string m_strDial; ///< the row of the dial whose outcome the call waits for
};

class CCollectedTranscript final : public ICallTranscript {
public:
  explicit CCollectedTranscript(std::vector<std::string>& lines) : m_lines(lines) {}
  void Step(std::string_view line) override { m_lines.emplace_back(line); }

private:
  std::vector<std::string>& m_lines;
};

} // namespace

CallRun WalkFlow(const CallFlow& flow, const std::vector<std::string>& menus,
                 const std::string& strEncoding, Dialect dialect,
                 const std::vector<std::string>& events) {
  return CFlowWalk(flow, menus, strEncoding, dialect).Walk(events);
}

std::vector<std::string> ActingRows(const CallFlow& flow, const std::vector<std::string>& menus,
                                    const std::string& strEncoding, Dialect dialect,
                                    const std::vector<std::string>& events) {
  CFlowWalk walk(flow, menus, strEncoding, dialect);
  (void)walk.Walk(events);
  return walk.Rows();
}

CallRun RunDocument(const std::string& document, Dialect dialect,
                    const std::vector<std::string>& menus, const std::string& strEncoding,
                    const std::vector<std::string>& events) {
  CallRun run;
  CallFault fault;
  const auto pProgram = CCallProgram::Compile(document, dialect, menus, fault);
  if (!pProgram) {
    run.lines.push_back("FAULT: " + fault.strText + " @" + std::to_string(fault.nLine));
    return run;
  }
  CCollectedTranscript transcript(run.lines);
  CCall call(*pProgram, transcript);
  if (!call.Start()) {
    run.lines.push_back("FAULT: " + call.Fault().strText);
    return run;
  }
  for (std::size_t i = 0; i < events.size(); ++i) {
    const std::optional<CallEvent> event = ParseCallEvent(events[i], strEncoding);
    const FeedResult result = event ? call.Feed(*event) : FeedResult::DoesNotFit;
    if (result == FeedResult::Fault) {
      run.lines.push_back("FAULT: " + call.Fault().strText);
      break;
    }
    if (result == FeedResult::DoesNotFit) {
      run.nRejected = static_cast<int>(i);
      break;
    }
  }
  return run;
}

namespace {

std::string Describe(const CallRun& run) {
  std::string strText;
  for (const std::string& strLine : run.lines)
    strText += "  " + strLine + "\n";
  return strText + "  (rejected: " + std::to_string(run.nRejected) + ")\n";
}

} // namespace

CheckedCall CheckCallAgainstFlow(const CallSet& set, Dialect dialect,
                                 const std::vector<std::string>& events) {
  CheckedCall checked;
  checked.run = RunDocument(set.strDocument, dialect, set.menus, set.strEncoding, events);
  const CallRun model = WalkFlow(set.flow, set.menus, set.strEncoding, dialect, events);
  if (!(checked.run == model))
    checked.strMismatch = std::string(dialect == Dialect::Classic ? "classic" : "w3c") +
                          " document:\n" + Describe(checked.run) + "model:\n" + Describe(model);
  return checked;
}

std::vector<std::string> CEventChooser::Events(const CallSet& set, int nMost) {
  const bool bSingleByte = set.strEncoding != "UTF-8";
  std::vector<std::string> events;
  for (int n = Below(static_cast<std::size_t>(nMost) + 1); n > 0; --n) {
    const std::vector<std::string> lines =
        WalkFlow(set.flow, set.menus, set.strEncoding, Dialect::Classic, events).lines;
    const std::string& strLast = lines.back();
    if (strLast == word::kHangup) {
      if (Chance(30))
        events.push_back(AnyEvent(bSingleByte)); // which no call takes
      break;
    }
    if (Chance(5))
      events.push_back(AnyEvent(bSingleByte));
    else if (strLast.rfind(word::kDial, 0) == 0)
      events.emplace_back(Below(4) == 0 ? word::kAnswer
                          : Chance(50)  ? word::kBusy
                                        : word::kNoAnswer);
    else
      events.push_back(InputEvent(set, lines, bSingleByte));
  }
  return events;
}

std::string CEventChooser::AnyEvent(bool bSingleByte) {
  static constexpr std::string_view kOutcomes[] = {word::kAnswer, word::kBusy, word::kNoAnswer};
  const int nKind = Below(100);
  if (nKind < 50)
    return std::string(1, AnyKey(bSingleByte));
  if (nKind < 65)
    return std::string(word::kSilence);
  if (nKind < 72)
    return std::string(word::kFax);
  if (nKind < 95)
    return std::string(kOutcomes[Below(3)]);
  return "bogus";
}

std::string CEventChooser::InputEvent(const CallSet& set, const std::vector<std::string>& lines,
                                      bool bSingleByte) {
  const auto itMenu = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& strLine) {
    return strLine.rfind("menu ", 0) == 0;
  });
  const auto itName = std::find(set.menus.begin(), set.menus.end(), itMenu->substr(5));
  const FlowMenu& menu = set.flow.menus[static_cast<std::size_t>(itName - set.menus.begin())];
  const int nKind = Below(100);
  if (nKind < 55 && !menu.keys.empty())
    return std::string(1, menu.keys[static_cast<std::size_t>(Below(menu.keys.size()))].key);
  if (nKind < 72)
    return std::string(word::kSilence);
  if (nKind < 80)
    return std::string(word::kFax);
  return std::string(1, AnyKey(bSingleByte));
}

char CEventChooser::AnyKey(bool bSingleByte) {
  static constexpr std::string_view kKeys = "0123456789*#-bf123*#axz";
  if (Chance(2))
    return Chance(50) ? '\'' : '\\';
  if (bSingleByte && Chance(8))
    return '\xFF'; // 'я' in Windows-1251
  return kKeys[static_cast<std::size_t>(Below(kKeys.size()))];
}

bool SharesFormNames(const CallFlow& flow) {
  for (std::size_t i = 0; i < flow.menus.size(); ++i)
    for (std::size_t j = 0; j < i; ++j)
      if (ScenarioName(flow.menus[i].strName) == ScenarioName(flow.menus[j].strName))
        return true;
  return false;
}

} // namespace dovetrel::test
