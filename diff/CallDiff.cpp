#include "diff/CallDiff.h"

#include "call/Transcript.h"
#include "diff/Texts.h"
#include "flow/FlowRoutes.h"
#include "text/Escape.h"

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <utility>

namespace dovetrel {

namespace {

/// The event word of key \p key, as dovetrel-call takes it.
std::string EventOf(char key, const std::string& strEncoding) {
  if (key == keyFax)
    return "fax";
  if (key == keyNoInput)
    return "silence";
  return DecodeTranscriptText(std::string_view(&key, 1), strEncoding);
}

/// What a step does, as callers meet it: equal words, equal steps. Empty for no step (no row
/// answers): the call ends as on a hang-up, so both read alike to callers.
std::string StepWords(const FlowStep* pStep, const std::string& strEncoding) {
  if (!pStep || pStep->kind == ActionKind::Hangup)
    return std::string(text::kStepHangup);
  if (pStep->kind == ActionKind::Menu)
    return std::string(text::kStepMenu) + DecodeTranscriptText(pStep->strArgument, strEncoding);
  if (pStep->strArgument.empty())
    return std::string(text::kStepDialNoNumber);
  return std::string(text::kStepDial) + DecodeUriTranscriptText(pStep->strArgument, strEncoding);
}

/// The actions of one menu by event word, with the key byte they answer.
struct MenuEvent {
  const FlowAction* pAction = nullptr;
  char key = '\0';
};
using EventMap = std::map<std::string, MenuEvent>;

EventMap EventsOf(const FlowMenu& menu, const std::string& strEncoding) {
  EventMap events;
  for (const KeyAction& key : menu.keys)
    events[EventOf(key.key, strEncoding)] = MenuEvent{&key.action, key.key};
  if (menu.noInput)
    events["silence"] = MenuEvent{&*menu.noInput, keyNoInput};
  return events;
}

/// The menu a step enters, or -1.
int TargetOf(const FlowStep* pStep) {
  return pStep && pStep->kind == ActionKind::Menu ? pStep->nTargetMenu : -1;
}

/// The events of the shortest call that reaches each menu of \p side; none for a menu no call
/// enters.
std::vector<std::optional<std::vector<std::string>>> Reach(const DiffSide& side) {
  std::vector<std::optional<std::vector<std::string>>> reach(side.flow.menus.size());
  if (reach.empty())
    return reach;
  const MenuMoves moves = MovesOf(side.flow);
  const CFlowRoutes routes(moves, 0);
  for (std::size_t nMenu = 0; nMenu < reach.size(); ++nMenu) {
    if (!routes.Reaches(nMenu))
      continue;
    std::vector<std::string>& events = reach[nMenu].emplace();
    for (const FlowMove& move : routes.To(nMenu)) {
      events.push_back(EventOf(move.key, side.strEncoding));
      if (move.bBusy)
        events.emplace_back("busy");
    }
  }
  return reach;
}

/// The reason an inert row does not act, in the present.
std::string InertWhy(const InertRow& row) {
  switch (row.reason) {
  case InertReason::KeyTaken:
    return std::string(text::kKeyTaken) + std::to_string(row.nActingLine);
  case InertReason::SecondNoInput:
    return std::string(text::kSecondNoInput) + std::to_string(row.nActingLine);
  case InertReason::BusyServesNoDial:
    return std::string(text::kBusyServesNoDial);
  case InertReason::UnknownKeyword:
    break;
  }
  return std::string(text::kUnknownKeyword);
}

const InertRow* FirstInert(const FlowMenu& menu, char key) {
  const auto it = std::find_if(menu.inert.begin(), menu.inert.end(),
                               [key](const InertRow& row) { return row.key == key; });
  return it == menu.inert.end() ? nullptr : &*it;
}

/// The action of \p row, an inert row whose key another row takes; null for any other.
const FlowAction* ShadowedAction(const FlowMenu& menu, const InertRow& row) {
  if (row.reason != InertReason::KeyTaken)
    return nullptr;
  for (const KeyAction& key : menu.keyRows)
    if (key.action.source.nLine == row.source.nLine)
      return &key.action;
  return nullptr;
}

/// A pair of menus the same events reach, old and new.
struct MenuPair {
  int nOld;
  int nNew;
  std::vector<std::string> events;
};

/// Walks both flows together; see CompareCallFlows.
class CFlowComparer {
public:
  CFlowComparer(const DiffSide& older, const DiffSide& newer) : m_old(older), m_new(newer) {}

