#include "lsp/Hover.h"

#include "diagram/FlowText.h"
#include "flow/FlowRoutes.h"
#include "lsp/Texts.h"

#include <algorithm>
#include <optional>

namespace dovetrel {

namespace {

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

std::string CHoverWriter::Way(int nMenu) {
  if (nMenu == 0)
    return std::string(text::kLspMainMenu);
  const MenuMoves moves = MovesOf(m_flow);
  const CFlowRoutes routes(moves, 0);
  if (!routes.Reaches(static_cast<std::size_t>(nMenu)))
    return std::string(text::kLspUnreached);
  std::string strWay(text::kLspFromMain);
  bool bFirst = true;
  for (const FlowMove& move : routes.To(static_cast<std::size_t>(nMenu))) {
    strWay += bFirst ? "" : ", ";
    bFirst = false;
    strWay += move.key == keyNoInput ? std::string(text::kLspNoInputStep)
                                     : Code(std::string_view(&move.key, 1));
    strWay += move.bBusy ? std::string(text::kLspBusy) : "";
  }
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
