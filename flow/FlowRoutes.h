#pragma once

#include "flow/CallFlow.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace dovetrel {

/// A way out of a menu's wait: a key, no input or a fax tone, and for a dial whose busy row takes
/// the call on, the busy outcome after it.
struct FlowMove {
  std::size_t nMenu = 0;               ///< the menu it leaves
  char key = 0;                        ///< the key byte; keyNoInput for no input, keyFax for a fax
  const FlowAction* pAction = nullptr; ///< what the key does
  bool bBusy = false;                  ///< on through the dial's busy row, pAction->busy

  /// The step the move ends in: the key's action, or its dial's busy row.
  const FlowStep& Step() const { return bBusy ? *pAction->busy : *pAction; }
  /// The caller's events the move takes: the key, then for a busy row the busy outcome.
  int Events() const { return bBusy ? 2 : 1; }
};

/// The moves out of every menu of a flow, menu by menu.
using MenuMoves = std::vector<std::vector<FlowMove>>;

/// Every move out of every menu of \p flow: a menu's key rows and its no-input row in row order,
/// a dial's busy outcome right after the dial. \p flow must outlive the moves.
MenuMoves MovesOf(const CallFlow& flow);

/// What a route search may take, and where a menu step leads.
struct RouteRules {
  /// Whether a move may be taken; any may when empty.
  std::function<bool(const FlowMove&)> allows;
  /// The menu a menu step enters, -1 for none the set holds; the step's nTargetMenu when empty.
  std::function<int(const FlowStep&)> target;
};

/// The shortest routes from one menu to every menu a call can enter from there: the fewest events
/// of the caller, a busy outcome being the second event of its key. Of routes as short, the one
/// found first: menus are taken in the order of their distance, then in the order they got it,
/// and their moves in row order. Every feature that names a way through the flow (the generated
/// calls, the caller's paths, the editor's hover) asks it.
class CFlowRoutes {
public:
  /// Searches \p moves (MovesOf a flow) from menu \p nFrom by \p rules; \p moves must outlive it.
  CFlowRoutes(const MenuMoves& moves, std::size_t nFrom, const RouteRules& rules = {});

  /// True when a call from the start can enter menu \p nMenu (the start itself included).
  bool Reaches(std::size_t nMenu) const { return m_vecEvents[nMenu] >= 0; }
  /// The events of the shortest route to \p nMenu; -1 when there is none.
  int Events(std::size_t nMenu) const { return m_vecEvents[nMenu]; }
  /// The moves of the shortest route to \p nMenu, in order; empty for the start and for a menu
  /// the search does not reach.
  std::vector<FlowMove> To(std::size_t nMenu) const;
  /// The menus reached, nearest first, in the order the search took them.
  const std::vector<std::size_t>& Order() const { return m_vecOrder; }
  /// The menu \p move enters by the search's rules; -1 when it enters none.
  int Target(const FlowMove& move) const;

private:
  const MenuMoves& m_moves;
  RouteRules m_rules;
  std::vector<int> m_vecEvents;
  std::vector<std::optional<FlowMove>> m_vecEntered; ///< the move each menu was entered by
  std::vector<std::size_t> m_vecOrder;
};

} // namespace dovetrel
