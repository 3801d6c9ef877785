#include "flow/CallFlow.h"

#include "scenario/Paths.h"
#include "text/Escape.h"

#include <algorithm>
#include <cstring>
#include <iterator>
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

/// Rows every scenario starts with, in the reader's order.
constexpr EntryKind kScenarioHead[kRowsPerFile] = {kindScenarioFile, kindTimeout, kindGreeting,
                                                   kindInputField, kindFilled};

/// The index of the first row at which \p table departs from the shape the reader gives it, or
/// -1. Only a table of that shape closes every element a document opens.
int FindMisshapenRow(const CScenarioTable& table) {
  int nHead = -1; // head rows of the current scenario seen so far; -1 before the first one
  for (int i = 0; i < table.Count(); ++i) {
    const EntryKind kind = table.Entry(i).kind;
    const bool bInHead = nHead >= 0 && nHead < kRowsPerFile;
    if (kind == kindScenarioFile && !bInHead) {
      nHead = 1;
      continue;
    }
    if (nHead < 0)
      return i;
    if (bInHead ? kind != kScenarioHead[nHead] : kind >= kindScenarioFile && kind <= kindTimeout)
      return i;
    nHead += bInHead ? 1 : 0;
  }
  if (nHead == kRowsPerFile)
    return -1;
  return table.Count() > 0 ? table.Count() - 1 : 0;
}

/// Where a document of \p table is blamed for its shape: the first misshapen row, or for a field
/// row, the no-input row its handler would take.
std::optional<SourcePlace> FindMisshapenPlace(const CScenarioTable& table) {
  const int nIndex = FindMisshapenRow(table);
  if (nIndex < 0)
    return std::nullopt;
  if (nIndex >= table.Count())
    return SourcePlace{};
  const ScenarioEntry* pRow = &table.Entry(nIndex);
  if (pRow->kind == kindInputField)
    if (const ScenarioEntry* pNoInput = table.FindKeyHandler(nIndex, keyNoInput))
      pRow = pNoInput;
  return SourcePlace{table.SourcePathOfRow(nIndex), pRow->line};
}

/// Builds the menus of one table, one scenario file at a time.
class CFlowBuilder {
public:
  explicit CFlowBuilder(const CScenarioTable& table) : m_table(table) {}

  CallFlow Build() {
    for (int i = 0; i < m_table.Count(); ++i)
      AddRow(i);
    FinishMenu();
    m_flow.misshapen = FindMisshapenPlace(m_table);
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
  if (row.kind == kindScenarioFile) {
    FinishMenu();
    m_nMenuStart = nIndex;
    m_flow.menus.push_back(
        FlowMenu{row.text, m_table.SourcePathOfRow(nIndex), {}, {}, {}, {}, {}, {}, {}, {}});
  }
  if (m_flow.menus.empty())
    return;
  FlowMenu& menu = m_flow.menus.back();
  const EntryKind* pHead = std::find(std::begin(kScenarioHead), std::end(kScenarioHead), row.kind);
  if (pHead == std::end(kScenarioHead)) {
    m_vecKeyRows.push_back(nIndex);
    return;
  }
  menu.headLines.at(static_cast<std::size_t>(pHead - std::begin(kScenarioHead))) = row.line;
  if (row.kind == kindTimeout)
    menu.strTimeout = row.text;
  else if (row.kind == kindGreeting)
    menu.strGreeting = row.text;
  else if (row.kind == kindInputField)
    menu.strField = row.text;
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
  FlowAction action{Step(nIndex), std::nullopt, false};
  const int nBusy = BusyRow(nBusyFrom);
  if (action.kind != ActionKind::Dial || nBusy < 0)
    return action;
  action.bBusyUnknown = !IsAction(m_table.Entry(nBusy).kind);
  if (!action.bBusyUnknown)
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
    // A key row's dial takes the first busy row below it.
    menu.keyRows.push_back(KeyAction{row.key, Action(i, i + 1)});
    const auto taken = std::find_if(menu.keys.begin(), menu.keys.end(),
                                    [&](const KeyAction& key) { return key.key == row.key; });
    if (taken != menu.keys.end()) {
      Inert(i, InertReason::KeyTaken, taken->action.source.nLine);
      continue;
    }
    menu.keys.push_back(menu.keyRows.back());
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
