#include "diagram/DiagramGraph.h"

#include "diagram/FlowText.h"
#include "diagram/Texts.h"

namespace dovetrel {

namespace {

/// Builds the graph menu by menu; every step of an action gets a node of its own, so that each
/// dial carries its own busy edge and every node its own row.
class CGraphBuilder {
public:
  CGraphBuilder(const CallFlow& flow, CFlowText& text, const DiagramMarks* pMarks)
      : m_flow(flow), m_text(text), m_pMarks(pMarks) {}

  DiagramGraph Build() {
    for (const FlowMenu& menu : m_flow.menus)
      AddMenuNode(menu);
    for (std::size_t i = 0; i < m_flow.menus.size(); ++i)
      AddMenuEdges(static_cast<int>(i), m_flow.menus[i]);
    if (m_pMarks)
      for (const RemovedArrow& arrow : m_pMarks->removed)
        AddRemoved(arrow);
    return std::move(m_graph);
  }

private:
  std::string Place(const SourcePlace& source) {
    return m_text.DecodePath(PathInSet(m_flow, source.strFile)) + ':' +
           std::to_string(source.nLine);
  }

  int AddNode(DiagramNodeKind kind, std::vector<std::string> vecLines, std::string strTooltip) {
    m_graph.nodes.push_back({kind, std::move(vecLines), std::move(strTooltip)});
    return static_cast<int>(m_graph.nodes.size()) - 1;
  }

  void AddEdge(DiagramEdgeKind kind, int nFrom, int nTo, std::string_view label,
               std::string strTooltip) {
    m_graph.edges.push_back({kind, nFrom, nTo, std::string(label), std::move(strTooltip)});
  }

  /// An arrow of a row that acts, with the row's count when the drawing shows the calls'
  /// coverage and its mark when it shows a comparison.
  void AddActingEdge(DiagramEdgeKind kind, int nFrom, int nTo, std::string_view label,
                     const SourcePlace& source) {
    AddEdge(kind, nFrom, nTo, label, Place(source));
    DiagramEdge& edge = m_graph.edges.back();
    edge.mark = MarkOf(source);
    if (!m_pMarks)
      return;
    const auto found = m_pMarks->hits.find({source.strFile, source.nLine});
    if (found == m_pMarks->hits.end())
      return;
    edge.nHits = found->second;
    edge.strLabel += std::string(text::kHitsMark) + std::to_string(found->second);
  }

  void AddMenuNode(const FlowMenu& menu) {
    AddNode(DiagramNodeKind::Menu,
            {m_text.Decode(menu.strName),
             std::string(text::kGreetingMark) + m_text.Decode(menu.strGreeting),
             std::string(text::kTimeoutLine) + m_text.Decode(menu.strTimeout)},
            m_text.DecodePath(PathInSet(m_flow, menu.strPath)));
  }

  /// A dial's node, with the calls that went unanswered there when the coverage counts them.
  int AddDialNode(const FlowStep& step) {
    const int nNode = AddNode(DiagramNodeKind::Dial,
                              {std::string(text::kDialLine), step.strArgument.empty()
                                                                 ? std::string(text::kNoNumber)
                                                                 : m_text.Decode(step.strArgument)},
                              Place(step.source));
    if (!m_pMarks)
      return nNode;
    const auto found = m_pMarks->noAnswers.find({step.source.strFile, step.source.nLine});
    if (found == m_pMarks->noAnswers.end())
      return nNode;
    DiagramNode& node = m_graph.nodes.back();
    node.nNoAnswerHits = found->second;
    node.vecLines.push_back(std::string(text::kNoAnswerLine) + std::string(text::kHitsMark) +
                            std::to_string(found->second));
    return nNode;
  }

  /// The node a step leads to: the menu entered, or a new dial, hang-up or missing-file node.
  int StepNode(const FlowStep& step) {
    switch (step.kind) {
    case ActionKind::Menu:
      if (step.nTargetMenu >= 0 && step.nTargetMenu < static_cast<int>(m_flow.menus.size()))
        return step.nTargetMenu;
      return AddNode(DiagramNodeKind::Missing,
                     {m_text.Decode(step.strArgument), std::string(text::kMissingMenu)},
                     Place(step.source));
    case ActionKind::Dial:
      return AddDialNode(step);
    case ActionKind::Hangup:
      break;
    }
    return AddNode(DiagramNodeKind::Hangup, {std::string(text::kHangupNode)}, Place(step.source));
  }

