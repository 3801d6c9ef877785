// The conditions of a scenario's key rows and their actions.

#include "scenario/Paths.h"
#include "vxml/ClassicWriter.h"

#include <string>

namespace dovetrel {

namespace {

/// The left operand of the busy handler's condition, the name the transfer carries.
constexpr const char* kTransferResult = "Result";

/// The value a key is compared with, as it stands between the condition's quotes: busy and fax
/// have names, a quote and a backslash are escaped so that a script engine parses the condition,
/// and every other key is itself.
std::string_view KeyValue(const char& key) {
  switch (key) {
  case keyBusy:
    return "busy";
  case keyFax:
    return "fax";
  case '\'':
    return "\\'";
  case '\\':
    return "\\\\";
  default:
    return {&key, 1};
  }
}

} // namespace

bool CClassicWriter::WriteTransfer(int nIndex, bool bBusyHandler, std::string_view text) {
  std::string strDest = "tel:";
  strDest += text;
  if (!m_output.StartElement("transfer") || !m_output.ConstantAttribute("name", kTransferResult) ||
      !m_output.ValueAttribute("dest", strDest) || !m_output.EndElement())
    return false;
  if (bBusyHandler)
    return m_output.EmptyElement("disconnect");
  const ScenarioEntry* pBusy = m_table.FindKeyHandler(nIndex, keyBusy);
  return !pBusy || WriteKeyCondition(nIndex, true, *pBusy);
}

bool CClassicWriter::WriteKeyCondition(int nIndex, bool bBusyHandler, const ScenarioEntry& row) {
  std::string strCondition = bBusyHandler ? kTransferResult : m_strFieldName;
  strCondition += "=='";
  strCondition += KeyValue(row.key);
  strCondition += '\'';
  return m_output.StartElement("if") && m_output.ValueAttribute("cond", strCondition) &&
         WriteKeyAction(nIndex, bBusyHandler, row.kind, row.text) && m_output.EndElement();
}

bool CClassicWriter::WriteKeyAction(int nIndex, bool bBusyHandler, EntryKind kind,
                                    std::string_view text) {
  switch (kind) {
  case kindMenu: {
    std::string strNext = "#";
    strNext += ScenarioName(text);
    return m_output.StartElement("goto") && m_output.ValueAttribute("next", strNext) &&
           m_output.EndElement();
  }
  case kindDial:
    return WriteTransfer(nIndex, bBusyHandler, text);
  case kindDisconnect:
    return m_output.EmptyElement("disconnect");
  default:
    return false;
  }
}

} // namespace dovetrel
