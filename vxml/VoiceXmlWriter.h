#pragma once

#include "scenario/Message.h"
#include "scenario/ScenarioTable.h"
#include "vxml/XmlOutput.h"

#include <string>

namespace dovetrel {

/// The kinds of VoiceXML document Dovetrel writes.
enum class Dialect {
  /// The platform's own, element for element as it expects them; not valid W3C VoiceXML.
  Classic,
  /// W3C VoiceXML 2.1, valid against W3C's schema, for any standard voice browser.
  W3c,
};

/// What writing a document needs from outside.
struct WriteContext {
  IMessageSink& messages;
  IXmlOutputFactory& output = SystemXmlOutput();
  /// Code page of the row texts, any name iconv knows; empty to take it from the table.
  std::string strEncoding{};
  Dialect dialect = Dialect::Classic;
};

/// Writes the loaded table \p table as one VoiceXML document of the context's dialect to
/// \p strPath. A table writes in the standard dialect exactly when it writes in the classic one,
/// failing with the same message. True when the whole document was written and has replaced the
/// target. Otherwise shows one message, for the stage that failed (the header, a row, the end),
/// and leaves any earlier file at \p strPath as it was. The table is only read, and nothing of
/// the write outlives the call.
[[nodiscard]] bool WriteVoiceXml(const std::string& strPath, const CScenarioTable& table,
                                 const WriteContext& context);

} // namespace dovetrel
