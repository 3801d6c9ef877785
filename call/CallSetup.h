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

/// Documents written into memory: the libxml2 writer over a string that Commit fills.
class CMemoryXmlOutput final : public IXmlOutputFactory {
public:
  std::unique_ptr<IOutputStream> CreateStream(const std::string& strPath,
                                              std::string& strReason) override;
  std::unique_ptr<IXmlWriter> CreateWriter() override;

  /// The last committed document.
  std::string m_strDocument;
};

/// Converts the set of \p strIvrFile as dovetrel-convert would, with the same messages on
/// \p messages (the target being the name it proposes for the dialect), but into memory: nothing
/// is written to disk. \p options' output is ignored. Nothing when the set does not convert.
[[nodiscard]] std::optional<CallSet> ConvertForCall(const std::string& strIvrFile,
                                                    IMessageSink& messages,
                                                    const ConversionOptions& options);

/// A compile fault of \p set's document as a finding of its code, without a text: the scenario row
/// that made the element at fault as its file and line (in a classic document, the key row of the
/// condition the element stands in, otherwise the menu line that names the file of its form, the
/// main file alone when none does; no file in a standard document, whose ids are made of their
/// own), and the document's line with the fault's text as its note, "строка N документа VoiceXML:
/// TEXT".
Finding FaultFinding(const CallSet& set, Dialect dialect, const CallFault& fault);

/// The document line of \p fault with its text, "строка N документа VoiceXML: TEXT".
std::string DescribeFault(const CallFault& fault);

} // namespace dovetrel