  std::vector<CallChange> Compare() {
    if (m_old.flow.menus.empty() || m_new.flow.menus.empty())
      return {};
    Visit(0, 0, {});
    for (; !m_queue.empty(); m_queue.pop_front())
      ComparePair(m_queue.front());
    CompareReach();
    return std::move(m_changes);
  }

private:
  const FlowMenu& Old(int n) const { return m_old.flow.menus[static_cast<std::size_t>(n)]; }
  const FlowMenu& New(int n) const { return m_new.flow.menus[static_cast<std::size_t>(n)]; }

  void Add(CallChange change) { m_changes.push_back(std::move(change)); }

  /// Queues the pair once, comparing what callers hear on entering it.
  void Visit(int nOld, int nNew, const std::vector<std::string>& events) {
    if (!m_visited.insert({nOld, nNew}).second)
      return;
    m_queue.push_back(MenuPair{nOld, nNew, events});
    const FlowMenu& older = Old(nOld);
    const FlowMenu& newer = New(nNew);
    const std::string strOldGreeting =
        DecodeUriTranscriptText(older.strGreeting, m_old.strEncoding);
    const std::string strNewGreeting =
        DecodeUriTranscriptText(newer.strGreeting, m_new.strEncoding);
    if (strOldGreeting != strNewGreeting)
      Add(CallChange{.topic = ChangeTopic::Greeting,
                     .place = SourcePlace{newer.strPath, newer.headLines[2]},
                     .events = events,
                     .strOld = strOldGreeting,
                     .strNew = strNewGreeting,
                     .nMenu = nNew});
    const std::string strOldWait = DecodeTranscriptText(older.strTimeout, m_old.strEncoding);
    const std::string strNewWait = DecodeTranscriptText(newer.strTimeout, m_new.strEncoding);
    if (strOldWait != strNewWait)
      Add(CallChange{.topic = ChangeTopic::Timeout,
                     .place = SourcePlace{newer.strPath, newer.headLines[1]},
                     .events = events,
                     .strOld = strOldWait,
                     .strNew = strNewWait,
                     .nMenu = nNew});
  }

  void ComparePair(const MenuPair& pair) {
    const EventMap older = EventsOf(Old(pair.nOld), m_old.strEncoding);
    const EventMap newer = EventsOf(New(pair.nNew), m_new.strEncoding);
    std::set<std::string> words;
    for (const auto& [strWord, event] : older)
      words.insert(strWord);
    for (const auto& [strWord, event] : newer)
      words.insert(strWord);
    for (const std::string& strWord : words) {
      const auto itOld = older.find(strWord);
      const auto itNew = newer.find(strWord);
      std::vector<std::string> events = pair.events;
      events.push_back(strWord);
      CompareEvent(pair, std::move(events), itOld == older.end() ? MenuEvent{} : itOld->second,
                   itNew == newer.end() ? MenuEvent{} : itNew->second);
    }
  }

  void CompareEvent(const MenuPair& pair, std::vector<std::string> events, MenuEvent older,
                    MenuEvent newer) {
    if (!CompareStep(pair, std::move(events), older.pAction, newer.pAction, {}))
      return;
    Reasoned(pair, older, newer, m_changes.back());
  }

