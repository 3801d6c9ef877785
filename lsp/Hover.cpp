#include "lsp/Hover.h"

#include "diagram/FlowText.h"
#include "lsp/Texts.h"

#include <algorithm>
#include <deque>
#include <optional>

namespace dovetrel {

namespace {

/// A way from one menu to another: its key's words and the menu it enters.
struct MenuEdge {
  std::string strKeys;
  int nTarget;
};

/// Puts the flow of one set into words, its texts decoded from the set's code page.
class CHoverWriter {
public:
  explicit CHoverWriter(const CheckedSet& set)
      : m_flow(set.flow), m_pText(CFlowText::Open(DetectSourceEncoding(set.table))) {}

  /// \p bytes of the set as Markdown code.
  std::string Code(std::string_view bytes) {
    const std::string strText = m_pText ? m_pText->Decode(bytes) : std::string(bytes);
    const std::string strFence = strText.find('`') == std::string::npos ? "`" : "`` ";
    return strFence + strText + (strFence == "`" ? "`" : " ``");
  }

  std::string Menu(const FlowMenu& menu) {
    std::string strTimeout = menu.strTimeout.substr(0, menu.strTimeout.size() - 1); // its "s"
    const bool bSeconds = !strTimeout.empty() && std::ranges::all_of(strTimeout, [](char c) {
      return c >= '0' && c <= '9';
    });
    strTimeout = bSeconds ? strTimeout + std::string(text::kLspSeconds) : Code(strTimeout);
    return std::string(text::kLspMenu) + Code(menu.strName) + std::string(text::kLspGreeting) +
           Code(menu.strGreeting) + std::string(text::kLspTimeout) + strTimeout;
  }

  std::string Step(const FlowStep& step) {
    switch (step.kind) {
    case ActionKind::Menu:
      if (step.nTargetMenu < 0)
        return std::string(text::kLspMenu) + Code(step.strArgument) +
               std::string(text::kLspNotRead);
      return Menu(m_flow.menus[static_cast<std::size_t>(step.nTargetMenu)]);
    case ActionKind::Dial:
      return step.strArgument.empty() ? std::string(text::kLspNoNumber)
                                      : std::string(text::kLspDial) + Code(step.strArgument);
    case ActionKind::Hangup:
      break;
    }
    return std::string(text::kLspHangup);
  }

  std::string Action(const FlowAction& action) {
    if (action.kind != ActionKind::Dial)
      return Step(action);
    const std::string strBusy = action.busy           ? Step(*action.busy)
                                : action.bBusyUnknown ? std::string(text::kLspBusyUnknown)
                                                      : std::string(text::kLspHangup);
    return Step(action) + std::string(text::kLspWhenBusy) + strBusy + ")";
  }

  std::string Key(char key) {
    const std::string strKey = Code(std::string_view(&key, 1));
    if (key == keyNoInput)
      return strKey + std::string(text::kLspNoInput);
    if (key == keyFax)
      return strKey + std::string(text::kLspFax);
    return key == keyBusy ? strKey + std::string(text::kLspBusy) : strKey;
  }

  std::optional<std::string> Row(const FlowMenu& menu, int nLine);
  std::string Way(int nMenu);

private:
  std::vector<MenuEdge> Edges(const FlowMenu& menu);

