#include "flow/CallFlow.h"

#include "scenario/Paths.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace dovetrel {

namespace {

bool IsAction(EntryKind kind) {
  return kind == kindMenu || kind == kindDial || kind == kindDisconnect;
}

/// The menu a menu row enters: the first scenario file of the table with the name the row gives,
/// as the reader resolves it; -1 when the table holds none.
int TargetMenu(const CScenarioTable& table, const char* szName) {
  int nMenu = -1;
  for (const ScenarioEntry& row : table.Entries()) {
    if (row.kind != kindScenarioFile)
      continue;
    ++nMenu;
    if (std::strcmp(row.text, szName) == 0)
      return nMenu;
  }
  return -1;
}

/// Builds the menus of one table, one scenario file at a time.
class CFlowBuilder {
public:
  explicit CFlowBuilder(const CScenarioTable& table) : m_table(table) {}

  CallFlow Build() {
    for (int i = 0; i < m_table.Count(); ++i)
      AddRow(i);
    FinishMenu();
    return std::move(m_flow);
  }

private:
  void AddRow(int nIndex);
  void FinishMenu();
  FlowStep Step(int nIndex) const;
  FlowAction Action(int nIndex, int nBusyFrom) const;
  /// The first busy row of the current menu at or after \p nFrom; -1 when there is none.
  int BusyRow(int nFrom) const;
  void Inert(int nIndex, InertReason reason, int nActingLine = 0);

  const CScenarioTable& m_table;
  CallFlow m_flow;
  int m_nMenuStart = -1;         ///< row index of the current menu's scenario-file row
  std::vector<int> m_vecKeyRows; ///< key rows of the current menu
};

void CFlowBuilder::AddRow(int nIndex) {
  const ScenarioEntry& row = m_table.Entry(nIndex);
  switch (row.kind) {
  case kindScenarioFile:
    FinishMenu();
    m_nMenuStart = nIndex;
    m_flow.menus.push_back(FlowMenu{row.text, m_table.SourcePathOfRow(nIndex), {}, {}, {}, {}, {}});
    return;
  case kindTimeout:
    if (!m_flow.menus.empty())
      m_flow.menus.back().strTimeout = row.text;
    return;
  case kindGreeting:
    if (!m_flow.menus.empty())
      m_flow.menus.back().strGreeting = row.text;
    return;
  case kindInputField:
  case kindFilled:
    return;
  default:
    if (!m_flow.menus.empty())
      m_vecKeyRows.push_back(nIndex);
  }
}

FlowStep CFlowBuilder::Step(int nIndex) const {
  const ScenarioEntry& row = m_table.Entry(nIndex);
  FlowStep step;
  step.source = SourcePlace{m_table.SourcePathOfRow(nIndex), row.line};
  step.kind = row.kind == kindMenu   ? ActionKind::Menu
              : row.kind == kindDial ? ActionKind::Dial
                                     : ActionKind::Hangup;
  if (row.kind != kindDisconnect)
    step.strArgument = row.text;
  if (row.kind == kindMenu)
    step.nTargetMenu = TargetMenu(m_table, row.text);
  return step;
}

int CFlowBuilder::BusyRow(int nFrom) const {
  const ScenarioEntry* pBusy = m_table.FindKeyHandler(nFrom, keyBusy);
  return pBusy ? static_cast<int>(pBusy - m_table.Entries().data()) : -1;
}

FlowAction CFlowBuilder::Action(int nIndex, int nBusyFrom) const {
  FlowAction action{Step(nIndex), std::nullopt};
  if (action.kind != ActionKind::Dial)
    return action;
  const int nBusy = BusyRow(nBusyFrom);
  if (nBusy >= 0 && IsAction(m_table.Entry(nBusy).kind))
    action.busy = Step(nBusy);
  return action;
}

void CFlowBuilder::Inert(int nIndex, InertReason reason, int nActingLine) {
  const ScenarioEntry& row = m_table.Entry(nIndex);
  m_flow.menus.back().inert.push_back(InertRow{
      SourcePlace{m_table.SourcePathOfRow(nIndex), row.line}, row.key, reason, nActingLine});
}

void CFlowBuilder::FinishMenu() {
  if (m_nMenuStart < 0)
    return;
  FlowMenu& menu = m_flow.menus.back();
  std::vector<int> busyTaken; // busy rows some dial takes
  const auto Take = [&](const FlowAction& action, int nFrom) {
    if (action.kind == ActionKind::Dial && BusyRow(nFrom) >= 0)
      busyTaken.push_back(BusyRow(nFrom));
  };
  int nNoInputLine = 0;
  for (const int i : m_vecKeyRows) {
    const ScenarioEntry& row = m_table.Entry(i);
    if (row.key == keyBusy)
      continue;
    if (row.key == keyNoInput) {
      if (nNoInputLine > 0) {
        Inert(i, InertReason::SecondNoInput, nNoInputLine);
        continue;
      }
      nNoInputLine = row.line;
      if (!IsAction(row.kind)) {
        Inert(i, InertReason::UnknownKeyword);
        continue;
      }
      // The no-input dial takes the menu's first busy row, wherever it stands.
      menu.noInput = Action(i, m_nMenuStart + 1);
      Take(*menu.noInput, m_nMenuStart + 1);
      continue;
    }
    if (!IsAction(row.kind)) {
      Inert(i, InertReason::UnknownKeyword);
      continue;
    }
    const auto taken = std::find_if(menu.keys.begin(), menu.keys.end(),
                                    [&](const KeyAction& key) { return key.key == row.key; });
    if (taken != menu.keys.end()) {
      Inert(i, InertReason::KeyTaken, taken->action.source.nLine);
      continue;
    }
    // A key row's dial takes the first busy row below it.
    menu.keys.push_back(KeyAction{row.key, Action(i, i + 1)});
    Take(menu.keys.back().action, i + 1);
  }
  for (const int i : m_vecKeyRows)
    if (m_table.Entry(i).key == keyBusy &&
        std::find(busyTaken.begin(), busyTaken.end(), i) == busyTaken.end())
      Inert(i, InertReason::BusyServesNoDial);
  std::stable_sort(menu.inert.begin(), menu.inert.end(), [](const InertRow& a, const InertRow& b) {
    return a.source.nLine < b.source.nLine;
  });
  m_vecKeyRows.clear();
  m_nMenuStart = -1;
}

std::string Quoted(std::string_view text) {
  return "«" + std::string(text) + "»";
}

} // namespace

