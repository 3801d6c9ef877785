#include "diagram/DiagramGraph.h"

#include "diagram/FlowText.h"
#include "diagram/Texts.h"

namespace dovetrel {

namespace {

/// Builds the graph menu by menu; every step of an action gets a node of its own, so that each
/// dial carries its own busy edge and every node its own row.
class CGraphBuilder {
public:
  CGraphBuilder(const CallFlow& flow, CFlowText& text, const RowHits* pHits)
      : m_flow(flow), m_text(text), m_pHits(pHits) {}

  DiagramGraph Build() {
    for (const FlowMenu& menu : m_flow.menus)
      AddMenuNode(menu);
    for (std::size_t i = 0; i < m_flow.menus.size(); ++i)
      AddMenuEdges(static_cast<int>(i), m_flow.menus[i]);
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

  /// An edge of the row \p source that acts; with the calls' coverage, its count in the label.
  void AddActingEdge(DiagramEdgeKind kind, int nFrom, int nTo, std::string_view label,
                     const SourcePlace& source) {
    AddEdge(kind, nFrom, nTo, label, Place(source));
    if (!m_pHits)
      return;
    const auto found = m_pHits->find({source.strFile, source.nLine});
    if (found == m_pHits->end())
      return;
    DiagramEdge& edge = m_graph.edges.back();
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
      return AddNode(DiagramNodeKind::Dial,
                     {std::string(text::kDialLine), step.strArgument.empty()
                                                        ? std::string(text::kNoNumber)
                                                        : m_text.Decode(step.strArgument)},
                     Place(step.source));
    case ActionKind::Hangup:
      break;
    }
    return AddNode(DiagramNodeKind::Hangup, {std::string(text::kHangupNode)}, Place(step.source));
  }

  void AddAction(int nMenu, std::string_view label, const FlowAction& action) {
    const int nStep = StepNode(action);
    AddActingEdge(DiagramEdgeKind::Key, nMenu, nStep, label, action.source);
    if (action.kind == ActionKind::Dial && action.busy)
      AddActingEdge(DiagramEdgeKind::Busy, nStep, StepNode(*action.busy), text::kBusyEdge,
                    action.busy->source);
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
  const RowHits* m_pHits; ///< the calls' coverage to show; null for none
  DiagramGraph m_graph;
};

} // namespace

DiagramGraph BuildDiagramGraph(const CallFlow& flow, CFlowText& text, const RowHits* pHits) {
  return CGraphBuilder(flow, text, pHits).Build();
}

} // namespace dovetrel
