#include "flow/FlowRoutes.h"

#include <algorithm>
#include <limits>

namespace dovetrel {

namespace {

/// The moves out of \p menu (number \p nMenu): each action, a dial's busy outcome after it.
std::vector<FlowMove> MenuMovesOf(const FlowMenu& menu, std::size_t nMenu) {
  std::vector<FlowMove> moves;
  const auto Add = [&](char key, const FlowAction& action) {
    moves.push_back(FlowMove{nMenu, key, &action, false});
    if (action.kind == ActionKind::Dial && action.busy)
      moves.push_back(FlowMove{nMenu, key, &action, true});
  };
  for (const KeyAction& key : menu.keys)
    Add(key.key, key.action);
  if (menu.noInput)
    Add(keyNoInput, *menu.noInput);
  // The no-input row takes its place among the key rows; a busy outcome stays with its dial.
  std::stable_sort(moves.begin(), moves.end(), [](const FlowMove& a, const FlowMove& b) {
    return a.pAction->source.nLine < b.pAction->source.nLine;
  });
  return moves;
}

} // namespace

MenuMoves MovesOf(const CallFlow& flow) {
  MenuMoves moves;
  moves.reserve(flow.menus.size());
  for (std::size_t i = 0; i < flow.menus.size(); ++i)
    moves.push_back(MenuMovesOf(flow.menus[i], i));
  return moves;
}

CFlowRoutes::CFlowRoutes(const MenuMoves& moves, std::size_t nFrom, const RouteRules& rules)
    : m_moves(moves), m_rules(rules), m_vecEvents(moves.size(), -1), m_vecEntered(moves.size()) {
  if (nFrom >= moves.size())
    return;
  // The flows are small (a menu per file, a few dozen at most): each round takes the nearest
  // menu not taken yet, of those as near the one that got its distance first.
  constexpr long kNever = std::numeric_limits<long>::max();
  std::vector<long> found(moves.size(), kNever); // when each menu got its distance
  std::vector<bool> taken(moves.size(), false);
  long nFound = 0;
  m_vecEvents[nFrom] = 0;
  found[nFrom] = nFound++;
  for (;;) {
    std::size_t nAt = moves.size();
    for (std::size_t i = 0; i < moves.size(); ++i)
      if (!taken[i] && m_vecEvents[i] >= 0 &&
          (nAt == moves.size() || m_vecEvents[i] < m_vecEvents[nAt] ||
           (m_vecEvents[i] == m_vecEvents[nAt] && found[i] < found[nAt])))
        nAt = i;
    if (nAt == moves.size())
      return;
    taken[nAt] = true;
    m_vecOrder.push_back(nAt);
    for (const FlowMove& move : moves[nAt]) {
      const int nTo = Target(move);
      if (nTo < 0 || (m_rules.allows && !m_rules.allows(move)))
        continue;
      const auto nTarget = static_cast<std::size_t>(nTo);
      const int nEvents = m_vecEvents[nAt] + move.Events();
      if (m_vecEvents[nTarget] >= 0 && m_vecEvents[nTarget] <= nEvents)
        continue;
      m_vecEvents[nTarget] = nEvents;
      m_vecEntered[nTarget] = move;
      found[nTarget] = nFound++;
    }
  }
}

int CFlowRoutes::Target(const FlowMove& move) const {
  const FlowStep& step = move.Step();
  if (step.kind != ActionKind::Menu)
    return -1;
  const int nTo = m_rules.target ? m_rules.target(step) : step.nTargetMenu;
  return nTo < static_cast<int>(m_moves.size()) ? nTo : -1;
}

std::vector<FlowMove> CFlowRoutes::To(std::size_t nMenu) const {
  std::vector<FlowMove> route;
  for (std::size_t n = nMenu; m_vecEntered[n]; n = m_vecEntered[n]->nMenu)
    route.push_back(*m_vecEntered[n]);
  std::reverse(route.begin(), route.end());
  return route;
}

} // namespace dovetrel
