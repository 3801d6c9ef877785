#pragma once

#include "diagram/RowHits.h"
#include "flow/CallFlow.h"

#include <string>
#include <vector>

namespace dovetrel {

class CFlowText;

/// What a node of the diagram stands for; the drawing gives each kind its own look.
enum class DiagramNodeKind {
  Menu,    ///< a scenario file's menu
  Dial,    ///< a transfer to a number
  Hangup,  ///< the call ends
  Inert,   ///< a row that never acts
  Missing, ///< a menu row whose file the set did not read
};

/// What an edge of the diagram stands for.
enum class DiagramEdgeKind {
  Key,   ///< a key, no input or a fax leads to a step
  Busy,  ///< a busy number leads to the dial's busy step
  Inert, ///< a menu holds a row that never acts
};

/// A node, its texts in UTF-8 as they are to be shown.
struct DiagramNode {
  DiagramNodeKind kind = DiagramNodeKind::Menu;
  std::vector<std::string> vecLines; ///< the label, one line each
  std::string strTooltip;            ///< where it comes from: a file path or "FILE:LINE"
  /// A dial whose busy row the calls' coverage counts apart from no answer: how many calls went
  /// unanswered there; -1 for every other node and drawing.
  int nNoAnswerHits = -1;
};

/// How a comparison of two flows marks an arrow of the one drawn.
enum class DiagramMark {
  None,
  Added,   ///< the arrow is new: no row answered its event before
  Changed, ///< the arrow leads elsewhere than before
  Removed, ///< the arrow is gone: it is drawn faded, to a box saying where it led
};

/// An edge between two nodes, given by their indexes.
struct DiagramEdge {
  DiagramEdgeKind kind = DiagramEdgeKind::Key;
  int nFrom = 0;
  int nTo = 0;
  std::string strLabel;
  std::string strTooltip; ///< "FILE:LINE" of its row, and what an inert row means
  /// How many recorded calls took its row, when the drawing shows their coverage; -1 otherwise,
  /// and for a row that cannot act in the documents the calls ran on.
  int nHits = -1;
  DiagramMark mark = DiagramMark::None;
};

/// The arrow of row \p row (a key's, no input's, a fax's or a busy row's) marked \p mark.
struct MarkedArrow {
  SourcePlace row;
  DiagramMark mark = DiagramMark::Added;
};

/// An arrow the drawn flow no longer has, drawn from menu \p nMenu, or from the dial of
/// \p dialRow when its file is given, to a box of \p strStep. Texts in UTF-8.
struct RemovedArrow {
  int nMenu = 0;
  SourcePlace dialRow;
  std::string strLabel;
  std::string strStep;
  std::string strTooltip;
};

/// What a drawing marks on the flow: the recorded calls' counts, or a comparison's changes; plain
/// notes, free of how they were found.
struct DiagramMarks {
  RowHits hits; ///< every row's count, when the drawing shows the calls' coverage
  /// With the calls' coverage, each dial (its row) whose no answer is an outcome of its own, its
  /// busy row taking busy: how many calls went unanswered there.
  RowHits noAnswers;
  std::vector<MarkedArrow> arrows;
  std::vector<RemovedArrow> removed;
};

/// The call flow as boxes and arrows, every text decoded and ready to show: what the drawing module
/// lays out, free of anything of the table or its code page. Menus come first, in flow order, so
/// that node i < menus is menu i.
struct DiagramGraph {
  std::vector<DiagramNode> nodes;
  std::vector<DiagramEdge> edges;
};

/// The diagram of \p flow: a node per menu, a node per dial, hang-up and inert row, an edge per key
/// that acts, per busy row that a dial takes and per inert row. Texts decoded through \p text.
/// With \p pMarks, every arrow of a row its hits hold carries the row's count, in its label as
/// well, its arrows are marked and its removed arrows added.
DiagramGraph BuildDiagramGraph(const CallFlow& flow, CFlowText& text,
                               const DiagramMarks* pMarks = nullptr);

} // namespace dovetrel
