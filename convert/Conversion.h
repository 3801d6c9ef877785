#pragma once

#include "audio/AudioFile.h"
#include "scenario/Message.h"
#include "scenario/ScenarioCheck.h"
#include "scenario/ScenarioReader.h"
#include "scenario/ScenarioTable.h"
#include "vxml/VoiceXmlWriter.h"
#include "vxml/XmlOutput.h"

#include <functional>
#include <string>
#include <vector>

namespace dovetrel {

/// How a conversion ended; the operator has been told in every case.
enum class ConversionOutcome {
  Converted,   ///< the document was written
  NameMissing, ///< the IVR or the VoiceXML name was empty; nothing was read or written
  LoadFailed,  ///< the scenario set could not be read; nothing was written
  WriteFailed, ///< the document could not be written; any earlier file is as it was
  /// the VoiceXML name is a file of the set itself; nothing was written
  TargetIsScenario,
};

/// The parts of the outside world a conversion uses; tests replace them.
struct ConversionOptions {
  /// Code page of the scenario files; empty to take it from their texts.
  std::string strEncoding;
  /// The kind of document written; the standard one also warns of every row it leaves out.
  Dialect dialect = Dialect::Classic;
  IInputFiles* pFiles = nullptr;        ///< null: the real file system
  IXmlOutputFactory* pOutput = nullptr; ///< null: libxml2 over the real file system
  /// The greetings' sound files that a check looks at beside the scenario files; null: the check
  /// leaves the greetings' audio alone (a set given in memory has none).
  IAudioFiles* pAudio = nullptr;
  /// Watches the reading; null to have the author diagnostics watch it, see bReportWarnings.
  IScenarioObserver* pObserver = nullptr;
  /// Hands the author diagnostics' warnings over with the success message, one per line of its
  /// detail. They never change what is read or written.
  bool bReportWarnings = true;
};

/// The VoiceXML name proposed for \p strIvrFile: its file name cut at the first '.', in the same
/// directory, followed by ".vxml" ("/data.old/main.ivr" gives "/data.old/main.vxml"), or by
/// ".w3c.vxml" for the standard dialect, so that both documents of a set can lie side by side.
std::string ProposeVxmlName(const std::string& strIvrFile, Dialect dialect = Dialect::Classic);

/// The file of the loaded set that \p strPath is, compared by identity (device and inode, links
/// followed), so that any spelling of the same file is caught; empty when it is none of them. A
/// command refuses to write over such a file.
std::string FindSetFile(const std::string& strPath, const CScenarioTable& table);
/// The same among the full paths \p files.
std::string FindSetFile(const std::string& strPath, const std::vector<std::string>& files);

/// The messages of a file written beside a set: a call-flow drawing, a call record.
struct SideFileTexts {
  FindingCode sameCode; ///< the path is one of the set's own files
  std::string_view sameText;
  FindingCode failCode; ///< the file cannot be written
  std::string_view failText;
};

/// Writes \p bytes to \p strPath through \p pOutput (the real file system when null), in place of
/// any earlier file only once complete. False, its message shown, when it cannot, or when
/// \p strPath is one of \p setFiles (the set's own files), which stay as they are.
[[nodiscard]] bool WriteSideFile(const std::string& strPath, std::string_view bytes,
                                 const std::vector<std::string>& setFiles,
                                 const SideFileTexts& texts, IMessageSink& messages,
                                 IXmlOutputFactory* pOutput = nullptr);

/// The Convert command without a window: derives \p strBaseDir from \p strIvrFile, refuses empty
/// names, loads the scenario set into \p table and writes it to \p strVxmlFile. Every outcome
/// ends with exactly one summary message, after the failing step's own. A read error in the middle
/// of a file is not caught: CFileReadError reaches the caller, and nothing has been written.
/// A success whose set has warnings carries them as the detail of its message.
[[nodiscard]] ConversionOutcome RunConversion(const std::string& strIvrFile,
                                              const std::string& strVxmlFile,
                                              std::string& strBaseDir, CScenarioTable& table,
                                              IMessageSink& messages,
                                              const ConversionOptions& options = {});

/// Reads the set \p strIvrFile exactly as the conversion does, writes its document into nowhere to
/// find the rows that cannot be written, and returns every finding: the traps of the column format
/// and every failure the conversion would report, each at its line. Shows nothing. A read error in
/// the middle of a file is not caught. The set as read is left in \p pLoaded when one is given,
/// for a caller that goes on to use it (the language server's navigation and hover).
[[nodiscard]] std::vector<Finding> RunCheck(const std::string& strIvrFile,
                                            const ConversionOptions& options = {},
                                            CScenarioTable* pLoaded = nullptr);

/// Runs \p command and reports whatever it throws as one error message on \p messages, so that no
/// front end ends in the middle of a command: a read error in the middle of a file with its own
/// text, running out of memory with a text of ours, anything else with its own description. False
/// when something
/// was thrown; the command's own messages have been shown in every case.
[[nodiscard]] bool ReportExceptions(IMessageSink& messages, const std::function<void()>& command);

} // namespace dovetrel
