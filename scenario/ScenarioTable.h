#pragma once

#include "scenario/Message.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// What a row of the scenario table stands for. Values 0 to 3 come from the action keyword of a
/// key line; 4 to 8 are made by the reader for every scenario file.
enum EntryKind : std::int32_t {
  kindUnknown = 0,
  kindMenu = 1,
  kindDial = 2,
  kindDisconnect = 3,
  kindScenarioFile = 4,
  kindInputField = 5,
  kindFilled = 6,
  kindGreeting = 7,
  kindTimeout = 8,
};

/// Key characters that the writer gives a meaning of their own; every other byte is a key the
/// caller presses.
inline constexpr char keyNoInput = '-'; ///< the caller pressed nothing in time
inline constexpr char keyBusy = 'b';    ///< the number a transfer dialled was busy
inline constexpr char keyFax = 'f';     ///< a fax answered

/// The limit of a row text, its terminating NUL included: a text holds at most 63 bytes, counted
/// as Windows-1251 has them wherever it can write the text (see TableTextLength).
inline constexpr int kEntryTextSize = 64;
/// Bytes a row keeps for its text: 63 characters of Windows-1251 take up to three bytes each in
/// UTF-8, and the NUL.
inline constexpr int kEntryTextBytes = 3 * (kEntryTextSize - 1) + 1;
/// Rows every scenario file takes before its key lines: the scenario file, the timeout, the
/// greeting, the input field and the filled rows.
inline constexpr int kRowsPerFile = 5;
/// Rows of the scenario table; a set that needs more cannot be loaded.
inline constexpr int kTableCapacity = 128;

/// One row of the scenario table. Rows are plain values: the text is copied in.
struct ScenarioEntry {
  char key;                   ///< key character of a key line; NUL in every other row
  EntryKind kind;             ///< what the row stands for
  char text[kEntryTextBytes]; ///< NUL-terminated, within the limit of kEntryTextSize
  int line;                   ///< 1-based line of the scenario file it came from; 0 if none
};

/// The scenario table of one whole scenario set, with the base directory of the set and the full
/// path of every file read. It is plain data: loading fills it, and the writers, the call flow and
/// the checks read it as it stands, never changing it. One table serves every conversion in turn;
/// every load starts by clearing it, so nothing of an earlier conversion survives.
class CScenarioTable {
public:
  CScenarioTable();

  /// Empties the table: no rows in use, every row reset, no file paths.
  void ClearEntries();

  /// Appends one row. Refuses, after showing its message with \p where as the detail and a note
  /// on the limit reached, when the table is full (checked first) or when \p text measures 64 or
  /// more (TableTextLength); the table is then unchanged. A text is never cut short and the table
  /// never grows.
  [[nodiscard]] bool AddEntry(std::string_view text, EntryKind kind, char key,
                              IMessageSink& messages, const Finding& where);

  /// Records the full path of the scenario file whose scenario-file row was appended last.
  void AddFilePath(std::string strFullPath) { m_vecFilePaths.push_back(std::move(strFullPath)); }
  /// Sets the prefix of every nested file path: empty or ending with '/'.
  void SetBaseDirectory(std::string strBaseDirectory) {
    m_strBaseDirectory = std::move(strBaseDirectory);
  }

  /// The first menu row whose text names no scenario file of the table (exact, case-sensitive
  /// byte comparison), or null. Nested files are read in the order this returns them.
  const ScenarioEntry* FindUnresolvedMenu() const;

  /// The first row from \p nStart on, within the scenario that row belongs to, whose key is
  /// \p key; null when the scenario has none.
  const ScenarioEntry* FindKeyHandler(int nStart, char key) const;

  /// Full path of the scenario file that row \p nIndex belongs to, for the detail of a message;
  /// empty when the table does not say.
  std::string SourcePathOfRow(int nIndex) const;

  /// How the rows in use were spent, in words: the files, their rows and the key lines.
  std::string DescribeRows() const;
  /// Rows in use: 0 .. Capacity().
  int Count() const { return m_nCount; }
  /// Rows the table holds at most; never changes.
  int Capacity() const { return m_nCapacity; }
  /// Row \p nIndex, 0 <= nIndex < Count().
  const ScenarioEntry& Entry(int nIndex) const { return m_pEntries[nIndex]; }
  /// The rows in use, in table order.
  std::span<const ScenarioEntry> Entries() const {
    return {m_pEntries.get(), static_cast<std::size_t>(m_nCount)};
  }
  /// Full paths of the scenario files, one per scenario-file row, in table order.
  const std::vector<std::string>& FilePaths() const { return m_vecFilePaths; }
  /// The prefix of every nested file path: empty or ends with '/'.
  const std::string& BaseDirectory() const { return m_strBaseDirectory; }

private:
  std::string m_strBaseDirectory;
  int m_nCapacity;
  int m_nCount = 0;
  std::unique_ptr<ScenarioEntry[]> m_pEntries;
  std::vector<std::string> m_vecFilePaths;
};

/// The code page of a loaded table: UTF-8 when every row text is well-formed UTF-8, otherwise
/// Windows-1251. An ASCII-only set reads the same either way.
std::string DetectSourceEncoding(const CScenarioTable& table);

} // namespace dovetrel