  const CallFlow& m_flow;
  std::unique_ptr<CFlowText> m_pText;
};

std::optional<std::string> CHoverWriter::Row(const FlowMenu& menu, int nLine) {
  for (const InertRow& row : menu.inert)
    if (row.source.nLine == nLine)
      return std::string(text::kLspNeverActs) +
             (m_pText ? m_pText->DecodeQuoting(DescribeInertRow(row)) : DescribeInertRow(row));
  std::vector<KeyAction> actions = menu.keys;
  if (menu.noInput)
    actions.push_back(KeyAction{keyNoInput, *menu.noInput});
  std::string strDials; // the lines of the dials a busy row serves
  for (const KeyAction& key : actions) {
    if (key.action.source.nLine == nLine)
      return Key(key.key) + " → " + Action(key.action);
    if (key.action.busy && key.action.busy->source.nLine == nLine)
      strDials += (strDials.empty() ? "" : ", ") + std::to_string(key.action.source.nLine);
  }
  for (const KeyAction& key : actions)
    if (key.action.busy && key.action.busy->source.nLine == nLine)
      return Key(keyBusy) + " → " + Step(*key.action.busy) + std::string(text::kLspAfterDial) +
             strDials;
  return std::nullopt;
}

std::vector<MenuEdge> CHoverWriter::Edges(const FlowMenu& menu) {
  std::vector<MenuEdge> edges;
  const auto Add = [&](const std::string& strKeys, const FlowAction& action) {
    if (action.kind == ActionKind::Menu)
      edges.push_back(MenuEdge{strKeys, action.nTargetMenu});
    if (action.busy && action.busy->kind == ActionKind::Menu)
      edges.push_back(MenuEdge{strKeys + std::string(text::kLspBusy), action.busy->nTargetMenu});
  };
  for (const KeyAction& key : menu.keys)
    Add(Code(std::string_view(&key.key, 1)), key.action);
  if (menu.noInput)
    Add(std::string(text::kLspNoInputStep), *menu.noInput);
  return edges;
}

std::string CHoverWriter::Way(int nMenu) {
  if (nMenu == 0)
    return std::string(text::kLspMainMenu);
  // Breadth first from the main menu: the first way found to a menu is a shortest one.
  std::vector<std::optional<std::pair<int, std::string>>> from(m_flow.menus.size());
  std::deque<int> queue{0};
  for (; !queue.empty() && !from[static_cast<std::size_t>(nMenu)]; queue.pop_front())
    for (MenuEdge& edge : Edges(m_flow.menus[static_cast<std::size_t>(queue.front())])) {
      if (edge.nTarget <= 0 || from[static_cast<std::size_t>(edge.nTarget)])
        continue;
      from[static_cast<std::size_t>(edge.nTarget)].emplace(queue.front(), std::move(edge.strKeys));
      queue.push_back(edge.nTarget);
    }
  if (!from[static_cast<std::size_t>(nMenu)])
    return std::string(text::kLspUnreached);
  std::vector<std::string> keys;
  for (int n = nMenu; n > 0; n = from[static_cast<std::size_t>(n)]->first)
    keys.push_back(from[static_cast<std::size_t>(n)]->second);
  std::string strWay(text::kLspFromMain);
  for (auto key = keys.rbegin(); key != keys.rend(); ++key)
    strWay += (key == keys.rbegin() ? "" : ", ") + *key;
  return strWay;
}

} // namespace

nlohmann::json Hover(const CheckedSet& set, const std::string& strPath, int nLine) {
  const auto menu = std::ranges::find(set.flow.menus, strPath, &FlowMenu::strPath);
  if (menu == set.flow.menus.end())
    return nullptr;
  CHoverWriter writer(set);
  std::string strRow;
  if (nLine == 1 && menu->headLines[2] == 0) // the greeting was never read: the load failed
    return nullptr;
  if (nLine == 1) {
    strRow = writer.Menu(*menu);
    strRow.replace(0, text::kLspMenu.size(), text::kLspMenuTitle);
  } else if (const std::optional<std::string> row = writer.Row(*menu, nLine)) {
    strRow = *row;
  } else {
    return nullptr;
  }
  const std::string strWay = writer.Way(static_cast<int>(menu - set.flow.menus.begin()));
  return {{"contents", {{"kind", "markdown"}, {"value", strRow + "\n\n" + strWay}}},
          {"range",
           {{"start", set.Position(strPath, nLine, 1)}, {"end", set.Position(strPath, nLine, 0)}}}};
}

} // namespace dovetrel
