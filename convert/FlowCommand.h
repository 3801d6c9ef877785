#pragma once

#include "convert/Conversion.h"
#include "diagram/DiagramGraph.h"
#include "diagram/FlowDiagram.h"

#include <optional>
#include <string>
#include <vector>

namespace dovetrel {

/// A loaded set's call flow, with what drawing and saving it needs.
struct LoadedFlow {
  CallFlow flow;
  std::string strEncoding;        ///< the code page of the set's texts
  std::vector<std::string> files; ///< full paths of the set's files, never to be written over
};

/// Loads the set \p strIvrFile exactly as the conversion does, with the same messages and the
/// same summary when it does not load, and builds its call flow; nothing when it does not load.
[[nodiscard]] std::optional<LoadedFlow> LoadFlow(const std::string& strIvrFile,
                                                 IMessageSink& messages,
                                                 const ConversionOptions& options = {});

/// The bytes of \p flow in \p format, its arrows marked as \p pMarks says when given (the
/// recorded calls' counts, or a comparison's changes);
/// false, its message shown, when they cannot be made (the drawing module is missing, Graphviz
/// fails).
[[nodiscard]] bool MakeFlowBytes(const CallFlow& flow, const std::string& strEncoding,
                                 FlowFormat format, std::string& strBytes, IMessageSink& messages,
                                 const DiagramMarks* pMarks = nullptr);

/// Puts \p strBytes in place of \p strPath once complete; false, its message shown, when it
/// cannot, or when \p strPath is a file of the set.
[[nodiscard]] bool WriteFlowFile(const std::string& strPath, const std::string& strBytes,
                                 const LoadedFlow& loaded, const ConversionOptions& options,
                                 IMessageSink& messages);

/// How writing a call flow ended; the operator has been told in every case.
enum class FlowOutcome {
  Written,          ///< the file holds the call flow
  NameMissing,      ///< the IVR or the flow file's name was empty; nothing was read or written
  LoadFailed,       ///< the scenario set could not be read; nothing was written
  TargetIsScenario, ///< the flow file is a file of the set itself; nothing was written
  NotDrawn,         ///< the drawing module is missing or Graphviz failed; nothing was written
  WriteFailed,      ///< the file could not be written; any earlier file is as it was
};

/// The Flow command: loads the set \p strIvrFile exactly as the conversion does (the same
/// messages on failure), builds its call flow and writes it to \p strFlowFile in \p format, in
/// place of any earlier file only once complete. The drawn formats open the drawing module;
/// JSON does without. With \p pMarks, the flow shows the recorded calls' coverage. A read error in
/// the middle of a file is not caught.
[[nodiscard]] FlowOutcome RunFlow(const std::string& strIvrFile, const std::string& strFlowFile,
                                  FlowFormat format, IMessageSink& messages,
                                  const ConversionOptions& options = {},
                                  const DiagramMarks* pMarks = nullptr);

} // namespace dovetrel
