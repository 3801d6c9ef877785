#pragma once

#include "scenario/ScenarioTable.h"

#include <ostream>
#include <string>
#include <vector>

namespace dovetrel::test {

/// A table row as tests write it down.
struct Row {
  EntryKind kind;
  char key;
  std::string text;
  bool operator==(const Row&) const = default;
};

inline void PrintTo(const Row& row, std::ostream* pOut) {
  *pOut << "{kind " << static_cast<int>(row.kind) << ", key ";
  if (row.key == '\0')
    *pOut << "NUL";
  else
    *pOut << "'" << row.key << "'";
  *pOut << ", \"" << row.text << "\"}";
}

/// The rows in use, in table order.
inline std::vector<Row> RowsOf(const CScenarioTable& table) {
  std::vector<Row> rows;
  for (int i = 0; i < table.Count(); ++i)
    rows.push_back(Row{table.Entry(i).kind, table.Entry(i).key, table.Entry(i).text});
  return rows;
}

/// The five rows every scenario file starts with.
inline std::vector<Row> HeadRows(const std::string& strName, const std::string& strTimeout,
                                 const std::string& strGreeting, const std::string& strField) {
  return {{kindScenarioFile, '\0', strName},
          {kindTimeout, '\0', strTimeout},
          {kindGreeting, '\0', strGreeting},
          {kindInputField, '\0', strField},
          {kindFilled, '\0', strField}};
}

} // namespace dovetrel::test