  /// How the marks mark the arrow of \p row.
  DiagramMark MarkOf(const SourcePlace& row) const {
    if (!m_pMarks)
      return DiagramMark::None;
    for (const MarkedArrow& arrow : m_pMarks->arrows)
      if (arrow.row.nLine == row.nLine && arrow.row.strFile == row.strFile)
        return arrow.mark;
    return DiagramMark::None;
  }

  void AddAction(int nMenu, std::string_view label, const FlowAction& action) {
    const int nStep = StepNode(action);
    AddActingEdge(DiagramEdgeKind::Key, nMenu, nStep, label, action.source);
    if (action.kind != ActionKind::Dial)
      return;
    m_dials.emplace_back(action.source, nStep);
    if (!action.busy)
      return;
    AddActingEdge(DiagramEdgeKind::Busy, nStep, StepNode(*action.busy), text::kBusyEdge,
                  action.busy->source);
  }

  /// A removed arrow, faded, from its menu or its dial to a box of where it led.
  void AddRemoved(const RemovedArrow& arrow) {
    int nFrom = arrow.nMenu;
    for (const auto& [source, nNode] : m_dials)
      if (source.nLine == arrow.dialRow.nLine && source.strFile == arrow.dialRow.strFile)
        nFrom = nNode;
    if (nFrom < 0 || nFrom >= static_cast<int>(m_graph.nodes.size()))
      return;
    const int nStep = AddNode(DiagramNodeKind::Inert, {arrow.strStep}, arrow.strTooltip);
    AddEdge(arrow.dialRow.strFile.empty() ? DiagramEdgeKind::Key : DiagramEdgeKind::Busy, nFrom,
            nStep, arrow.strLabel, arrow.strTooltip);
    m_graph.edges.back().mark = DiagramMark::Removed;
  }

  /// How a key is named on the diagram: its own character, or the word of a key of its own kind.
  std::string KeyName(char key) {
    switch (key) {
    case keyNoInput:
      return std::string(text::kNoInputEdge);
    case keyFax:
      return std::string(text::kFaxEdge);
    case keyBusy:
      return std::string(text::kBusyEdge);
    default:
      return m_text.Decode(std::string_view(&key, 1));
    }
  }

  void AddInert(int nMenu, const InertRow& row) {
    std::vector<std::string> vecLines;
    if (row.key != '\0')
      vecLines.push_back(row.key == keyNoInput || row.key == keyFax || row.key == keyBusy
                             ? KeyName(row.key)
                             : std::string(text::kKeyWord) + KeyName(row.key));
    vecLines.push_back(std::string(text::kLineWord) + std::to_string(row.source.nLine));
    const std::string strMeaning = row.reason == InertReason::UnknownKeyword
                                       ? std::string(text::kUnknownKeyword)
                                       : m_text.DecodeQuoting(DescribeInertRow(row));
    const std::string strTooltip = Place(row.source) + ": " + strMeaning;
    const int nNode = AddNode(DiagramNodeKind::Inert, std::move(vecLines), strTooltip);
    AddEdge(DiagramEdgeKind::Inert, nMenu, nNode, text::kInertEdge, strTooltip);
  }

  void AddMenuEdges(int nMenu, const FlowMenu& menu) {
    for (const KeyAction& key : menu.keys)
      AddAction(nMenu, KeyName(key.key), key.action);
    if (menu.noInput)
      AddAction(nMenu, text::kNoInputEdge, *menu.noInput);
    for (const InertRow& row : menu.inert)
      AddInert(nMenu, row);
  }

  const CallFlow& m_flow;
  CFlowText& m_text;
  const DiagramMarks* m_pMarks; ///< the calls' counts or a comparison's marks; null for none
  std::vector<std::pair<SourcePlace, int>> m_dials; ///< each dial's row and its node
  DiagramGraph m_graph;
};

} // namespace

DiagramGraph BuildDiagramGraph(const CallFlow& flow, CFlowText& text, const DiagramMarks* pMarks) {
  return CGraphBuilder(flow, text, pMarks).Build();
}

} // namespace dovetrel
