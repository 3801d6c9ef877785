// The drawing module: lays out and draws a diagram graph with Graphviz's libraries, in process.
// Every piece of Graphviz Dovetrel uses is here, so that only a program that draws loads it.

#include "diagram/DiagramModule.h"

#include <gvc.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace dovetrel {

namespace {

/// One attribute: its name and value.
struct Attribute {
  const char* szName;
  const char* szValue;
};

constexpr const char* kFont = "DejaVu Sans";

constexpr Attribute kGraphLook[] = {
    {"rankdir", "TB"}, {"nodesep", "0.3"},   {"ranksep", "0.5"},
    {"pad", "0.2"},    {"bgcolor", "white"}, {"fontname", kFont},
};
/// A menu with more arrows than this reads better as a column: the diagram then runs left to
/// right, so that a large set grows downwards, not into a strip too wide to read.
constexpr std::size_t kMaxRowFanOut = 8;
constexpr Attribute kColumnLook[] = {{"rankdir", "LR"}, {"ranksep", "1.0"}};
/// The menu a call starts in stands out.
constexpr Attribute kStartLook[] = {{"penwidth", "2.2"}};
constexpr Attribute kNodeLook[] = {
    {"fontname", kFont},         {"fontsize", "11"},       {"shape", "box"},
    {"style", "rounded,filled"}, {"margin", "0.12,0.05"},  {"fillcolor", "white"},
    {"color", "#4a4a4a"},        {"fontcolor", "#1a1a1a"}, {"penwidth", "1"},
};
constexpr Attribute kEdgeLook[] = {
    {"fontname", kFont},  {"fontsize", "10"},       {"arrowsize", "0.7"},
    {"color", "#4a4a4a"}, {"fontcolor", "#1a1a1a"}, {"style", "solid"},
};

/// The look of each node kind, in the order of DiagramNodeKind: fill, outline, text, style, size.
constexpr Attribute kNodeKindLook[][5] = {
    {{"fillcolor", "#e6eef9"},
     {"color", "#3c5f91"},
     {"fontcolor", "#1a1a1a"},
     {"style", "rounded,filled"},
     {"fontsize", "11"}},
    {{"fillcolor", "#e8f3e3"},
     {"color", "#4b7d3b"},
     {"fontcolor", "#1a1a1a"},
     {"style", "filled"},
     {"fontsize", "10"}},
    {{"fillcolor", "#f6e3e3"},
     {"color", "#9b4646"},
     {"fontcolor", "#5a1f1f"},
     {"style", "rounded,filled"},
     {"fontsize", "9"}},
    {{"fillcolor", "white"},
     {"color", "#a3a3a3"},
     {"fontcolor", "#8a8a8a"},
     {"style", "dashed"},
     {"fontsize", "8"}},
    {{"fillcolor", "#fcf0da"},
     {"color", "#aa7426"},
     {"fontcolor", "#5c3d0e"},
     {"style", "dashed,filled"},
     {"fontsize", "10"}},
};

/// The look of each edge kind, in the order of DiagramEdgeKind: line, text, style.
constexpr Attribute kEdgeKindLook[][3] = {
    {{"color", "#4a4a4a"}, {"fontcolor", "#1a1a1a"}, {"style", "solid"}},
    {{"color", "#9b4646"}, {"fontcolor", "#9b4646"}, {"style", "solid"}},
    {{"color", "#a3a3a3"}, {"fontcolor", "#8a8a8a"}, {"style", "dashed"}},
};

/// An arrow whose row the recorded calls took: solid and a little heavier.
constexpr Attribute kCoveredLook[] = {{"style", "solid"}, {"penwidth", "1.6"}};
/// An arrow whose row can act and no recorded call took: dashed, in the colour of a warning.
constexpr Attribute kUncoveredLook[] = {
    {"style", "dashed"}, {"penwidth", "1.6"}, {"color", "#c2255c"}, {"fontcolor", "#c2255c"}};
/// A dial whose no answer no recorded call took: its outline dashed, in the colour of a warning.
constexpr Attribute kUnansweredLook[] = {{"style", "filled,dashed"},
                                         {"penwidth", "1.6"},
                                         {"color", "#c2255c"},
                                         {"fontcolor", "#c2255c"}};
/// The look of each mark of a comparison, in the order of DiagramMark after None: line, text,
/// style, width.
constexpr Attribute kEdgeMarkLook[][4] = {
    {{"color", "#1b7d2b"}, {"fontcolor", "#1b7d2b"}, {"style", "solid"}, {"penwidth", "2.4"}},
    {{"color", "#c45a00"}, {"fontcolor", "#c45a00"}, {"style", "solid"}, {"penwidth", "2.4"}},
    {{"color", "#c62828"}, {"fontcolor", "#c62828"}, {"style", "dashed"}, {"penwidth", "1.6"}},
};

/// Backslashes a label must hold for one to show: Graphviz reads "\\" as one backslash, and a
/// single one with the letter after it as a command of its own ("\N" the node's name, "\n" a line
/// break).
constexpr std::size_t kLabelBackslashes = 2;
/// A tooltip's backslashes are taken off twice before its commands are read.
constexpr std::size_t kTooltipBackslashes = 4;

/// \p text as the value of a label or tooltip, which shows it as it is: each backslash written
/// \p nBackslashes times, and each '&' as "&amp;", since Graphviz reads entities in both. Quotes
/// and the rest of DOT's syntax are Graphviz's to quote, in agsafeset and agwrite.
std::string GraphvizText(std::string_view text, std::size_t nBackslashes) {
  std::string strOut;
  strOut.reserve(text.size());
  for (const char c : text) {
    if (c == '\\')
      strOut.append(nBackslashes, '\\');
    else if (c == '&')
      strOut += "&amp;";
    else
      strOut += c;
  }
  return strOut;
}

std::string TooltipText(std::string_view text) {
  return GraphvizText(text, kTooltipBackslashes);
}

/// The label of \p vecLines: each line as itself, centred, one under the other.
std::string Label(const std::vector<std::string>& vecLines) {
  std::string strLabel;
  for (const std::string& strLine : vecLines) {
    if (!strLabel.empty())
      strLabel += "\\n";
    strLabel += GraphvizText(strLine, kLabelBackslashes);
  }
  return strLabel;
}

void Set(void* pObject, const char* szName, const std::string& strValue) {
  agsafeset(pObject, const_cast<char*>(szName), const_cast<char*>(strValue.c_str()),
            const_cast<char*>(""));
}

template <std::size_t N> void SetAll(void* pObject, const Attribute (&attributes)[N]) {
  for (const Attribute& attribute : attributes)
    Set(pObject, attribute.szName, attribute.szValue);
}

template <std::size_t N>
void DeclareAll(Agraph_t* pGraph, int nKind, const Attribute (&attributes)[N]) {
  for (const Attribute& attribute : attributes)
    agattr(pGraph, nKind, const_cast<char*>(attribute.szName),
           const_cast<char*>(attribute.szValue));
}

/// Collects Graphviz's error reports of one call instead of letting them reach standard error.
class CErrorCapture {
public:
  CErrorCapture() : m_previous(agseterrf(&Collect)), m_level(agseterr(AGERR)) { Errors().clear(); }
  ~CErrorCapture() {
    agseterrf(m_previous);
    agseterr(m_level);
  }
  CErrorCapture(const CErrorCapture&) = delete;
  CErrorCapture& operator=(const CErrorCapture&) = delete;

