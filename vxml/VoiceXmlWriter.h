#pragma once

#include "scenario/Message.h"
#include "scenario/ScenarioConverter.h"
#include "vxml/XmlOutput.h"

#include <string>

namespace dovetrel {

/// What writing a document needs from outside.
struct WriteContext {
  IMessageSink& messages;
  IXmlOutputFactory& output = SystemXmlOutput();
  /// Code page of the row texts, any name iconv knows; empty to take it from the table.
  std::string strEncoding{};
};

/// Writes the loaded table \p converter as one VoiceXML document to \p strPath: one form per
/// scenario file, in table order. True when the whole document was written and has replaced the
/// target. Otherwise shows one message, for the stage that failed (the header, a row, the end),
/// and leaves any earlier file at \p strPath as it was. The table is only read, and nothing of
/// the write outlives the call.
[[nodiscard]] bool WriteVoiceXml(const std::string& strPath, const CScenarioConverter& converter,
                                 const WriteContext& context);

} // namespace dovetrel