  /// Compares one step of each set; true when it added a change. Equal menus are walked on, an
  /// equal dial's busy outcome is compared after it.
  bool CompareStep(const MenuPair& pair, std::vector<std::string> events, const FlowStep* pOld,
                   const FlowStep* pNew, const SourcePlace& dialRow) {
    const std::string strOld = StepWords(pOld, m_old.strEncoding);
    const std::string strNew = StepWords(pNew, m_new.strEncoding);
    if (strOld != strNew && (pOld || pNew)) { // no step on either side reads alike
      const ChangeShape shape = !pNew   ? ChangeShape::Removed
                                : !pOld ? ChangeShape::Added
                                        : ChangeShape::Changed;
      Add(CallChange{.shape = shape,
                     .place = pNew ? pNew->source : pOld->source,
                     .bOldSet = !pNew,
                     .events = events,
                     .strOld = pOld ? strOld : std::string(),
                     .strNew = pNew ? strNew : std::string(),
                     .nMenu = pair.nNew,
                     .dialRow = dialRow});
      return true;
    }
    if (TargetOf(pOld) >= 0 && TargetOf(pNew) >= 0)
      Visit(TargetOf(pOld), TargetOf(pNew), events);
    if (!pOld || pOld->kind != ActionKind::Dial || !dialRow.strFile.empty())
      return false;
    const auto* pOldDial = static_cast<const FlowAction*>(pOld);
    const auto* pNewDial = static_cast<const FlowAction*>(pNew);
    events.emplace_back("busy");
    CompareStep(pair, std::move(events), pOldDial->busy ? &*pOldDial->busy : nullptr,
                pNewDial->busy ? &*pNewDial->busy : nullptr, pNew->source);
    return false;
  }

  /// Says which row starts or stops acting behind \p change, and why.
  void Reasoned(const MenuPair& pair, MenuEvent older, MenuEvent newer, CallChange& change) {
    const FlowMenu& oldMenu = Old(pair.nOld);
    const FlowMenu& newMenu = New(pair.nNew);
    const char key = newer.pAction ? newer.key : older.key;
    if (!newer.pAction) {
      if (const InertRow* pInert = FirstInert(newMenu, key)) {
        change.place = pInert->source;
        change.bOldSet = false;
        change.strReason = std::string(text::kRowInert) + InertWhy(*pInert);
      }
      return;
    }
    const std::string strNew = StepWords(newer.pAction, m_new.strEncoding);
    for (const InertRow& row : oldMenu.inert) {
      const FlowAction* pWas = ShadowedAction(oldMenu, row);
      if (row.key == key &&
          (!older.pAction || (pWas && StepWords(pWas, m_old.strEncoding) == strNew))) {
        change.strReason = std::string(text::kRowStarts) + InertWhy(row);
        return;
      }
    }
    const std::string strOld = StepWords(older.pAction, m_old.strEncoding);
    for (const InertRow& row : newMenu.inert) {
      const FlowAction* pNow = ShadowedAction(newMenu, row);
      if (row.key == key && pNow && older.pAction && StepWords(pNow, m_new.strEncoding) == strOld) {
        change.strReason = std::string(text::kLineWord) + std::to_string(row.source.nLine) +
                           std::string(text::kRowStops) + InertWhy(row);
        return;
      }
    }
  }

  /// Menus reached in one set only, by the name the call gives them; the main menus are one.
  void CompareReach() {
    const auto oldReach = Reach(m_old);
    const auto newReach = Reach(m_new);
    const auto names = [](const DiffSide& side, const auto& reach) {
      std::map<std::string, std::size_t> reached;
      for (std::size_t i = 1; i < reach.size(); ++i)
        if (reach[i])
          reached.emplace(DecodeTranscriptText(side.flow.menus[i].strName, side.strEncoding), i);
      return reached;
    };
    const auto oldNames = names(m_old, oldReach);
    const auto newNames = names(m_new, newReach);
    for (const auto& [strName, nMenu] : oldNames)
      if (!newNames.contains(strName))
        Add(CallChange{.topic = ChangeTopic::MenuGone,
                       .shape = ChangeShape::Removed,
                       .place = SourcePlace{Old(static_cast<int>(nMenu)).strPath, 0},
                       .bOldSet = true,
                       .events = *oldReach[nMenu]});
    for (const auto& [strName, nMenu] : newNames)
      if (!oldNames.contains(strName))
        Add(CallChange{.topic = ChangeTopic::MenuNew,
                       .shape = ChangeShape::Added,
                       .place = SourcePlace{New(static_cast<int>(nMenu)).strPath, 0},
                       .events = *newReach[nMenu]});
  }

