#pragma once

#include "call/CallProgram.h"
#include "scenario/Message.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// \p line as a call's record holds it and dovetrel-call prints it: the line and a line feed.
std::string RecordLine(std::string_view line);

/// The record of a call whose transcript is \p lines: exactly what dovetrel-call prints for the
/// same events, which dovetrel-call --expect replays.
std::string CallRecord(const std::vector<std::string>& lines);

/// Writes the record of the call \p lines to \p strPath, in place of any earlier file only once
/// complete. False, its message shown, when it cannot, or when \p strPath is one of \p setFiles
/// (the full paths of the set's own files), which stay as they are.
[[nodiscard]] bool WriteCallRecord(const std::string& strPath,
                                   const std::vector<std::string>& lines,
                                   const std::vector<std::string>& setFiles,
                                   IMessageSink& messages);

/// One line of a record as read from its file.
struct RecordedLine {
  int nLine = 0;       ///< 1-based line of the file
  std::string strText; ///< the transcript line, its line end left out
};

/// Reads the record at \p strPath: its transcript lines, with the lines that start with '#'
/// (comments) and the blank ones left out, a CR before the line feed dropped. Nothing, with the
/// error at the record's file and line in \p error, when the file cannot be read (ReadError) or
/// is not a transcript (RecordNotTranscript): a line starting with a word no call writes, a line
/// after "hangup".
[[nodiscard]] std::optional<std::vector<RecordedLine>> ReadCallRecord(const std::string& strPath,
                                                                      Finding& error);

/// A record run again as a call.
struct Replay {
  std::vector<std::string> lines; ///< the transcript of the call as it ran
  /// The first line where call and record part, "PATH:LINE: в записи «…», в звонке «…»"; empty
  /// when the call went as recorded.
  std::string strDifference;
  std::optional<CallFault> fault; ///< the document failed on the way
};

/// Runs a call on \p program with the events of \p record (read from \p strPath, the set's code
/// page \p strEncoding) and compares its transcript with the record, line by line.
[[nodiscard]] Replay ReplayRecord(const CCallProgram& program,
                                  const std::vector<RecordedLine>& record,
                                  const std::string& strPath, const std::string& strEncoding);

/// The file name of the record of a call of \p events (words as dovetrel-call takes them), after
/// \p strPrefix: "main-1-2-busy.txt". A key that is not an ASCII letter or digit is spelled out
/// ("star", "hash", "x2F"), so no key makes the name a path or a hidden file.
std::string RecordFileName(std::string_view strPrefix, const std::vector<std::string>& events);

} // namespace dovetrel
