#pragma once

#include "call/CallProgram.h"
#include "convert/Conversion.h"
#include "flow/CallFlow.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dovetrel {

/// A scenario set converted for a call: its document, in memory, and what the transcript needs
/// beside it.
struct CallSet {
  std::string strDocument;        ///< the VoiceXML document, UTF-8
  std::vector<std::string> menus; ///< the menus' file names in transcript form, in table order
  std::string strEncoding;        ///< the set's code page
  CallFlow flow;                  ///< the call flow of the loaded table
};

/// Converts the set of \p strIvrFile as dovetrel-convert would, with the same messages on
/// \p messages (the target being the name it proposes for the dialect), but into memory: nothing
/// is written to disk. \p options' output is ignored. Nothing when the set does not convert.
[[nodiscard]] std::optional<CallSet> ConvertForCall(const std::string& strIvrFile,
                                                    IMessageSink& messages,
                                                    const ConversionOptions& options);

/// A set converted for a call with its document compiled: what a call needs to start.
struct PreparedCall {
  CallSet set;                            ///< the set as converted
  std::unique_ptr<CCallProgram> pProgram; ///< its document, compiled; never null
};

/// Converts the set of \p strIvrFile for a call as ConvertForCall does and compiles its document
/// for \p options' dialect: how the dialog and dovetrel-call both start a call. A set that does not
/// convert has said why on \p messages; a document that does not compile is one error there,
/// kCannotRunCall under the code CannotRunCall, with the scenario row at fault as file and line
/// and the document's line as the note. Nothing in either case.
[[nodiscard]] std::optional<PreparedCall> PrepareCall(const std::string& strIvrFile,
                                                      IMessageSink& messages,
                                                      const ConversionOptions& options);

/// The document line of \p fault with its text, "строка N документа VoiceXML: TEXT".
std::string DescribeFault(const CallFault& fault);

} // namespace dovetrel
