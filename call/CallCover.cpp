#include "call/CallCover.h"

#include "call/CallRecord.h"

#include "call/Call.h"
#include "call/Texts.h"
#include "call/Transcript.h"
#include "flow/FlowRoutes.h"
#include "scenario/Paths.h"
#include "text/Keys.h"
#include "vxml/W3cWriter.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>

namespace dovetrel {

namespace {

constexpr int kEnd = -1;  ///< an edge that ends the call
constexpr int kStop = -2; ///< an edge into a menu the set does not hold: the plan goes no further
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

/// One way through a menu: the events from its wait to the next wait or the end, and the rows
/// that act on the way.
struct Edge {
  std::size_t nFrom = 0;
  std::vector<std::string> events;
  int nTo = kEnd; ///< the menu entered, kEnd or kStop
  std::vector<SourcePlace> rows;
  bool bTarget = true; ///< false for the default hang-up of a menu without a no-input row
};

using Path = std::vector<std::size_t>; ///< edges, one after another

/// Plans the calls over the edges of the menus, as the document of one dialect takes them.
class CCoverPlanner {
public:
  CCoverPlanner(const CallFlow& flow, Dialect dialect)
      : m_flow(flow), m_bStandard(dialect == Dialect::W3c), m_moves(MovesOf(flow)),
        m_out(flow.menus.size()) {
    for (std::size_t i = 0; i < flow.menus.size(); ++i)
      AddEdges(i);
    m_main.emplace(m_moves, 0, Rules(nullptr));
  }

  std::vector<std::vector<std::string>> Plan();
  int LowerBound() const;
  std::vector<IdleRow> Idle() const;

private:
  using EdgeTest = std::function<bool(std::size_t)>;
  void AddEdges(std::size_t nMenu);
  void AddMove(const FlowMove& move);
  void AddStep(std::size_t nMenu, std::vector<std::string> events, const FlowStep& step,
               std::vector<SourcePlace> rows, const FlowMove* pMove);
  void AddEdge(Edge edge);
  int Target(const FlowStep& step) const;
  RouteRules Rules(const std::vector<bool>* pAvoid) const;
  Path RouteEdges(const CFlowRoutes& routes, std::size_t nMenu) const;
  Path Search(std::size_t nFrom, const EdgeTest& wanted, const std::vector<bool>& avoid) const;
  std::vector<std::string> PlanCall(std::size_t nTarget, std::vector<bool>& covered) const;
  bool Reached(const Edge& edge) const { return m_main->Reaches(edge.nFrom); }

