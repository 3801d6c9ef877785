#pragma once

#include "flow/CallFlow.h"
#include "vxml/DocumentOutput.h"

#include <set>
#include <string>
#include <vector>

namespace dovetrel {

/// Writes a call flow as a standard W3C VoiceXML 2.1 document, valid against W3C's schema: one form
/// per menu with a field that plays the greeting and takes the keys through an inline DTMF grammar,
/// and one form per dial that bridges the transfer and acts on its outcome. Every step of the call
/// is written out, so that no browser default decides what a call does. Made for one write.
class CW3cWriter {
public:
  CW3cWriter(const CallFlow& flow, CDocumentOutput& output) : m_flow(flow), m_output(output) {}

  /// Opens the root element with its version and namespace.
  [[nodiscard]] bool WriteDocumentStart();
  /// Writes every menu with its dial forms; false at the first writer call that fails, with the
  /// row that was being written in failedAt().
  [[nodiscard]] bool WriteMenus();
  /// Closes the document, flushes it and puts it in place of the target.
  [[nodiscard]] bool WriteDocumentEnd();
  /// The row whose element was being written when a call failed.
  const SourcePlace& FailedAt() const { return m_place; }

private:
  [[nodiscard]] bool WriteMenu(int nMenu);
  [[nodiscard]] bool WriteGrammar(int nMenu);
  [[nodiscard]] bool WriteHandler(const char* szEvent, const FlowAction* pAction, int nMenu);
  [[nodiscard]] bool WriteKeyConditions(int nMenu);
  [[nodiscard]] bool WriteStep(const FlowStep& step, int nMenu);
  [[nodiscard]] bool WriteDialForms(int nMenu);
  [[nodiscard]] bool WriteDialForm(const FlowStep& dial, const FlowStep* pBusy, int nMenu);
  [[nodiscard]] bool Goto(const std::string& strId);
  std::string FormId(int nMenu) const;
  std::string DialFormId(const FlowStep& dial, int nMenu) const;

  const CallFlow& m_flow;
  CDocumentOutput& m_output;
  SourcePlace m_place;
  std::set<std::string> m_dialForms; ///< dial forms written so far
};

/// The rows of \p flow that would act and that a standard document leaves out (keys a telephone
/// cannot send, the fax row), each with what it means for the author.
std::vector<Finding> FindRowsLeftOut(const CallFlow& flow);

} // namespace dovetrel
