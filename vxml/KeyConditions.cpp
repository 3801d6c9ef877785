// The conditions of a scenario's key rows and their actions.

#include "vxml/VoiceXmlWriter.h"
#include "vxml/WriterCalls.h"

#include <algorithm>
#include <string>

namespace dovetrel {

namespace {

/// The left operand of the busy handler's condition, the name the transfer carries.
constexpr const char* kTransferResult = "Result";

/// The value a key is compared with: busy and fax have names, every other key is itself.
std::string_view KeyValue(const char& key) {
  if (key == keyBusy)
    return "busy";
  if (key == keyFax)
    return "fax";
  return {&key, 1};
}

bool WriteTransfer(CScenarioConverter& converter, int nIndex, bool bBusyHandler,
                   std::string_view text) {
  using namespace calls;
  std::string strDest = "tel:";
  strDest += text;
  if (!StartElement(converter, "transfer") ||
      !ConstantAttribute(converter, "name", kTransferResult) ||
      !ValueAttribute(converter, "dest", strDest) || !EndElement(converter))
    return false;
  if (bBusyHandler)
    return EmptyElement(converter, "disconnect");
  const ScenarioEntry* pBusy = FindKeyHandler(converter, nIndex, keyBusy);
  return !pBusy || WriteKeyCondition(converter, nIndex, true, *pBusy);
}

} // namespace

bool WriteKeyCondition(CScenarioConverter& converter, int nIndex, bool bBusyHandler,
                       const ScenarioEntry& row) {
  using namespace calls;
  std::string strCondition = bBusyHandler ? kTransferResult : converter.m_strFieldName;
  strCondition += "=='";
  strCondition += KeyValue(row.key);
  strCondition += '\'';
  return StartElement(converter, "if") && ValueAttribute(converter, "cond", strCondition) &&
         WriteKeyAction(converter, nIndex, bBusyHandler, row.kind, row.text) &&
         EndElement(converter);
}

bool WriteKeyAction(CScenarioConverter& converter, int nIndex, bool bBusyHandler, EntryKind kind,
                    std::string_view text) {
  using namespace calls;
  switch (kind) {
  case kindMenu: {
    std::string strNext = "#";
    strNext += ScenarioName(text);
    return StartElement(converter, "goto") && ValueAttribute(converter, "next", strNext) &&
           EndElement(converter);
  }
  case kindDial:
    return WriteTransfer(converter, nIndex, bBusyHandler, text);
  case kindDisconnect:
    return EmptyElement(converter, "disconnect");
  default:
    return false;
  }
}

const ScenarioEntry* FindKeyHandler(const CScenarioConverter& converter, int nStart, char key) {
  for (int i = std::max(nStart, 0); i < converter.m_nCount; ++i) {
    const ScenarioEntry& row = converter.m_pEntries[i];
    if (row.kind == kindScenarioFile)
      return nullptr;
    if (row.key == key)
      return &row;
  }
  return nullptr;
}

} // namespace dovetrel
