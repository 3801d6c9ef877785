#pragma once

#include "scenario/Message.h"
#include "scenario/Paths.h"
#include "scenario/ScenarioTable.h"
#include "scenario/TextFile.h"

#include <string>
#include <string_view>

namespace dovetrel {

/// Watches the reader line by line, so that a diagnostic pass sees exactly what the conversion
/// reads. It cannot change what is read.
class IScenarioObserver {
public:
  virtual ~IScenarioObserver() = default;
  /// A scenario file was opened; its scenario-file row is row \p nFirstRow.
  virtual void OnScenarioFile(const std::string& strFullPath, int nFirstRow) = 0;
  /// Line \p nLine of the current file was read; its rows, if any, follow.
  virtual void OnLine(const CScenarioLine& line, int nLine) = 0;
};

/// What a load needs from outside: where messages go, where files come from, who watches.
struct ReadContext {
  IMessageSink& messages;
  IInputFiles& files = SystemInputFiles();
  IScenarioObserver* pObserver = nullptr;
};

/// Columns (0-based) at which the words of a key line are looked for.
inline constexpr std::ptrdiff_t kKeyColumn = 0;
inline constexpr std::ptrdiff_t kActionColumn = 5;
inline constexpr std::ptrdiff_t kArgumentColumn = 21;

/// The words the reader takes from line 1: the first word, and the first word from three columns
/// after its end. The greeting is empty when the timeout is. Both are views into \p line.
struct HeaderWords {
  std::string_view timeout;
  std::string_view greeting;
};
HeaderWords SplitHeaderLine(std::string_view line);

/// The words the reader takes from a key line: the first word at or after each of its three
/// columns, each search independent of the others. Views into \p line.
struct KeyLineWords {
  std::string_view key;
  std::string_view action;
  std::string_view argument;
};
KeyLineWords SplitKeyLine(std::string_view line);

/// The kind an action word stands for: "unknown", "menu", "dial" or "disconnect", compared
/// exactly and case-sensitively; any other word, the empty one included, is kindUnknown.
EntryKind ParseActionKeyword(std::string_view word);

/// Reads one scenario file and appends its rows: the scenario-file, timeout, greeting, input-field
/// and filled rows, then one row per non-empty key line. On a failure shows its message, leaves
/// the rows appended so far and returns false. A read error in the middle of the file throws
/// CFileReadError.
[[nodiscard]] bool ReadScenarioFile(const std::string& strPath, CScenarioTable& table,
                                    const ReadContext& context);

/// Clears the table and reads the main file \p strIvrPath, then, breadth-first, every nested file
/// that a menu row names and the table does not hold yet, from \p strBaseDirectory followed by the
/// menu's text. True when every file was read; false at the first failure, after its message.
[[nodiscard]] bool LoadScenarioSet(const std::string& strIvrPath,
                                   const std::string& strBaseDirectory,
                                   CScenarioTable& table, const ReadContext& context);

} // namespace dovetrel
