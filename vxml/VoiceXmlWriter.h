#pragma once

#include "scenario/Message.h"
#include "scenario/ScenarioConverter.h"
#include "vxml/XmlOutput.h"

#include <string>
#include <string_view>

namespace dovetrel {

/// What writing a document needs from outside.
struct WriteContext {
  IMessageSink& messages;
  IXmlOutputFactory& output = SystemXmlOutput();
  /// Code page of the row texts, any name iconv knows; empty to take it from the table.
  std::string strEncoding{};
};

/// Writes the loaded table of \p converter as one VoiceXML document to \p strPath: one form per
/// scenario file, in table order. True when the whole document was written and has replaced the
/// target. Otherwise shows one message, for the stage that failed (the header, a row, the end),
/// and leaves any earlier file at \p strPath as it was. The table is never changed, and the
/// writer state is released on every exit.
bool WriteVoiceXml(const std::string& strPath, CScenarioConverter& converter,
                   const WriteContext& context);

// The building blocks, in the order the document needs them. Each returns false at the first
// writer call that fails and shows nothing; elements opened so far stay open.

/// Creates the stream, the writer and the codec, writes the declaration and opens the root.
bool OpenVoiceXmlOutput(const std::string& strPath, CScenarioConverter& converter,
                        const WriteContext& context, std::string& strReason);
/// Writes one row by its kind; \p nIndex is its place in the table.
bool WriteScenarioEntry(const ScenarioEntry& row, int nIndex, CScenarioConverter& converter);
/// Closes the previous scenario's form, if any, and opens a form and its block.
bool WriteFormStart(std::string_view text, CScenarioConverter& converter);
bool WriteTimeoutProperty(CScenarioConverter& converter, std::string_view text);
bool WriteGreetingAudio(CScenarioConverter& converter, std::string_view text);
/// The input field, with the scenario's first no-input row as its handler.
bool WriteInputField(std::string_view text, CScenarioConverter& converter, int nIndex);
bool WriteNoInputHandler(CScenarioConverter& converter, int nFieldIndex, EntryKind kind,
                         std::string_view text);
/// Opens the element that holds the key conditions; the next form or the end closes it.
bool WriteFilledBlock(CScenarioConverter& converter, std::string_view text);

/// The UTF-8 form of \p text in the converter's buffer, ready for one attribute; null when the
/// value has a byte without a character in the code page or a character XML cannot carry.
const char* WidenToBuffer(std::string_view text, CScenarioConverter& converter);

/// One `if` with its condition and action for a key row; the busy handler when \p bBusyHandler.
bool WriteKeyCondition(CScenarioConverter& converter, int nIndex, bool bBusyHandler,
                       const ScenarioEntry& row);
/// The action of a key row: goto, transfer (then the busy handler) or disconnect. Fails for
/// any other kind. \p nIndex is where the busy handler search starts.
bool WriteKeyAction(CScenarioConverter& converter, int nIndex, bool bBusyHandler, EntryKind kind,
                    std::string_view text);
/// The first row from \p nStart on, within its scenario, whose key is \p key; null if none.
const ScenarioEntry* FindKeyHandler(const CScenarioConverter& converter, int nStart, char key);

/// The name of the form a scenario file becomes: its name up to the first dot.
std::string_view ScenarioName(std::string_view text);

} // namespace dovetrel
