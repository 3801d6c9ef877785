#include "vxml/W3cWriter.h"

#include "scenario/Paths.h"
#include "text/Escape.h"
#include "text/Keys.h"

namespace dovetrel {

namespace {

/// The name the field of every menu form takes; fields are scoped to their form.
constexpr const char* kField = "choice";
/// The name the transfer of every dial form takes.
constexpr const char* kTransfer = "outcome";

/// The ASCII letters and digits of \p text, each run of other bytes made one '_' between them: a
/// part of an id that every schema type and every ECMAScript engine takes ("1 главное" gives "1").
std::string AsciiWordOf(std::string_view text) {
  std::string strWord;
  bool bGap = false;
  for (const char c : text) {
    const bool bWord = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!bWord) {
      bGap = !strWord.empty();
      continue;
    }
    if (bGap)
      strWord += '_';
    strWord += c;
    bGap = false;
  }
  return strWord;
}

} // namespace

std::vector<Finding> FindRowsLeftOut(const CallFlow& flow) {
  std::vector<Finding> findings;
  for (const FlowMenu& menu : flow.menus)
    for (const KeyAction& key : menu.keys) {
      if (IsDtmfKey(key.key))
        continue;
      findings.push_back(Finding{
          FindingCode::RowLeftOut, Severity::Warning,
          key.key == keyFax
              ? "строка факса (f) не переносится в стандартный документ: она будет пропущена"
              : "клавиша " + Quoted(std::string_view(&key.key, 1)) +
                    " не переносится в стандартный документ, телефон передаёт только 0–9, * и "
                    "#: строка будет пропущена",
          key.action.source.strFile, key.action.source.nLine});
    }
  return findings;
}

std::string CW3cWriter::FormId(int nMenu) const {
  const std::string strWord = AsciiWordOf(ScenarioName(m_flow.menus[nMenu].strName));
  // Built piece by piece: GCC 12's Release build warns falsely of "m" + ... (-Wrestrict).
  std::string strId = "m";
  strId += std::to_string(nMenu + 1);
  if (!strWord.empty()) {
    strId += '_';
    strId += strWord;
  }
  return strId;
}

std::string CW3cWriter::DialFormId(const FlowStep& dial, int nMenu) const {
  return FormId(nMenu) + "_dial" + std::to_string(dial.source.nLine);
}

bool CW3cWriter::WriteDocumentStart() {
  return m_output.StartElement("vxml") && m_output.ConstantAttribute("version", "2.1") &&
         m_output.ConstantAttribute("xmlns", "http://www.w3.org/2001/vxml");
}

bool CW3cWriter::WriteMenus() {
  for (int i = 0; i < static_cast<int>(m_flow.menus.size()); ++i)
    if (!WriteMenu(i) || !WriteDialForms(i))
      return false;
  return true;
}

bool CW3cWriter::WriteDocumentEnd() {
  return m_output.Finish();
}

bool CW3cWriter::WriteMenu(int nMenu) {
  const FlowMenu& menu = m_flow.menus[nMenu];
  m_place = SourcePlace{menu.strPath, 1};
  return m_output.StartElement("form") && m_output.ConstantAttribute("id", FormId(nMenu).c_str()) &&
         m_output.StartElement("property") && m_output.ConstantAttribute("name", "timeout") &&
         m_output.ValueAttribute("value", menu.strTimeout) && m_output.EndElement() &&
         m_output.StartElement("field") && m_output.ConstantAttribute("name", kField) &&
         m_output.StartElement("prompt") && m_output.StartElement("audio") &&
         m_output.UriAttribute("src", menu.strGreeting) && m_output.EndElement() &&
         m_output.EndElement() && WriteGrammar(nMenu) &&
         WriteHandler("noinput", menu.noInput ? &*menu.noInput : nullptr, nMenu) &&
         WriteHandler("nomatch", nullptr, nMenu) && WriteKeyConditions(nMenu) &&
         m_output.EndElement() && m_output.EndElement();
}