  const DiffSide& m_old;
  const DiffSide& m_new;
  std::set<std::pair<int, int>> m_visited;
  std::deque<MenuPair> m_queue;
  std::vector<CallChange> m_changes;
};

} // namespace

namespace {

/// Where \p change stands among the others: the new set's rows in table order, the old set's,
/// then menus gone and new.
std::tuple<int, int, int> Order(const CallChange& change, const DiffSide& older,
                                const DiffSide& newer) {
  const int nGroup = change.topic == ChangeTopic::MenuGone  ? 2
                     : change.topic == ChangeTopic::MenuNew ? 3
                     : change.bOldSet                       ? 1
                                                            : 0;
  const CallFlow& flow = change.bOldSet ? older.flow : newer.flow;
  const auto it = std::find_if(flow.menus.begin(), flow.menus.end(), [&](const FlowMenu& menu) {
    return menu.strPath == change.place.strFile;
  });
  return {nGroup, static_cast<int>(it - flow.menus.begin()), change.place.nLine};
}

std::string Events(const std::vector<std::string>& events) {
  std::string strEvents;
  for (const std::string& strEvent : events)
    strEvents += (strEvents.empty() ? "" : " ") + strEvent;
  return strEvents.empty() ? std::string(text::kCallStart) : strEvents;
}

/// What \p change says after its place and its events.
std::string ChangeWords(const CallChange& change) {
  const std::string strOld = change.topic == ChangeTopic::Greeting && change.strOld.empty()
                                 ? std::string(text::kNoGreeting)
                                 : change.strOld;
  const std::string strNew = change.topic == ChangeTopic::Greeting && change.strNew.empty()
                                 ? std::string(text::kNoGreeting)
                                 : change.strNew;
  if (change.topic == ChangeTopic::Greeting)
    return std::string(text::kGreeting) + strOld + std::string(text::kChangeArrow) + strNew;
  if (change.topic == ChangeTopic::Timeout)
    return std::string(text::kTimeout) + strOld + std::string(text::kChangeArrow) + strNew;
  if (change.shape == ChangeShape::Added)
    return std::string(text::kAdded) + strNew;
  if (change.shape == ChangeShape::Removed && change.bOldSet)
    return std::string(text::kRemoved) + strOld + ")";
  if (change.shape == ChangeShape::Removed) // a row of the new set that no longer acts
    return strOld + std::string(text::kChangeArrow) + std::string(text::kStepHangup);
  return strOld + std::string(text::kChangeArrow) + strNew;
}

} // namespace

std::vector<CallChange> CompareCallFlows(const DiffSide& older, const DiffSide& newer) {
  std::vector<CallChange> changes = CFlowComparer(older, newer).Compare();
  std::stable_sort(changes.begin(), changes.end(), [&](const CallChange& a, const CallChange& b) {
    return Order(a, older, newer) < Order(b, older, newer);
  });
  return changes;
}

std::optional<CallSet> ReadSetForDiff(const std::string& strIvr, IMessageSink& messages,
                                      IInputFiles* pFiles) {
  ConversionOptions options;
  options.pFiles = pFiles;
  options.bReportWarnings = false;
  return ConvertForCall(strIvr, messages, options);
}

std::string FormatChange(const CallChange& change) {
  const std::string strFile = EscapeControls(change.place.strFile);
  if (change.topic == ChangeTopic::MenuGone)
    return strFile + ": " + std::string(text::kMenuGone) + Events(change.events) + ")";
  if (change.topic == ChangeTopic::MenuNew)
    return strFile + ": " + std::string(text::kMenuNew) + Events(change.events);
  std::string strLine = strFile + ":" + std::to_string(change.place.nLine) +
                        ":1: " + Events(change.events) + ": " + ChangeWords(change);
  if (!change.strReason.empty())
    strLine += " (" + change.strReason + ")";
  return strLine;
}

} // namespace dovetrel
