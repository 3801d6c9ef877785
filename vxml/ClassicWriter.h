#pragma once

#include "flow/CallFlow.h"
#include "vxml/DocumentOutput.h"

#include <optional>
#include <string>

namespace dovetrel {

/// Writes a call flow as the classic document, the dialect of the platform Dovetrel was made
/// for: one form per menu, each a single block holding the timeout property, the greeting, the
/// input field with its no-input handler and the filled element with one `if` per key row, in
/// row order, a key's later rows included. Made for one write.
class CClassicWriter {
public:
  CClassicWriter(const CallFlow& flow, CDocumentOutput& output) : m_flow(flow), m_output(output) {}

  /// Opens the root element.
  [[nodiscard]] bool WriteDocumentStart();
  /// Writes every menu; false at the first writer call that fails, with the row that was being
  /// written in FailedAt(). The flow of a table the reader cannot have made fails at once.
  [[nodiscard]] bool WriteMenus();
  /// Closes the last menu and the document, flushes it and puts it in place of the target.
  [[nodiscard]] bool WriteDocumentEnd();
  /// The row whose element was being written when a call failed.
  const SourcePlace& FailedAt() const { return m_place; }

private:
  [[nodiscard]] bool WriteMenu(const FlowMenu& menu, bool bFirst);
  [[nodiscard]] bool WriteField(const FlowMenu& menu);
  [[nodiscard]] bool WriteKeyCondition(const std::string& strField, const KeyAction& key);
  /// The action of \p step; a dial's busy handler follows from \p pDial, none for a busy row's.
  [[nodiscard]] bool WriteAction(const FlowStep& step, const FlowAction* pDial);

  const CallFlow& m_flow;
  CDocumentOutput& m_output;
  SourcePlace m_place;
};

/// The row at which the classic document of \p flow fails for what it holds rather than for its
/// output: a misshapen table, a value \p codec cannot carry, a no-input or busy row without a
/// known action word. None when every value can be written. The standard document checks this
/// before it is opened, so that a set writes in both dialects or in neither, with one message.
std::optional<SourcePlace> FindUnwritableRow(const CallFlow& flow, CTextCodec& codec);

} // namespace dovetrel