bool CW3cWriter::WriteGrammar(int nMenu) {
  const std::string strRule = FormId(nMenu) + "_keys";
  if (!m_output.StartElement("grammar") || !m_output.ConstantAttribute("mode", "dtmf") ||
      !m_output.ConstantAttribute("version", "1.0") ||
      !m_output.ConstantAttribute("root", strRule.c_str()) || !m_output.StartElement("rule") ||
      !m_output.ConstantAttribute("id", strRule.c_str()) ||
      !m_output.ConstantAttribute("scope", "public"))
    return false;
  bool bAny = false;
  for (const KeyAction& key : m_flow.menus[nMenu].keys) {
    if (!IsDtmfKey(key.key))
      continue;
    if (!bAny && !m_output.StartElement("one-of"))
      return false;
    bAny = true;
    const char szKey[] = {key.key, '\0'};
    m_place = key.action.source;
    if (!m_output.StartElement("item") || !m_output.Text(szKey) || !m_output.EndElement())
      return false;
  }
  // A menu without a key that acts matches nothing: every key ends the call.
  if (!bAny)
    return m_output.StartElement("ruleref") && m_output.ConstantAttribute("special", "VOID") &&
           m_output.EndElement() && m_output.EndElement() && m_output.EndElement();
  return m_output.EndElement() && m_output.EndElement() && m_output.EndElement();
}

bool CW3cWriter::WriteHandler(const char* szEvent, const FlowAction* pAction, int nMenu) {
  if (pAction)
    m_place = pAction->source;
  const FlowStep hangup;
  return m_output.StartElement(szEvent) && WriteStep(pAction ? *pAction : hangup, nMenu) &&
         m_output.EndElement();
}

bool CW3cWriter::WriteKeyConditions(int nMenu) {
  bool bFirst = true;
  for (const KeyAction& key : m_flow.menus[nMenu].keys) {
    if (!IsDtmfKey(key.key))
      continue;
    m_place = key.action.source;
    const std::string strCondition = std::string(kField) + " == '" + key.key + "'";
    const bool bOpened = bFirst ? m_output.StartElement("filled") && m_output.StartElement("if")
                                : m_output.StartElement("elseif");
    if (!bOpened || !m_output.ConstantAttribute("cond", strCondition.c_str()) ||
        (!bFirst && !m_output.EndElement()) || !WriteStep(key.action, nMenu))
      return false;
    bFirst = false;
  }
  if (bFirst)
    return true;
  return m_output.EmptyElement("else") && WriteStep(FlowStep{}, nMenu) && m_output.EndElement() &&
         m_output.EndElement();
}

bool CW3cWriter::WriteStep(const FlowStep& step, int nMenu) {
  switch (step.kind) {
  case ActionKind::Menu:
    if (step.nTargetMenu < 0)
      break;
    return Goto(FormId(step.nTargetMenu));
  case ActionKind::Dial:
    return Goto(DialFormId(step, nMenu));
  case ActionKind::Hangup:
    break;
  }
  return m_output.EmptyElement("disconnect");
}

bool CW3cWriter::Goto(const std::string& strId) {
  const std::string strNext = "#" + strId;
  return m_output.StartElement("goto") && m_output.ConstantAttribute("next", strNext.c_str()) &&
         m_output.EndElement();
}

bool CW3cWriter::WriteDialForms(int nMenu) {
  const FlowMenu& menu = m_flow.menus[nMenu];
  const auto WriteDials = [&](const FlowAction& action) {
    if (action.kind != ActionKind::Dial)
      return true;
    const FlowStep* pBusy = action.busy ? &*action.busy : nullptr;
    return WriteDialForm(action, pBusy, nMenu) &&
           (!pBusy || pBusy->kind != ActionKind::Dial || WriteDialForm(*pBusy, nullptr, nMenu));
  };
  for (const KeyAction& key : menu.keys)
    if (IsDtmfKey(key.key) && !WriteDials(key.action))
      return false;
  return !menu.noInput || WriteDials(*menu.noInput);
}

bool CW3cWriter::WriteDialForm(const FlowStep& dial, const FlowStep* pBusy, int nMenu) {
  const std::string strId = DialFormId(dial, nMenu);
  if (!m_dialForms.insert(strId).second)
    return true;
  m_place = dial.source;
  const std::string strBusy = std::string(kTransfer) + " == 'busy'";
  if (!m_output.StartElement("form") || !m_output.ConstantAttribute("id", strId.c_str()) ||
      !m_output.StartElement("transfer") || !m_output.ConstantAttribute("name", kTransfer) ||
      !m_output.UriAttribute("dest", "tel:" + dial.strArgument) ||
      !m_output.ConstantAttribute("bridge", "true") || !m_output.StartElement("filled"))
    return false;
  // Busy: the dial's busy row, if it has one; every other outcome ends the call.
  if (pBusy &&
      !(m_output.StartElement("if") && m_output.ConstantAttribute("cond", strBusy.c_str()) &&
        WriteStep(*pBusy, nMenu) && m_output.EmptyElement("else")))
    return false;
  return m_output.EmptyElement("disconnect") && (!pBusy || m_output.EndElement()) &&
         m_output.EndElement() && m_output.EndElement() && m_output.EndElement();
}

} // namespace dovetrel
