#pragma once

#include "scenario/Message.h"

#include <cstdint>
#include <memory>
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

/// Bytes of a row text, its terminating NUL included: a text holds at most 63 bytes.
inline constexpr int kEntryTextSize = 64;
/// Rows of the scenario table; a set that needs more cannot be loaded.
inline constexpr int kTableCapacity = 128;

/// One row of the scenario table. Rows are plain values: the text is copied in.
struct ScenarioEntry {
  char key;                  ///< key character of a key line; NUL in every other row
  EntryKind kind;            ///< what the row stands for
  char text[kEntryTextSize]; ///< NUL-terminated, at most 63 bytes
  int line;                  ///< 1-based line of the scenario file it came from; 0 if none
};

class IOutputStream;
class IXmlWriter;
class CTextCodec;

/// An owning reference that the VoiceXML writer hands to the converter while it writes a
/// document. The table knows nothing of the object except how to release it.
template <class T> using WriterRef = std::unique_ptr<T, void (*)(T*)>;

/// The scenario table of one whole scenario set, plus the base directory of the set and the
/// working state of the VoiceXML writer. One converter serves every conversion in turn; every
/// load starts by clearing the table, so nothing of an earlier conversion survives.
class CScenarioConverter {
public:
  CScenarioConverter();
  ~CScenarioConverter();
  CScenarioConverter(const CScenarioConverter&) = delete;
  CScenarioConverter& operator=(const CScenarioConverter&) = delete;

  /// Empties the table: no rows in use, every row reset. Strings and writer state stay.
  void ClearEntries();

  /// Appends one row. Refuses, after showing its message with \p where as the detail, when the
  /// table is full (checked first) or when \p text has 64 bytes or more; the table is then
  /// unchanged. A text is never cut short and the table never grows.
  bool AddEntry(std::string_view text, EntryKind kind, char key, IMessageSink& messages,
                const MessageDetail& where);

  /// The first menu row whose text names no scenario file of the table (exact, case-sensitive
  /// byte comparison), or null. Nested files are read in the order this returns them.
  const ScenarioEntry* FindUnresolvedMenu() const;

  /// Full path of the scenario file that row \p nIndex belongs to, for the detail of a message;
  /// empty when the table does not say.
  std::string SourcePathOfRow(int nIndex) const;

  std::string m_strBaseDirectory; ///< prefix of every nested file path: empty or ends with '/'
  bool m_bFirstForm = true;       ///< no form opened yet in the document being written
  int m_nCapacity;                ///< rows of m_pEntries; never changes
  int m_nCount = 0;               ///< rows in use: 0 .. m_nCapacity
  std::unique_ptr<ScenarioEntry[]> m_pEntries;
  std::string m_strFieldName; ///< the current input field name (reader and writer)
  /// Full paths of the scenario files, one per scenario-file row, in table order.
  std::vector<std::string> m_vecFilePaths;

  WriterRef<IOutputStream> m_pStream{nullptr, nullptr}; ///< output file while writing
  WriterRef<IXmlWriter> m_pWriter{nullptr, nullptr};    ///< XML writer while writing
  WriterRef<CTextCodec> m_pCodec{nullptr, nullptr};     ///< source code page while writing
  /// Target of every conversion of a row value into the document's UTF-8; one value at a time.
  char m_wszBuffer[512];
};

} // namespace dovetrel
