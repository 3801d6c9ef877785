#include "scenario/ScenarioTable.h"

#include "scenario/Texts.h"
#include "text/TextCodec.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cstring>

namespace dovetrel {

CScenarioTable::CScenarioTable()
    : m_nCapacity(kTableCapacity), m_pEntries(new ScenarioEntry[kTableCapacity]) {
  m_vecFilePaths.reserve(kTableCapacity / 5 + 1);
}

void CScenarioTable::ClearEntries() {
  m_nCount = 0;
  for (int i = 0; i < m_nCapacity; ++i)
    m_pEntries[i] = ScenarioEntry{'\0', kindUnknown, {}, 0};
  m_vecFilePaths.clear();
}

bool CScenarioTable::AddEntry(std::string_view text, EntryKind kind, char key,
                              IMessageSink& messages, const Finding& where) {
  if (m_nCount >= m_nCapacity) {
    Finding detail = where;
    detail.strNote = "в таблице " + std::to_string(m_nCapacity) + " строк на весь набор, и все " +
                     "заняты: " + DescribeRows();
    ShowFailure(messages, FindingCode::TableFull, text::kTableFull, detail);
    return false;
  }
  const std::size_t nLength = TableTextLength(text);
  if (nLength >= static_cast<std::size_t>(kEntryTextSize)) {
    Finding detail = where;
    detail.strNote = "текст «" + std::string(text) + "» — " + std::to_string(nLength) +
                     " байт, а в строке таблицы не больше " + std::to_string(kEntryTextSize - 1) +
                     " (кириллица считается по байту на букву)";
    ShowFailure(messages, FindingCode::TextTooLong, text::kTextTooLong, detail);
    return false;
  }
  ScenarioEntry& row = m_pEntries[m_nCount];
  row.key = key;
  row.kind = kind;
  // copy, not memcpy: the empty view of a missing word has no data pointer at all.
  text.copy(row.text, text.size());
  row.text[text.size()] = '\0';
  row.line = where.nLine;
  ++m_nCount;
  return true;
}

std::string CScenarioTable::DescribeRows() const {
  const auto nFiles =
      std::count_if(Entries().begin(), Entries().end(),
                    [](const ScenarioEntry& row) { return row.kind == kindScenarioFile; });
  const auto nKeyRows =
      std::count_if(Entries().begin(), Entries().end(),
                    [](const ScenarioEntry& row) { return row.kind <= kindDisconnect; });
  return "файлов " + std::to_string(nFiles) + ", под них " + std::to_string(m_nCount - nKeyRows) +
         " строк (по " + std::to_string(kRowsPerFile) + " на файл), под строки клавиш " +
         std::to_string(nKeyRows);
}

const ScenarioEntry* CScenarioTable::FindUnresolvedMenu() const {
  const int nCount = m_nCount;
  for (int i = 0; i < nCount; ++i) {
    const ScenarioEntry& menu = m_pEntries[i];
    if (menu.kind != kindMenu)
      continue;
    bool bResolved = false;
    for (int j = 0; j < nCount && !bResolved; ++j)
      bResolved =
          m_pEntries[j].kind == kindScenarioFile && std::strcmp(m_pEntries[j].text, menu.text) == 0;
    if (!bResolved)
      return &menu;
  }
  return nullptr;
}

const ScenarioEntry* CScenarioTable::FindKeyHandler(int nStart, char key) const {
  for (int i = std::max(nStart, 0); i < m_nCount; ++i) {
    const ScenarioEntry& row = m_pEntries[i];
    if (row.kind == kindScenarioFile)
      return nullptr;
    if (row.key == key)
      return &row;
  }
  return nullptr;
}

std::string CScenarioTable::SourcePathOfRow(int nIndex) const {
  if (nIndex < 0 || nIndex >= m_nCount)
    return {};
  std::size_t nFile = 0;
  for (int i = 0; i <= nIndex; ++i)
    nFile += m_pEntries[i].kind == kindScenarioFile ? 1 : 0;
  if (nFile == 0 || nFile > m_vecFilePaths.size())
    return {};
  return m_vecFilePaths[nFile - 1];
}

std::string DetectSourceEncoding(const CScenarioTable& table) {
  for (const ScenarioEntry& row : table.Entries())
    if (!IsUtf8(row.text))
      return std::string(kWindows1251);
  return std::string(kUtf8);
}

} // namespace dovetrel