std::string_view PathInSet(const CallFlow& flow, std::string_view path) {
  if (flow.menus.empty())
    return path;
  const std::string strFolder = DirectoryOf(flow.menus.front().strPath);
  return path.substr(0, strFolder.size()) == strFolder ? path.substr(strFolder.size()) : path;
}

CallFlow BuildCallFlow(const CScenarioTable& table) {
  return CFlowBuilder(table).Build();
}

std::vector<Finding> FindInertRows(const CallFlow& flow) {
  std::vector<Finding> findings;
  for (const FlowMenu& menu : flow.menus)
    for (const InertRow& row : menu.inert)
      if (row.reason != InertReason::UnknownKeyword)
        findings.push_back(Finding{FindingCode::RowNeverActs, Severity::Warning,
                                   DescribeInertRow(row), row.source.strFile, row.source.nLine});
  return findings;
}

std::string DescribeInertRow(const InertRow& row) {
  switch (row.reason) {
  case InertReason::KeyTaken:
    return "клавиша " + Quoted(std::string_view(&row.key, 1)) + " уже назначена в строке " +
           std::to_string(row.nActingLine) + ": эта строка не сработает";
  case InertReason::SecondNoInput:
    return "действие при отсутствии ввода уже задано в строке " + std::to_string(row.nActingLine) +
           ": эта строка не сработает";
  case InertReason::BusyServesNoDial:
    return "строка занятости (b) не служит ни одному переводу (dial) выше неё: она не сработает; "
           "поставьте её после строки dial";
  case InertReason::UnknownKeyword:
    break;
  }
  return "действие строки не распознано: строка не сработает";
}

} // namespace dovetrel
