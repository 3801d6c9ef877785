#pragma once

#include "diagram/RowHits.h"
#include "flow/CallFlow.h"

#include <optional>
#include <string>
#include <string_view>

/// The call-flow diagram for both front ends. Graphviz lives in a module of its own
/// (dovetrel-graphviz.so) that a program opens only when it draws, so that a plain conversion
/// never pays for loading it; everything here but Draw works without it.
namespace dovetrel {

/// What a call flow can be written as; a file's suffix chooses.
enum class FlowFormat {
  Svg,  ///< drawn, with a tooltip on every element
  Png,  ///< drawn
  Pdf,  ///< drawn
  Dot,  ///< the Graphviz source of the drawing
  Json, ///< the model itself, for other tools (docs/flow.md)
};

/// The format the suffix of \p path asks for: ".svg", ".png", ".pdf", ".dot" or ".json", in any
/// case; nothing for any other suffix or none.
std::optional<FlowFormat> FlowFormatOfPath(std::string_view path);

/// True for the formats the drawing module makes; JSON is written without it.
bool IsDrawnFormat(FlowFormat format);

/// The drawing module's file name.
inline constexpr std::string_view kDiagramModuleName = "dovetrel-graphviz.so";

/// Where the running program finds the drawing module: beside its own directory, in
/// ../lib/dovetrel/, as in the build tree (bin/, lib/dovetrel/) and in an installed prefix. Empty,
/// with the reason, when the program's own path cannot be read.
std::string DiagramModulePath(std::string& strReason);

struct DiagramModuleApi;
struct DiagramMarks;

/// The opened drawing module. It stays loaded until the process ends: Graphviz and the libraries
/// it brings are not made to be unloaded.
class CDiagramModule {
public:
  /// The module at DiagramModulePath(), opened on the first call and kept for every later one.
  /// Null, with the file and the loader's reason in \p strReason, when it cannot be opened or is
  /// not a drawing module of this program's version.
  static const CDiagramModule* Load(std::string& strReason);
  /// The module at \p strPath, opened anew; for tests and tools that bring their own.
  static const CDiagramModule* LoadFrom(const std::string& strPath, std::string& strReason);

  /// Lays out and draws \p flow in \p format (any but Json), its texts decoded from
  /// \p strEncoding, its arrows marked as \p pMarks says when given. False, with Graphviz's or
  /// the codec's reason, when it cannot.
  [[nodiscard]] bool Draw(const CallFlow& flow, const std::string& strEncoding, FlowFormat format,
                          std::string& strBytes, std::string& strReason,
                          const DiagramMarks* pMarks = nullptr) const;

private:
  explicit CDiagramModule(const DiagramModuleApi* pApi) : m_pApi(pApi) {}
  const DiagramModuleApi* m_pApi;
};

} // namespace dovetrel
