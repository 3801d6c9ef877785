#pragma once

#include "scenario/ScenarioTable.h"
#include "vxml/DocumentOutput.h"

#include <string>
#include <string_view>

namespace dovetrel {

/// Writes a loaded table as the classic document, the dialect of the platform Dovetrel was made
/// for: one form per scenario file, each a single block holding the timeout property, the
/// greeting, the input field with its no-input handler and the filled element with one `if` per
/// key row. Made for one write; the table is only read.
class CClassicWriter {
public:
  CClassicWriter(const CScenarioTable& table, CDocumentOutput& output)
      : m_table(table), m_output(output) {}

  /// Opens the root element.
  [[nodiscard]] bool WriteDocumentStart();
  /// Writes every row in table order; the index of the row that failed, or -1 when all were
  /// written. A table the reader cannot have made fails at its first misshapen row.
  [[nodiscard]] int WriteRows();
  /// Closes the last scenario and the document, flushes it and puts it in place of the target.
  [[nodiscard]] bool WriteDocumentEnd();
  /// The line to blame when row \p nIndex could not be written.
  int FailingLine(int nIndex);

  // The document's pieces, in the order it needs them. Each returns false at the first writer
  // call that fails; elements opened so far stay open.

  /// Writes one row by its kind; \p nIndex is its place in the table.
  [[nodiscard]] bool WriteScenarioEntry(const ScenarioEntry& row, int nIndex);
  /// Closes the previous scenario's form, if any, and opens a form and its block.
  [[nodiscard]] bool WriteFormStart(std::string_view text);
  [[nodiscard]] bool WriteTimeoutProperty(std::string_view text);
  [[nodiscard]] bool WriteGreetingAudio(std::string_view text);
  /// The input field, with the scenario's first no-input row as its handler.
  [[nodiscard]] bool WriteInputField(std::string_view text, int nIndex);
  [[nodiscard]] bool WriteNoInputHandler(int nFieldIndex, EntryKind kind, std::string_view text);
  /// Opens the element that holds the key conditions; the next form or the end closes it.
  [[nodiscard]] bool WriteFilledBlock(std::string_view text);
  /// One `if` with its condition and action for a key row; the busy handler when \p bBusyHandler.
  [[nodiscard]] bool WriteKeyCondition(int nIndex, bool bBusyHandler, const ScenarioEntry& row);
  /// The action of a key row: goto, transfer (then the busy handler) or disconnect. Fails for any
  /// other kind. \p nIndex is where the busy handler search starts.
  [[nodiscard]] bool WriteKeyAction(int nIndex, bool bBusyHandler, EntryKind kind,
                                    std::string_view text);

private:
  [[nodiscard]] bool WriteTransfer(int nIndex, bool bBusyHandler, std::string_view text);

  const CScenarioTable& m_table;
  CDocumentOutput& m_output;
  bool m_bFirstForm = true;   ///< no form opened yet
  std::string m_strFieldName; ///< the field the key conditions being written compare
};

} // namespace dovetrel
