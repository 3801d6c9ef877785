#include "call/CallPath.h"

#include "call/CallEvent.h"
#include "call/Transcript.h"
#include "scenario/ScenarioTable.h"
#include "text/Keys.h"

#include <algorithm>

namespace dovetrel {

namespace {

/// The action of \p menu that answers \p event; null when no row does.
const FlowAction* ActionFor(const FlowMenu& menu, const CallEvent& event, Dialect dialect) {
  const std::string strWord = event.kind == CallEventKind::Key       ? event.strKey
                              : event.kind == CallEventKind::Silence ? std::string(word::kSilence)
                                                                     : std::string(word::kFax);
  if (!EventActs(menu, strWord, dialect))
    return nullptr;
  if (event.kind == CallEventKind::Silence)
    return &*menu.noInput;
  const char key = event.kind == CallEventKind::Fax ? keyFax : event.strKey.front();
  const auto found = std::find_if(menu.keys.begin(), menu.keys.end(),
                                  [&](const KeyAction& action) { return action.key == key; });
  return &found->action;
}

/// Follows a call line by line.
class CPathTracer {
public:
  CPathTracer(const CallFlow& flow, const std::vector<std::string>& menuNames, Dialect dialect)
      : m_flow(flow), m_menuNames(menuNames), m_dialect(dialect) {}

  void Take(const std::string& strLine, const std::string& strEncoding) {
    const std::string_view line = strLine;
    const std::size_t nName = word::kMenu.size() + 1; // the word and a space
    if (line.starts_with(word::kMenu) && line.size() >= nName && line[nName - 1] == ' ') {
      const auto found = std::find(m_menuNames.begin(), m_menuNames.end(), line.substr(nName));
      m_nMenu = static_cast<int>(found - m_menuNames.begin());
      m_path.menus.push_back(m_nMenu);
      m_path.step.reset();
    } else if (strLine.compare(0, word::kWait.size(), word::kWait) == 0) {
      m_path.nWaitingMenu = m_nMenu;
    } else if (strLine.compare(0, word::kDial.size(), word::kDial) == 0 && m_pStep) {
      m_path.step = m_pStep->source;
    } else if (const std::optional<CallEvent> event = EventOfLine(strLine, strEncoding)) {
      TakeEvent(*event);
    } else if (strLine == word::kHangup) {
      m_path.nWaitingMenu = -1;
      if (m_pStep && m_pStep->kind == ActionKind::Hangup)
        m_path.step = m_pStep->source;
    }
  }

  CallPath m_path;

private:
  void TakeEvent(const CallEvent& event) {
    m_path.nWaitingMenu = -1;
    if (IsTransferOutcome(event.kind)) {
      // The dial stays the step the call is at, unless its busy row takes the call on. A busy
      // dial's busy row, which may dial again but has no busy row of its own.
      const bool bBusyRow = event.kind == CallEventKind::Busy && m_pAction && m_pAction->busy;
      if (event.kind == CallEventKind::NoAnswer && m_pAction && m_pAction->busy)
        m_path.noAnswers.push_back(m_pAction->source);
      m_pStep = bBusyRow ? &*m_pAction->busy : nullptr;
      m_pAction = nullptr;
      if (m_pStep)
        m_path.rows.push_back(m_pStep->source);
      return;
    }
    m_pAction = m_nMenu >= 0 && m_nMenu < static_cast<int>(m_flow.menus.size())
                    ? ActionFor(m_flow.menus[static_cast<std::size_t>(m_nMenu)], event, m_dialect)
                    : nullptr;
    m_pStep = m_pAction;
    m_path.step.reset();
    if (m_pAction)
      m_path.rows.push_back(m_pAction->source);
  }

  const CallFlow& m_flow;
  const std::vector<std::string>& m_menuNames;
  Dialect m_dialect;
  int m_nMenu = -1;
  const FlowAction* m_pAction = nullptr; ///< the action of the last event, for its busy row
  const FlowStep* m_pStep = nullptr;     ///< the step of the last event or outcome
};

} // namespace

bool EventActs(const FlowMenu& menu, std::string_view word, Dialect dialect) {
  if (word == word::kSilence)
    return menu.noInput.has_value();
  const bool bFax = word == word::kFax;
  if (!bFax && word.size() != 1)
    return false;
  const char key = bFax ? keyFax : word.front();
  if (!bFax && (key == keyFax || key == keyNoInput || key == keyBusy))
    return false; // never a key press, whatever the rows say
  if (dialect == Dialect::W3c && (bFax || !IsDtmfKey(key)))
    return false;
  return std::any_of(menu.keys.begin(), menu.keys.end(),
                     [&](const KeyAction& action) { return action.key == key; });
}

CallPath TraceCallPath(const CallFlow& flow, const std::vector<std::string>& menuNames,
                       const std::vector<std::string>& lines, const std::string& strEncoding,
                       Dialect dialect) {
  CPathTracer tracer(flow, menuNames, dialect);
  for (const std::string& strLine : lines)
    tracer.Take(strLine, strEncoding);
  return tracer.m_path;
}

} // namespace dovetrel