  const CallFlow& m_flow;
  const bool m_bStandard;
  const MenuMoves m_moves;
  std::vector<Edge> m_edges;
  std::vector<std::vector<std::size_t>> m_out; ///< per menu, its edges in row order
  /// The edge of each move that enters a menu: the move's action and whether busy takes it.
  std::map<std::pair<const FlowAction*, bool>, std::size_t> m_mapMoveEdge;
  std::optional<CFlowRoutes> m_main; ///< the shortest routes from the main menu, over the edges
};

void CCoverPlanner::AddEdges(std::size_t nMenu) {
  for (const FlowMove& move : m_moves[nMenu])
    if (!m_bStandard || move.key == keyNoInput || IsDtmfKey(move.key))
      AddMove(move);
  if (!m_flow.menus[nMenu].noInput)
    AddEdge(Edge{nMenu, {std::string(word::kSilence)}, kEnd, {}, false});
}

void CCoverPlanner::AddMove(const FlowMove& move) {
  std::vector<std::string> events{move.key == keyFax       ? std::string(word::kFax)
                                  : move.key == keyNoInput ? std::string(word::kSilence)
                                                           : std::string(1, move.key)};
  const FlowAction& action = *move.pAction;
  if (move.bBusy) {
    events.emplace_back(word::kBusy);
    AddStep(move.nMenu, std::move(events), *action.busy, {action.source}, &move);
    return;
  }
  if (action.kind != ActionKind::Dial || !action.busy) {
    AddStep(move.nMenu, std::move(events), action, {}, &move);
    return;
  }
  // The dial's busy row tells busy apart from the outcomes that end the call, each of which a
  // call must take once: the answer and no answer.
  for (const std::string_view outcome : {word::kAnswer, word::kNoAnswer}) {
    std::vector<std::string> ended = events;
    ended.emplace_back(outcome);
    AddEdge(Edge{move.nMenu, std::move(ended), kEnd, {action.source}, true});
  }
}

void CCoverPlanner::AddStep(std::size_t nMenu, std::vector<std::string> events,
                            const FlowStep& step, std::vector<SourcePlace> rows,
                            const FlowMove* pMove) {
  rows.push_back(step.source);
  // A dial here has no busy row of its own: every outcome ends the call.
  if (step.kind == ActionKind::Dial)
    events.emplace_back(word::kAnswer);
  const int nTo = step.kind == ActionKind::Menu ? Target(step) : kEnd;
  if (nTo >= 0)
    m_mapMoveEdge[{pMove->pAction, pMove->bBusy}] = m_edges.size();
  AddEdge(Edge{nMenu, std::move(events), nTo, std::move(rows), true});
}

void CCoverPlanner::AddEdge(Edge edge) {
  m_out[edge.nFrom].push_back(m_edges.size());
  m_edges.push_back(std::move(edge));
}

int CCoverPlanner::Target(const FlowStep& step) const {
  if (m_bStandard)
    return step.nTargetMenu >= 0 ? step.nTargetMenu : kStop;
  // The classic document names its forms by the file's name part: the first file with that
  // part is the menu a row enters.
  const std::string_view name = ScenarioName(step.strArgument);
  const auto it = std::find_if(m_flow.menus.begin(), m_flow.menus.end(),
                               [&](const FlowMenu& m) { return ScenarioName(m.strName) == name; });
  return it == m_flow.menus.end() ? kStop : static_cast<int>(it - m_flow.menus.begin());
}

/// The rules of the routes over the edges: the moves the document carries, as it takes them,
/// but those whose edge \p pAvoid marks.
RouteRules CCoverPlanner::Rules(const std::vector<bool>* pAvoid) const {
  RouteRules rules;
  rules.allows = [this, pAvoid](const FlowMove& move) {
    const auto found = m_mapMoveEdge.find({move.pAction, move.bBusy});
    return found != m_mapMoveEdge.end() && (!pAvoid || !(*pAvoid)[found->second]);
  };
  rules.target = [this](const FlowStep& step) { return std::max(Target(step), -1); };
  return rules;
}

/// The edges of the route \p routes found to menu \p nMenu.
Path CCoverPlanner::RouteEdges(const CFlowRoutes& routes, std::size_t nMenu) const {
  Path path;
  for (const FlowMove& move : routes.To(nMenu))
    path.push_back(m_mapMoveEdge.at({move.pAction, move.bBusy}));
  return path;
}

/// The shortest way from menu \p nFrom to an edge \p wanted takes, that edge last; transitions
/// \p avoid marks are not taken. Empty when there is none.
Path CCoverPlanner::Search(std::size_t nFrom, const EdgeTest& wanted,
                           const std::vector<bool>& avoid) const {
  const CFlowRoutes routes(m_moves, nFrom, Rules(&avoid));
  std::size_t nBest = kNone;
  std::size_t nBestEvents = 0;
  for (const std::size_t nMenu : routes.Order()) {
    const auto nTo = static_cast<std::size_t>(routes.Events(nMenu));
    if (nBest != kNone && nTo >= nBestEvents)
      break; // every edge from here on is as far at least
    for (const std::size_t nEdge : m_out[nMenu])
      if (wanted(nEdge) && (nBest == kNone || nTo + m_edges[nEdge].events.size() < nBestEvents)) {
        nBest = nEdge;
        nBestEvents = nTo + m_edges[nEdge].events.size();
      }
  }
  if (nBest == kNone)
    return {};
  Path path = RouteEdges(routes, m_edges[nBest].nFrom);
  path.push_back(nBest);
  return path;
}

/// The events of the call made for edge \p nTarget: the shortest way to it from the main menu,
/// then on to the nearest edge no call has taken yet, each transition once, until the call ends;
/// when none is left, the shortest way to an end. Marks the edges it takes in \p covered.
std::vector<std::string> CCoverPlanner::PlanCall(std::size_t nTarget,
                                                 std::vector<bool>& covered) const {
  const EdgeTest uncovered = [&](std::size_t n) { return m_edges[n].bTarget && !covered[n]; };
  const EdgeTest ends = [&](std::size_t n) { return m_edges[n].nTo == kEnd; };
  const std::vector<bool> none(m_edges.size(), false);
  std::vector<bool> used(m_edges.size(), false);
  Path path = RouteEdges(*m_main, m_edges[nTarget].nFrom);
  path.push_back(nTarget);
  std::vector<std::string> events;
  for (std::size_t nTaken = 0;;) {
    for (; nTaken < path.size(); ++nTaken) {
      const Edge& edge = m_edges[path[nTaken]];
      covered[path[nTaken]] = used[path[nTaken]] = true;
      events.insert(events.end(), edge.events.begin(), edge.events.end());
    }
    const int nAt = m_edges[path.back()].nTo;
    if (nAt < 0)
      return events;
    Path more = Search(static_cast<std::size_t>(nAt), uncovered, used);
    if (more.empty())
      more = Search(static_cast<std::size_t>(nAt), ends, none);
    if (more.empty())
      return events; // no way out: the call stops at its last wait
    path.insert(path.end(), more.begin(), more.end());
  }
}

std::vector<std::vector<std::string>> CCoverPlanner::Plan() {
  Path order;
  for (std::size_t i = 0; i < m_edges.size(); ++i)
    if (m_edges[i].bTarget && Reached(m_edges[i]))
      order.push_back(i);
  // Transitions into menus first, as each call they start goes on to a row that ends a call;
  // the deepest first, as the way to them takes the transitions above them. Then the ends left.
  const auto Key = [this](std::size_t n) {
    return std::pair(m_edges[n].nTo < 0, -m_main->Events(m_edges[n].nFrom));
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return Key(a) < Key(b); });
  std::vector<bool> covered(m_edges.size(), false);
  std::vector<std::vector<std::string>> calls;
  for (const std::size_t nTarget : order)
    if (!covered[nTarget])
      calls.push_back(PlanCall(nTarget, covered));
  return calls;
}

int CCoverPlanner::LowerBound() const {
  // A menu in which no row acts ends every call that enters it.
  const auto Sink = [this](int nMenu) {
    return nMenu >= 0 && std::none_of(m_out[static_cast<std::size_t>(nMenu)].begin(),
                                      m_out[static_cast<std::size_t>(nMenu)].end(),
                                      [this](std::size_t n) { return m_edges[n].bTarget; });
  };
  // Each call takes at most one row that ends it, there or in such a menu.
  const auto nEnds = std::count_if(m_edges.begin(), m_edges.end(), [&](const Edge& edge) {
    return edge.bTarget && Reached(edge) && (edge.nTo == kEnd || Sink(edge.nTo));
  });
  // Rows that act but end no call still need one call.
  const bool bAny = std::any_of(m_edges.begin(), m_edges.end(),
                                [this](const Edge& edge) { return edge.bTarget && Reached(edge); });
  return std::max(static_cast<int>(nEnds), bAny ? 1 : 0);
}

std::vector<IdleRow> CCoverPlanner::Idle() const {
  std::vector<IdleRow> idle;
  for (const FlowMenu& menu : m_flow.menus)
    for (const InertRow& row : menu.inert)
      idle.push_back(IdleRow{row.source, DescribeInertRow(row)});
  if (m_bStandard)
    for (const Finding& finding : FindRowsLeftOut(m_flow))
      idle.push_back(IdleRow{SourcePlace{finding.strFile, finding.nLine}, finding.strText});
  const auto Listed = [&](const SourcePlace& row) {
    const auto Same = [&](const SourcePlace& other) {
      return other.strFile == row.strFile && other.nLine == row.nLine;
    };
    return std::any_of(idle.begin(), idle.end(),
                       [&](const IdleRow& r) { return Same(r.source); }) ||
           std::any_of(m_edges.begin(), m_edges.end(), [&](const Edge& edge) {
             return Reached(edge) && std::any_of(edge.rows.begin(), edge.rows.end(), Same);
           });
  };
  for (const Edge& edge : m_edges)
    if (edge.bTarget && !Reached(edge))
      for (const SourcePlace& row : edge.rows)
        if (!Listed(row))
          idle.push_back(IdleRow{row, std::string(text::kMenuNeverReached)});
  // Menu by menu, as the set lists its files, and in row order within each.
  const auto MenuOf = [this](const std::string& strFile) {
    const auto it = std::find_if(m_flow.menus.begin(), m_flow.menus.end(),
                                 [&](const FlowMenu& menu) { return menu.strPath == strFile; });
    return it - m_flow.menus.begin();
  };
  std::stable_sort(idle.begin(), idle.end(), [&](const IdleRow& a, const IdleRow& b) {
    const auto nA = MenuOf(a.source.strFile);
    const auto nB = MenuOf(b.source.strFile);
    return nA != nB ? nA < nB : a.source.nLine < b.source.nLine;
  });
  return idle;
}

/// Keeps the lines of a call.
class CLinesTranscript final : public ICallTranscript {
public:
  void Step(std::string_view line) override { m_vecLines.emplace_back(line); }
  std::vector<std::string> m_vecLines;
};

/// Runs \p call's events on \p program and keeps its record; false, with \p fault, when the
/// document fails on the way. An event the call does not take ends the record before it.
bool RunCoverCall(const CCallProgram& program, const std::string& strEncoding, CoverCall& call,
                  CallFault& fault) {
  CLinesTranscript transcript;
  CCall run(program, transcript);
  bool bRan = run.Start();
  for (std::size_t i = 0; bRan && i < call.events.size(); ++i) {
    const std::optional<CallEvent> event = ParseCallEvent(call.events[i], strEncoding);
    const FeedResult result = event ? run.Feed(*event) : FeedResult::DoesNotFit;
    if (result == FeedResult::DoesNotFit) {
      call.events.resize(i);
      break;
    }
    bRan = result == FeedResult::Taken;
  }
  if (!bRan)
    fault = run.Fault();
  call.lines = std::move(transcript.m_vecLines);
  return bRan;
}

} // namespace

CallCover CoverFlow(const CallFlow& flow, const CCallProgram& program, Dialect dialect,
                    const std::string& strEncoding) {
  CCoverPlanner planner(flow, dialect);
  CallCover cover;
  cover.nLowerBound = planner.LowerBound();
  cover.idle = planner.Idle();
  for (std::vector<std::string>& events : planner.Plan()) {
    CoverCall call{std::move(events), {}, {}};
    call.strName = RecordFileName("cover", call.events);
    // A call its document fails on has no record to keep: the fault is said instead.
    if (!RunCoverCall(program, strEncoding, call, cover.fault))
      break;
    cover.calls.push_back(std::move(call));
  }
  return cover;
}

} // namespace dovetrel