  /// What Graphviz reported, on one line, or \p szOtherwise when it said nothing.
  static std::string Reason(const char* szOtherwise) {
    std::string strReason = Errors();
    while (!strReason.empty() && (strReason.back() == '\n' || strReason.back() == ' '))
      strReason.pop_back();
    for (char& c : strReason)
      if (c == '\n')
        c = ' ';
    return strReason.empty() ? szOtherwise : strReason;
  }

private:
  static std::string& Errors() {
    static std::string strErrors;
    return strErrors;
  }
  static int Collect(char* szMessage) {
    Errors() += szMessage;
    return 0;
  }

  agusererrf m_previous;
  agerrlevel_t m_level;
};

/// agwrite's output, appended to the std::string its channel points at.
int PutString(void* pChannel, const char* szText) {
  static_cast<std::string*>(pChannel)->append(szText);
  return 0;
}

int FlushNothing(void* /*pChannel*/) {
  return 0;
}

/// The most edges that leave one node.
std::size_t MaxFanOut(const DiagramGraph& graph) {
  std::vector<std::size_t> vecOut(graph.nodes.size());
  std::size_t nMax = 0;
  for (const DiagramEdge& edge : graph.edges)
    nMax = std::max(nMax, ++vecOut.at(static_cast<std::size_t>(edge.nFrom)));
  return nMax;
}

/// The graph of \p graph, with every attribute set; its texts escaped by Graphviz when written.
Agraph_t* BuildGraph(const DiagramGraph& graph, Agdisc_t* pDisc) {
  Agraph_t* pGraph = agopen(const_cast<char*>("flow"), Agdirected, pDisc);
  if (!pGraph)
    return nullptr;
  DeclareAll(pGraph, AGRAPH, kGraphLook);
  if (MaxFanOut(graph) > kMaxRowFanOut)
    SetAll(pGraph, kColumnLook);
  DeclareAll(pGraph, AGNODE, kNodeLook);
  DeclareAll(pGraph, AGEDGE, kEdgeLook);
  std::vector<Agnode_t*> nodes;
  nodes.reserve(graph.nodes.size());
  for (const DiagramNode& node : graph.nodes) {
    const std::string strName =
        (node.kind == DiagramNodeKind::Menu ? "menu" : "n") + std::to_string(nodes.size() + 1);
    Agnode_t* pNode = agnode(pGraph, const_cast<char*>(strName.c_str()), 1);
    SetAll(pNode, kNodeKindLook[static_cast<int>(node.kind)]);
    Set(pNode, "label", Label(node.vecLines));
    Set(pNode, "tooltip", TooltipText(node.strTooltip));
    if (nodes.empty() && node.kind == DiagramNodeKind::Menu)
      SetAll(pNode, kStartLook);
    if (node.nNoAnswerHits == 0)
      SetAll(pNode, kUnansweredLook);
    nodes.push_back(pNode);
  }
  for (const DiagramEdge& edge : graph.edges) {
    Agedge_t* pEdge = agedge(pGraph, nodes.at(static_cast<std::size_t>(edge.nFrom)),
                             nodes.at(static_cast<std::size_t>(edge.nTo)), nullptr, 1);
    SetAll(pEdge, kEdgeKindLook[static_cast<int>(edge.kind)]);
    if (edge.mark != DiagramMark::None)
      SetAll(pEdge, kEdgeMarkLook[static_cast<int>(edge.mark) - 1]);
    else if (edge.nHits > 0)
      SetAll(pEdge, kCoveredLook);
    else if (edge.nHits == 0)
      SetAll(pEdge, kUncoveredLook);
    Set(pEdge, "label", GraphvizText(edge.strLabel, kLabelBackslashes));
    Set(pEdge, "tooltip", TooltipText(edge.strTooltip));
    Set(pEdge, "labeltooltip", TooltipText(edge.strTooltip));
  }
  return pGraph;
}

/// Graphviz's context, with its plugins, made once for the process.
GVC_t* Context() {
  static GVC_t* pContext = gvContext();
  return pContext;
}

const char* DeviceOf(FlowFormat format) {
  switch (format) {
  case FlowFormat::Svg:
    return "svg";
  case FlowFormat::Png:
    return "png";
  case FlowFormat::Pdf:
    return "pdf";
  case FlowFormat::Dot:
  case FlowFormat::Json:
    break;
  }
  return nullptr;
}

/// Lays \p pGraph out and draws it on \p szDevice into \p strBytes.
bool Draw(Agraph_t* pGraph, const char* szDevice, std::string& strBytes, std::string& strReason) {
  GVC_t* pContext = Context();
  if (!pContext || gvLayout(pContext, pGraph, "dot") != 0) {
    strReason = CErrorCapture::Reason("Graphviz could not lay the diagram out");
    return false;
  }
  char* pData = nullptr;
  unsigned int nLength = 0;
  const bool bDrawn = gvRenderData(pContext, pGraph, szDevice, &pData, &nLength) == 0 && pData;
  if (bDrawn)
    strBytes.assign(pData, nLength);
  else
    strReason = CErrorCapture::Reason("Graphviz could not draw the diagram");
  gvFreeRenderData(pData);
  gvFreeLayout(pContext, pGraph);
  return bDrawn;
}

bool Render(const DiagramGraph& graph, FlowFormat format, std::string& strBytes,
            std::string& strReason) {
  // Graphviz keeps its error handler, its context and its layouts' state per process: one drawing
  // at a time, whichever thread asks.
  static std::mutex drawing;
  const std::lock_guard<std::mutex> lock(drawing);
  static Agiodisc_t io{AgIoDisc.afread, &PutString, &FlushNothing};
  static Agdisc_t disc{&AgMemDisc, &AgIdDisc, &io};
  const CErrorCapture capture;
  strBytes.clear();
  Agraph_t* pGraph = BuildGraph(graph, &disc);
  if (!pGraph) {
    strReason = CErrorCapture::Reason("Graphviz could not make the graph");
    return false;
  }
  bool bDone = false;
  if (format == FlowFormat::Dot) {
    bDone = agwrite(pGraph, &strBytes) == 0;
    if (!bDone)
      strReason = CErrorCapture::Reason("Graphviz could not write the graph");
  } else if (const char* szDevice = DeviceOf(format)) {
    bDone = Draw(pGraph, szDevice, strBytes, strReason);
  } else {
    strReason = "not a drawn format";
  }
  agclose(pGraph);
  return bDone;
}

constexpr DiagramModuleApi kApi{kDiagramModuleVersion, &Render};

} // namespace

} // namespace dovetrel

extern "C" __attribute__((visibility("default"))) const dovetrel::DiagramModuleApi*
DovetrelDiagramModule() {
  return &dovetrel::kApi;
}
