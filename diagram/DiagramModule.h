#pragma once

#include "diagram/DiagramGraph.h"
#include "diagram/FlowDiagram.h"

#include <string>

namespace dovetrel {

/// Raised whenever the table below or what it passes changes, so that a program never runs a
/// module built from other sources.
inline constexpr int kDiagramModuleVersion = 2;

/// The name under which the module exports its entry point.
inline constexpr const char* kDiagramModuleEntry = "DovetrelDiagramModule";

/// What the drawing module offers, behind its one exported function. Both sides are built from the
/// same sources with the same compiler, so C++ types pass as they are.
struct DiagramModuleApi {
  int nVersion; ///< kDiagramModuleVersion of the module's sources
  /// Lays out \p graph and draws it in \p format (Svg, Png, Pdf), or writes its Graphviz source
  /// (Dot). False, with the reason, when Graphviz fails.
  bool (*pRender)(const DiagramGraph& graph, FlowFormat format, std::string& strBytes,
                  std::string& strReason);
};

} // namespace dovetrel

/// The module's entry point.
extern "C" const dovetrel::DiagramModuleApi* DovetrelDiagramModule();
