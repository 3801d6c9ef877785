#pragma once

#include "scenario/Message.h"
#include "scenario/ScenarioReader.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// Watches a load and finds the traps that the forgiving column format lets through: words that
/// miss their columns and are read cut or not at all, keywords that are not, file names that make
/// no field name. It only looks: what is read stays as it is. Failures of the conversion itself
/// are shown to it as to a message sink, and the call flow's findings (keys that never answer, busy
/// lines that serve no transfer) with WarnAtKey, each placed at its line and column.
class CScenarioChecker final : public IScenarioObserver, public IMessageSink {
public:
  /// \p strBaseDirectory is the one the load reads nested files from.
  explicit CScenarioChecker(std::string strBaseDirectory);

  void OnScenarioFile(const std::string& strFullPath, int nFirstRow) override;
  void OnLine(const CScenarioLine& line, int nLine) override;
  /// Adds \p finding about a key row, placed at its key; the call flow finds these (keys answered
  /// twice, busy rows that serve no dial, rows a document leaves out).
  void WarnAtKey(Finding finding);
  /// Adds \p finding about the greeting of the file it names, placed at the greeting's column of
  /// that file's first line: what its sound file holds.
  void AddAtGreeting(Finding finding);
  /// Warns when the loaded set \p table fills more than nine tenths of the table's rows.
  void CheckTableUse(const CScenarioTable& table);
  /// Adds a failure that a load or a write reports, at the most precise place the lines tell,
  /// instead of showing it.
  MessageReply ShowMessage(const Finding& finding, MessageKind kind) override;

  /// Every finding so far, file by file in reading order, then by line; the findings of one line
  /// in the order they were made, its warnings before the failure they may explain.
  std::vector<Finding> Findings() const;

private:
  /// Where the key of a key line stands.
  struct KeyRow {
    std::size_t nFile; ///< index into m_vecFiles
    int nLine;
    std::uint64_t nColumn;
  };
  /// Where a menu names a nested file, to place that file's open failure.
  struct MenuRef {
    std::string strPath;
    std::string strFile;
    int nLine;
    std::uint64_t nColumn;
  };

  void CheckFileName(const std::string& strFullPath);
  void CheckHeader(const CScenarioLine& line);
  void CheckKeyLine(const CScenarioLine& line, int nLine);
  void CheckKeyWord(const CScenarioLine& line, std::string_view key, int nLine);
  void CheckAction(const CScenarioLine& line, std::string_view action, int nLine);
  void CheckArgument(const CScenarioLine& line, const KeyLineWords& words, EntryKind kind,
                     int nLine);
  void CheckLineEnds(const CScenarioLine& line, int nLine);
  /// Warns about the text that follows \p word, a word of \p line that the reader takes last.
  void WarnTextAfter(const CScenarioLine& line, std::string_view word, int nLine,
                     std::string_view what);
  void Warn(FindingCode code, int nLine, std::uint64_t nColumn, std::string strText,
            std::vector<TextEdit> fix = {});

  std::string m_strBaseDirectory;
  std::vector<std::string> m_vecFiles; ///< files in reading order
  std::vector<Finding> m_vecFindings;
  std::vector<KeyRow> m_vecKeyRows; ///< every key line read
  std::vector<MenuRef> m_vecMenus;
  std::map<std::string, std::string> m_formNames; ///< form name to the first file giving it
  std::uint64_t m_nTimeoutColumn = 0;             ///< of the last header line
  std::uint64_t m_nGreetingColumn = 0;            ///< of the last header line
  std::uint64_t m_nLongHeaderColumn = 0; ///< of the header word that is too long, if one is
  std::uint64_t m_nArgumentColumn = 0;   ///< of the last key line
  bool m_bCrReported = false;            ///< CR line ends were reported in the current file
  /// Each file's greeting column, where its first line has a greeting.
  std::map<std::string, std::uint64_t> m_greetingColumns;
};

} // namespace dovetrel
