#include "vxml/ClassicWriter.h"

#include "scenario/Paths.h"

#include <algorithm>

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

/// The condition that \p left, a field or the transfer, holds \p key.
std::string KeyCondition(std::string_view left, const char& key) {
  return std::string(left).append("=='").append(KeyValue(key)).append("'");
}

std::string GotoTarget(std::string_view menu) {
  return std::string("#").append(ScenarioName(menu));
}

std::string TransferDest(std::string_view number) {
  return std::string("tel:").append(number);
}

/// The no-input row of \p menu when its action word is unknown: the field's handler cannot be
/// written then.
const InertRow* FindUnknownNoInput(const FlowMenu& menu) {
  const auto found = std::find_if(menu.inert.begin(), menu.inert.end(), [](const InertRow& row) {
    return row.key == keyNoInput && row.reason == InertReason::UnknownKeyword;
  });
  return found == menu.inert.end() ? nullptr : &*found;
}

/// The row blamed for the input field of \p menu: its no-input row, known or not, when the field's
/// name could be written (\p bNameCarried), for the handler failed then; otherwise the field row.
SourcePlace FieldPlace(const FlowMenu& menu, bool bNameCarried) {
  const InertRow* pUnknown = FindUnknownNoInput(menu);
  if (bNameCarried && (menu.noInput || pUnknown))
    return menu.noInput ? menu.noInput->source : pUnknown->source;
  return SourcePlace{menu.strPath, menu.headLines[3]};
}

/// True when \p codec carries every value the action of \p step writes; see WriteAction.
bool CarriesAction(const FlowStep& step, const FlowAction* pDial, CTextCodec& codec,
                   std::string& strOut) {
  switch (step.kind) {
  case ActionKind::Menu:
    return codec.ToXmlUtf8(GotoTarget(step.strArgument), strOut);
  case ActionKind::Hangup:
    return true;
  case ActionKind::Dial:
    break;
  }
  return codec.ToXmlUtf8(TransferDest(step.strArgument), strOut) &&
         (!pDial || (!pDial->bBusyUnknown &&
                     (!pDial->busy || CarriesAction(*pDial->busy, nullptr, codec, strOut))));
}

} // namespace

std::optional<SourcePlace> FindUnwritableRow(const CallFlow& flow, CTextCodec& codec) {
  if (flow.misshapen)
    return flow.misshapen;
  std::string strOut;
  const auto Carries = [&](std::string_view value) { return codec.ToXmlUtf8(value, strOut); };
  for (const FlowMenu& menu : flow.menus) {
    const auto Head = [&](std::size_t nRow) {
      return SourcePlace{menu.strPath, menu.headLines[nRow]};
    };
    if (!Carries(ScenarioName(menu.strName)))
      return Head(0);
    if (!Carries(menu.strTimeout))
      return Head(1);
    if (!Carries(menu.strGreeting))
      return Head(2);
    const bool bField = Carries(menu.strField);
    const bool bNoInput = menu.noInput ? CarriesAction(*menu.noInput, &*menu.noInput, codec, strOut)
                                       : !FindUnknownNoInput(menu);
    if (!bField || !bNoInput)
      return FieldPlace(menu, bField);
    for (const KeyAction& key : menu.keyRows)
      if (!Carries(KeyCondition(menu.strField, key.key)) ||
          !CarriesAction(key.action, &key.action, codec, strOut))
        return key.action.source;
  }
  return std::nullopt;
}

bool CClassicWriter::WriteDocumentStart() {
  return m_output.StartElement("vxml");
}

bool CClassicWriter::WriteMenus() {
  if (m_flow.misshapen) {
    m_place = *m_flow.misshapen;
    return false;
  }
  for (std::size_t i = 0; i < m_flow.menus.size(); ++i)
    if (!WriteMenu(m_flow.menus[i], i == 0))
      return false;
  return true;
}

bool CClassicWriter::WriteDocumentEnd() {
  return m_output.EndElement() && m_output.StartElement("disconnect") && m_output.Finish();
}

bool CClassicWriter::WriteMenu(const FlowMenu& menu, bool bFirst) {
  const auto At = [&](std::size_t nRow) {
    m_place = SourcePlace{menu.strPath, menu.headLines[nRow]};
    return true;
  };
  // A form closes the previous one: its filled element, its block and itself.
  const bool bFormOpened =
      At(0) &&
      (bFirst || (m_output.EndElement() && m_output.EmptyElement("disconnect") &&
                  m_output.EndElement() && m_output.EndElement())) &&
      m_output.StartElement("form") && m_output.ValueAttribute("id", ScenarioName(menu.strName)) &&
      m_output.StartElement("block");
  const bool bHeadWritten =
      bFormOpened && At(1) && m_output.StartElement("property") &&
      m_output.ConstantAttribute("name", "timeout") &&
      m_output.ValueAttribute("value", menu.strTimeout) && m_output.EndElement() && At(2) &&
      m_output.StartElement("audio") && m_output.ValueAttribute("src", menu.strGreeting) &&
      m_output.EndElement() && WriteField(menu) && At(4) && m_output.StartElement("filled") &&
      m_output.ValueAttribute("name", menu.strField);
  if (!bHeadWritten)
    return false;
  return std::all_of(menu.keyRows.begin(), menu.keyRows.end(),
                     [&](const KeyAction& key) { return WriteKeyCondition(menu.strField, key); });
}

bool CClassicWriter::WriteField(const FlowMenu& menu) {
  m_place = FieldPlace(menu, m_output.CanCarry(menu.strField));
  if (!m_output.StartElement("field") || !m_output.ValueAttribute("name", menu.strField))
    return false;
  if (FindUnknownNoInput(menu))
    return false;
  if (menu.noInput && !(m_output.StartElement("noinput") &&
                        WriteAction(*menu.noInput, &*menu.noInput) && m_output.EndElement()))
    return false;
  return m_output.EndElement();
}

bool CClassicWriter::WriteKeyCondition(const std::string& strField, const KeyAction& key) {
  m_place = key.action.source;
  return m_output.StartElement("if") &&
         m_output.ValueAttribute("cond", KeyCondition(strField, key.key)) &&
         WriteAction(key.action, &key.action) && m_output.EndElement();
}

bool CClassicWriter::WriteAction(const FlowStep& step, const FlowAction* pDial) {
  switch (step.kind) {
  case ActionKind::Menu:
    return m_output.StartElement("goto") &&
           m_output.ValueAttribute("next", GotoTarget(step.strArgument)) && m_output.EndElement();
  case ActionKind::Hangup:
    return m_output.EmptyElement("disconnect");
  case ActionKind::Dial:
    break;
  }
  if (!m_output.StartElement("transfer") || !m_output.ConstantAttribute("name", kTransferResult) ||
      !m_output.ValueAttribute("dest", TransferDest(step.strArgument)) || !m_output.EndElement())
    return false;
  // A busy row's own dial ends the call on any outcome.
  if (!pDial)
    return m_output.EmptyElement("disconnect");
  if (pDial->bBusyUnknown)
    return false;
  return !pDial->busy || (m_output.StartElement("if") &&
                          m_output.ValueAttribute("cond", KeyCondition(kTransferResult, keyBusy)) &&
                          WriteAction(*pDial->busy, nullptr) && m_output.EndElement());
}

} // namespace dovetrel
