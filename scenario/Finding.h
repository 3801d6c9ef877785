#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dovetrel {

/// What was found, for code to branch on; the text beside it says the same to people.
enum class FindingCode {
  None,               ///< not a failure: a success, a question
  TableFull,          ///< the set needs more rows than the table holds
  TextTooLong,        ///< a row text of 64 bytes or more
  CannotOpenFile,     ///< a scenario file cannot be opened
  NoFirstLine,        ///< a scenario file holds no line at all
  BadTimeout,         ///< line 1 has no timeout
  BadGreeting,        ///< line 1 has no greeting
  CannotWriteHeader,  ///< the document cannot be started
  CannotWriteElement, ///< a row cannot be written
  CannotWriteEnd,     ///< the document cannot be finished or put in place
  NameMissing,        ///< the IVR or the VoiceXML name is empty
  LoadFailed,         ///< summary: the set could not be loaded
  ConvertFailed,      ///< summary: the document could not be written
  TargetIsScenario,   ///< the document would replace a file of the set it comes from
  ReadError,          ///< a file could not be read to its end
  CannotOpenFolder,   ///< the desktop could not show the folder of a document
  OutOfMemory,        ///< the command ran out of memory
  Unexpected,         ///< anything else that ended a command
  CannotLoadModule,   ///< the drawing module cannot be opened
  CannotDraw,         ///< the call flow cannot be drawn
  CannotWriteFlow,    ///< the call flow's file cannot be written
  CannotWriteCall,    ///< a call's record cannot be written
  CannotRunCall,      ///< a converted document cannot be run as a call
  CannotWriteFix,     ///< a fixed scenario file cannot be written
  // What the checks of the column format find.
  LoneCrLineEnds,      ///< lines ended by a CR alone: the file reads as one line
  FileNameNotField,    ///< a file name gives a form name the platform cannot take
  FormNameTwice,       ///< two files give one form name
  TimeoutNotNumber,    ///< the timeout is not a number of seconds
  GreetingTooNear,     ///< the greeting begins less than three spaces after the timeout
  TextAfterWord,       ///< text after the greeting or the argument is not read
  KeyNotInColumn,      ///< column 1 holds no key
  KeyTooLong,          ///< the key is longer than one character
  KeyNotDialable,      ///< no telephone sends the key
  KeywordNotInColumn,  ///< the action keyword misses column 6
  ActionMissing,       ///< column 6 holds no action
  KeywordNotLowerCase, ///< an action keyword written in capitals
  NotAKeyword,         ///< the action is no keyword at all
  ArgumentMissing,     ///< menu or dial without an argument
  ArgumentEarly,       ///< the argument begins before column 22
  NestedWithFolder,    ///< a nested scenario named with a folder
  TableNearlyFull,     ///< the set fills more than nine tenths of the table
  RowNeverActs,        ///< a row of the call flow that never acts
  RowLeftOut,          ///< a row the standard document leaves out
  RowNotCovered,       ///< a row that can act and acts in no recorded call
  GreetingMissing,     ///< no sound file of the greeting's name beside the scenario
  GreetingWrongFormat, ///< the greeting's sound file is not what a telephone line plays
  // Why a converted document cannot be run.
  CallNotXml,          ///< the document does not parse
  CallBadStructure,    ///< an element, text or attribute the simulator does not run
  CallBadValue,        ///< an attribute value or condition the simulator cannot read
  CallBrokenReference, ///< a goto, a filled or a condition names nothing in the document
  CallTimeoutMissing,  ///< a field waits without a timeout
  RecordNotTranscript, ///< a call's record holds a line no call writes
  CallStopped,         ///< the running call met an instruction that ends it in a fault
};

/// How bad a finding is: an error makes a command fail, a warning only means that the document
/// may not do what the author meant, information is a success.
enum class Severity { Information, Warning, Error };

/// One edit of a fix: the columns [nFirstColumn, nEndColumn) of line nLine become strText.
struct TextEdit {
  int nLine = 0;                  ///< 1-based
  std::uint64_t nFirstColumn = 1; ///< 1-based, the first column replaced
  std::uint64_t nEndColumn = 1;   ///< the first column kept after the replaced ones
  std::string strText;            ///< what stands there instead
};

/// Everything a command finds, a failure, a warning of the checks or a success, as data: every
/// front end renders it (a box, a line of the command line) and none composes its own.
struct Finding {
  FindingCode code = FindingCode::None;
  Severity severity = Severity::Error;
  std::string strText{};        ///< what is wrong and, briefly, how to mend it; word for word
  std::string strFile{};        ///< full path; empty when no file is concerned
  int nLine = 0;                ///< 1-based; 0 when the file as a whole is concerned
  std::uint64_t nColumn = 0;    ///< 1-based; 0 when no column is concerned
  std::uint64_t nEndColumn = 0; ///< the column after the word at fault; 0 when unknown
  std::string strNote{};        ///< further words, such as the system's reason; may be empty
  /// For a nested file: "FILE:LINE" of the menu line that names it; empty otherwise.
  std::string strNamedAt{};
  /// Edits of strFile that mend the fault, each on its own line; empty when no fix is obvious.
  std::vector<TextEdit> vecFix{};
  /// Findings shown with this one: the warnings of a conversion that succeeded.
  std::vector<Finding> vecRelated{};
};

/// The word the command line prints for \p severity: "information", "warning", "error".
std::string_view SeverityName(Severity severity);

/// "FILE:LINE:COL: SEVERITY: TEXT (NOTE)", leaving out the place's unknown parts; control
/// characters show escaped, so that a finding is always one line.
std::string FormatFinding(const Finding& finding);

/// The place and note as one line, "FILE:LINE: NOTE (указан в NAMED_AT)", leaving out the parts
/// that are empty; a note of several lines stays several lines. Control characters show escaped.
std::string FormatDetail(const Finding& finding);

/// True when \p findings hold one of \p severity.
bool HasFindings(const std::vector<Finding>& findings, Severity severity);

/// \p text with the edits of \p fix applied; lines and columns count bytes of \p text.
std::string ApplyFix(std::string_view text, const std::vector<TextEdit>& fix);

} // namespace dovetrel
