#pragma once

#include "convert/Conversion.h"
#include "diagram/FlowDiagram.h"

#include <string>

namespace dovetrel {

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
/// JSON does without. A read error in the middle of a file is not caught.
[[nodiscard]] FlowOutcome RunFlow(const std::string& strIvrFile, const std::string& strFlowFile,
                                  FlowFormat format, IMessageSink& messages,
                                  const ConversionOptions& options = {});

} // namespace dovetrel
