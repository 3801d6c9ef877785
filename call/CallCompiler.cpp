// Compiles a VoiceXML document as Dovetrel writes it into the instructions a call runs.

#include "call/CallProgram.h"

#include "call/Transcript.h"
#include "text/Keys.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <initializer_list>
#include <map>

namespace dovetrel {

namespace {

constexpr std::string_view kVxmlNamespace = "http://www.w3.org/2001/vxml";

/// True when \p pNode is in the VoiceXML namespace; a namespace without a name is none.
bool InVxmlNamespace(const xmlNode* pNode) {
  return pNode->ns && pNode->ns->href &&
         reinterpret_cast<const char*>(pNode->ns->href) == kVxmlNamespace;
}
constexpr std::string_view kTel = "tel:";

std::string_view NameOf(const xmlNode* pNode) {
  return reinterpret_cast<const char*>(pNode->name);
}

std::string Tag(const xmlNode* pNode) {
  return "<" + std::string(NameOf(pNode)) + ">";
}

int LineOf(const xmlNode* pNode) {
  return static_cast<int>(xmlGetLineNo(pNode));
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t nStart = text.find_first_not_of(" \t\r\n");
  if (nStart == std::string_view::npos)
    return {};
  return text.substr(nStart, text.find_last_not_of(" \t\r\n") - nStart + 1);
}

bool IsNameByte(char c, bool bFirst) {
  const auto u = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || u >= 0x80 ||
         (!bFirst && c >= '0' && c <= '9');
}

/// A condition as Dovetrel writes it: NAME == 'LITERAL', spaces allowed around the operator, the
/// literal taking the escapes \\ and \' only. The name is an identifier of ASCII letters, digits,
/// '_' and '$' or of any character above ASCII, not starting with a digit.
bool ParseComparison(std::string_view text, std::string& strName, std::string& strLiteral) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string_view::npos || !IsNameByte(text[i], true))
    return false;
  const std::size_t nNameStart = i;
  while (i < text.size() && IsNameByte(text[i], false))
    ++i;
  strName = text.substr(nNameStart, i - nNameStart);
  i = std::min(text.find_first_not_of(' ', i), text.size());
  if (text.substr(i, 2) != "==")
    return false;
  i = std::min(text.find_first_not_of(' ', i + 2), text.size());
  if (i == text.size() || text[i] != '\'')
    return false;
  strLiteral.clear();
  for (++i; i < text.size() && text[i] != '\''; ++i) {
    if (text[i] == '\\') {
      if (i + 1 == text.size() || (text[i + 1] != '\\' && text[i + 1] != '\''))
        return false;
      ++i;
    }
    strLiteral += text[i];
  }
  if (i == text.size())
    return false;
  return text.find_first_not_of(' ', i + 1) == std::string_view::npos;
}

} // namespace

/// Compiles one document; made for one Compile call.
class CCallCompiler {
public:
  CCallCompiler(CCallProgram& program, Dialect dialect, const std::vector<std::string>& menus,
                CallFault& fault)
      : m_program(program), m_bClassic(dialect == Dialect::Classic), m_menus(menus),
        m_fault(fault) {}

  bool CompileDocument(xmlNode* pRoot);

private:
  /// A condition whose name is looked up once its form is compiled.
  struct PendingName {
    int nCondition;
    std::string strName;
    const xmlNode* pIf;
  };
  /// A goto whose form is looked up once every form is compiled.
  struct PendingGoto {
    int nInstruction;
    std::string strId;
    const xmlNode* pGoto;
  };

  bool Fail(const xmlNode* pNode, std::string strText) {
    return Fail(pNode, FindingCode::CallBadStructure, std::move(strText));
  }
  bool Fail(const xmlNode* pNode, FindingCode code, std::string strText);
  bool Unexpected(const xmlNode* pChild, const xmlNode* pParent);
  bool Elements(const xmlNode* pNode, std::vector<xmlNode*>& children);
  bool Attributes(const xmlNode* pNode, std::initializer_list<std::string_view> required,
                  std::initializer_list<std::string_view> optional = {});
  bool FixedAttribute(const xmlNode* pNode, const char* szName, std::string_view value);
  static std::string Attribute(const xmlNode* pNode, const char* szName);
  /// A URI attribute as the resource it names, percent-decoded: both documents' src and dest are
  /// URIs to a voice browser.
  static std::string UriAttribute(const xmlNode* pNode, const char* szName);
  bool NoContent(const xmlNode* pNode);
  int Emit(CallOp op, const xmlNode* pNode, int nIndex = -1, std::string strText = {});
  int Here() const { return static_cast<int>(m_program.m_vecCode.size()); }
  void PatchTo(const std::vector<int>& jumps, int nTarget);
  int Variable(const std::string& strName);

  bool CompileForm(xmlNode* pForm);
  bool FinishForm(xmlNode* pForm);
  bool CompileBlock(xmlNode* pBlock);
  bool CompileProperty(const xmlNode* pProperty);
  bool CompileAudio(const xmlNode* pAudio);
  bool CompileClassicField(xmlNode* pField);
  bool CompileClassicFilled(xmlNode* pFilled);
  bool CompileW3cField(xmlNode* pField);
  bool CompileW3cTransfer(xmlNode* pTransfer);
  bool CompileGrammar(xmlNode* pGrammar, std::vector<std::string>& keys);
  bool CompileHandler(xmlNode* pHandler, const xmlNode* pField, const char* szName);
  bool CompileStatements(xmlNode* pParent);
  bool CompileStatement(xmlNode* pNode, const xmlNode* pParent);
  bool CompileIf(xmlNode* pIf, std::vector<int>& doneJumps);
  bool CompileCondition(const xmlNode* pNode, int& nCondition);
  bool CompileTransfer(const xmlNode* pTransfer, std::initializer_list<std::string_view> optional);
  bool ResolveGotos();

  CCallProgram& m_program;
  const bool m_bClassic;
  const std::vector<std::string>& m_menus;
  CallFault& m_fault;
  std::map<std::string, int> m_formVariables; ///< the variables of the form being compiled
  std::vector<PendingName> m_vecNames;
  std::vector<PendingGoto> m_vecGotos;
  bool m_bFormHasField = false;
};

bool CCallCompiler::Fail(const xmlNode* pNode, FindingCode code, std::string strText) {
  if (!m_fault.strText.empty())
    return false;
  m_fault = CallFault{code, std::move(strText), pNode ? LineOf(pNode) : 0};
  // Where the element stands: its form, and the condition it is or stands in, which name the row
  // that made it.
  for (const xmlNode* pUp = pNode; pUp && pUp->type == XML_ELEMENT_NODE; pUp = pUp->parent) {
    if (m_fault.strCondition.empty() && NameOf(pUp) == "if")
      m_fault.strCondition = Attribute(pUp, "cond");
    if (NameOf(pUp) == "form") {
      m_fault.strForm = Attribute(pUp, "id");
      break;
    }
  }
  return false;
}

bool CCallCompiler::Unexpected(const xmlNode* pChild, const xmlNode* pParent) {
  return Fail(pChild, "элемент " + Tag(pChild) + " в " + Tag(pParent) + " симулятор не выполняет");
}

/// The element children of \p pNode; blank text and comments between them are passed over, any
/// other content is a fault. Every element must be in the dialect's namespace.
bool CCallCompiler::Elements(const xmlNode* pNode, std::vector<xmlNode*>& children) {
  children.clear();
  for (xmlNode* pChild = pNode->children; pChild; pChild = pChild->next) {
    if (pChild->type == XML_COMMENT_NODE)
      continue;
    if (pChild->type == XML_TEXT_NODE || pChild->type == XML_CDATA_SECTION_NODE) {
      const auto* szText = reinterpret_cast<const char*>(pChild->content);
      if (szText && !IsBlank(szText))
        return Fail(pChild, "текст «" + EscapeTranscriptText(Trimmed(szText)) + "» в " +
                                Tag(pNode) + " симулятор не выполняет");
      continue;
    }
    if (pChild->type != XML_ELEMENT_NODE)
      return Fail(pChild, "содержимое " + Tag(pNode) + " симулятор не выполняет");
    const bool bVxml = InVxmlNamespace(pChild);
    if (m_bClassic && pChild->ns)
      return Fail(pChild, "элемент " + Tag(pChild) +
                              " в пространстве имён: в классическом документе их нет");
    if (!m_bClassic && !bVxml)
      return Fail(pChild, "элемент " + Tag(pChild) + " не в пространстве имён VoiceXML (" +
                              std::string(kVxmlNamespace) + ")");
    children.push_back(pChild);
  }
  return true;
}

bool CCallCompiler::Attributes(const xmlNode* pNode,
                               std::initializer_list<std::string_view> required,
                               std::initializer_list<std::string_view> optional) {
  for (const xmlAttr* pAttr = pNode->properties; pAttr; pAttr = pAttr->next) {
    const std::string_view name = reinterpret_cast<const char*>(pAttr->name);
    if (std::find(required.begin(), required.end(), name) == required.end() &&
        std::find(optional.begin(), optional.end(), name) == optional.end())
      return Fail(pNode, "атрибут «" + std::string(name) + "» элемента " + Tag(pNode) +
                             " симулятору неизвестен");
  }
  for (const std::string_view name : required)
    if (!xmlHasProp(pNode, reinterpret_cast<const xmlChar*>(std::string(name).c_str())))
      return Fail(pNode, "у элемента " + Tag(pNode) + " нет атрибута «" + std::string(name) + "»");
  return true;
}

bool CCallCompiler::FixedAttribute(const xmlNode* pNode, const char* szName,
                                   std::string_view value) {
  const std::string strValue = Attribute(pNode, szName);
  if (strValue == value)
    return true;
  return Fail(pNode, FindingCode::CallBadValue,
              "у элемента " + Tag(pNode) + " " + szName + "=«" + EscapeTranscriptText(strValue) +
                  "»: симулятор знает только «" + std::string(value) + "»");
}

std::string CCallCompiler::Attribute(const xmlNode* pNode, const char* szName) {
  xmlChar* pValue = xmlGetProp(pNode, reinterpret_cast<const xmlChar*>(szName));
  std::string strValue = pValue ? reinterpret_cast<const char*>(pValue) : "";
  xmlFree(pValue);
  return strValue;
}

std::string CCallCompiler::UriAttribute(const xmlNode* pNode, const char* szName) {
  return PercentDecoded(Attribute(pNode, szName));
}

bool CCallCompiler::NoContent(const xmlNode* pNode) {
  std::vector<xmlNode*> children;
  if (!Elements(pNode, children))
    return false;
  return children.empty() || Unexpected(children.front(), pNode);
}

int CCallCompiler::Emit(CallOp op, const xmlNode* pNode, int nIndex, std::string strText) {
  m_program.m_vecCode.push_back(CallInstruction{op, LineOf(pNode), nIndex, -1, std::move(strText)});
  return Here() - 1;
}

void CCallCompiler::PatchTo(const std::vector<int>& jumps, int nTarget) {
  for (const int nJump : jumps)
    m_program.m_vecCode[static_cast<std::size_t>(nJump)].nTarget = nTarget;
}

int CCallCompiler::Variable(const std::string& strName) {
  const auto [it, bNew] = m_formVariables.emplace(strName, m_program.m_nVariables);
  if (bNew) {
    ++m_program.m_nVariables;
    ++m_program.m_vecForms.back().nVariables;
  }
  return it->second;
}

bool CCallCompiler::CompileDocument(xmlNode* pRoot) {
  if (!pRoot || NameOf(pRoot) != "vxml")
    return Fail(pRoot, pRoot ? "корень документа " + Tag(pRoot) + ", а не <vxml>"
                             : "в документе нет корня <vxml>");
  const bool bVxml = InVxmlNamespace(pRoot);
  if (m_bClassic
          ? pRoot->ns != nullptr || !Attributes(pRoot, {})
          : !bVxml || !Attributes(pRoot, {"version"}) || !FixedAttribute(pRoot, "version", "2.1"))
    return Fail(pRoot, m_bClassic ? "корень классического документа — <vxml> без атрибутов и "
                                    "пространства имён"
                                  : "корень стандартного документа — <vxml version=\"2.1\"> в "
                                    "пространстве имён " +
                                        std::string(kVxmlNamespace));
  std::vector<xmlNode*> forms;
  if (!Elements(pRoot, forms))
    return false;
  for (xmlNode* pForm : forms)
    if (NameOf(pForm) != "form" ? !Unexpected(pForm, pRoot) : !CompileForm(pForm))
      return false;
  if (m_program.m_vecForms.empty())
    return Fail(pRoot, "в документе нет ни одной формы <form>");
  std::size_t nMenu = 0;
  for (CallForm& form : m_program.m_vecForms)
    if (form.bMenu && nMenu < m_menus.size())
      form.strMenu = m_menus[nMenu++];
    else if (form.bMenu)
      ++nMenu;
  if (nMenu != m_menus.size())
    return Fail(pRoot, "в документе " + std::to_string(nMenu) +
                           " форм с полем ввода (меню), а в "
                           "сценарии " +
                           std::to_string(m_menus.size()) + " файлов");
  return ResolveGotos();
}

bool CCallCompiler::CompileForm(xmlNode* pForm) {
  if (!Attributes(pForm, {"id"}))
    return false;
  const std::string strId = Attribute(pForm, "id");
  if (!m_bClassic)
    for (const CallForm& form : m_program.m_vecForms)
      if (form.strId == strId)
        return Fail(pForm, "форма с id «" + EscapeTranscriptText(strId) +
                               "» уже есть в документе: в стандартном документе id не повторяются");
  m_program.m_vecForms.push_back(CallForm{strId, Here(), m_program.m_nVariables, 0, {}, false});
  m_formVariables.clear();
  m_vecNames.clear();
  m_bFormHasField = false;
  Emit(CallOp::EnterForm, pForm, static_cast<int>(m_program.m_vecForms.size()) - 1);
  std::vector<xmlNode*> children;
  if (!Elements(pForm, children))
    return false;
  if (m_bClassic) {
    for (xmlNode* pChild : children)
      if (NameOf(pChild) != "block" ? !Unexpected(pChild, pForm) : !CompileBlock(pChild))
        return false;
    return FinishForm(pForm);
  }
  // The form's properties hold for all of it, wherever they stand.
  xmlNode* pItem = nullptr;
  for (xmlNode* pChild : children) {
    if (NameOf(pChild) == "property") {
      if (!CompileProperty(pChild))
        return false;
    } else if (NameOf(pChild) != "field" && NameOf(pChild) != "transfer") {
      return Unexpected(pChild, pForm);
    } else if (pItem) {
      return Fail(pChild, "в форме «" + EscapeTranscriptText(strId) +
                              "» второе поле или перевод: симулятор выполняет формы, в которых "
                              "ровно один, как их пишет Dovetrel");
    } else {
      pItem = pChild;
    }
  }
  if (!pItem)
    return Fail(pForm, "в форме «" + EscapeTranscriptText(strId) + "» нет ни поля, ни перевода");
  const bool bCompiled =
      NameOf(pItem) == "field" ? CompileW3cField(pItem) : CompileW3cTransfer(pItem);
  return bCompiled && FinishForm(pForm);
}

/// Ends the form: falling off its end is left to a browser; the names its conditions compare are
/// looked up among its variables.
bool CCallCompiler::FinishForm(xmlNode* pForm) {
  Emit(CallOp::Stranded, pForm, -1,
       "форма «" + EscapeTranscriptText(m_program.m_vecForms.back().strId) +
           "» кончилась без перехода и без <disconnect>: что дальше, решил бы браузер");
  m_program.m_vecForms.back().bMenu = m_bFormHasField;
  for (const PendingName& pending : m_vecNames) {
    const auto it = m_formVariables.find(pending.strName);
    if (it == m_formVariables.end())
      return Fail(pending.pIf, FindingCode::CallBrokenReference,
                  "условие «" + EscapeTranscriptText(Attribute(pending.pIf, "cond")) +
                      "» элемента " + Tag(pending.pIf) + " сравнивает «" +
                      EscapeTranscriptText(pending.strName) +
                      "», но в форме нет поля или перевода с таким именем");
    m_program.m_vecConditions[static_cast<std::size_t>(pending.nCondition)].nVariable = it->second;
  }
  return true;
}

bool CCallCompiler::CompileBlock(xmlNode* pBlock) {
  std::vector<xmlNode*> children;
  if (!Attributes(pBlock, {}) || !Elements(pBlock, children))
    return false;
  for (xmlNode* pChild : children) {
    const std::string_view name = NameOf(pChild);
    const bool bCompiled = name == "property" ? CompileProperty(pChild)
                           : name == "audio"  ? CompileAudio(pChild)
                           : name == "field"  ? CompileClassicField(pChild)
                           : name == "filled" ? CompileClassicFilled(pChild)
                                              : CompileStatement(pChild, pBlock);
    if (!bCompiled)
      return false;
  }
  return true;
}

bool CCallCompiler::CompileProperty(const xmlNode* pProperty) {
  if (!Attributes(pProperty, {"name", "value"}) || !FixedAttribute(pProperty, "name", "timeout") ||
      !NoContent(pProperty))
    return false;
  Emit(CallOp::SetTimeout, pProperty, -1, EscapeTranscriptText(Attribute(pProperty, "value")));
  return true;
}

bool CCallCompiler::CompileAudio(const xmlNode* pAudio) {
  if (!Attributes(pAudio, {"src"}) || !NoContent(pAudio))
    return false;
  Emit(CallOp::Play, pAudio, -1, EscapeTranscriptText(UriAttribute(pAudio, "src")));
  return true;
}

/// The classic field: every key fills it, a fax as "fax"; the no-input handler, if any, runs on
/// silence. Either way the block goes on after the field, into the conditions that follow it.
bool CCallCompiler::CompileClassicField(xmlNode* pField) {
  std::vector<xmlNode*> children;
  if (!Attributes(pField, {"name"}) || !Elements(pField, children))
    return false;
  m_bFormHasField = true;
  CallListener listener;
  listener.nVariable = Variable(Attribute(pField, "name"));
  const int nListener = static_cast<int>(m_program.m_vecListeners.size());
  Emit(CallOp::Listen, pField, nListener);
  m_program.m_vecListeners.push_back(listener);
  xmlNode* pNoInput = nullptr;
  for (xmlNode* pChild : children) {
    if (NameOf(pChild) != "noinput")
      return Unexpected(pChild, pField);
    if (pNoInput)
      return Fail(pChild, "второй <noinput> в поле");
    pNoInput = pChild;
  }
  std::vector<int> toEnd;
  int nNoInput = -1;
  if (pNoInput) {
    toEnd.push_back(Emit(CallOp::Jump, pField));
    nNoInput = Here();
    if (!Attributes(pNoInput, {}) || !CompileStatements(pNoInput))
      return false;
    toEnd.push_back(Emit(CallOp::Jump, pNoInput));
  }
  PatchTo(toEnd, Here());
  CallListener& compiled = m_program.m_vecListeners[static_cast<std::size_t>(nListener)];
  compiled.nOnValue = Here();
  compiled.nOnNoInput = nNoInput >= 0 ? nNoInput : Here();
  return true;
}

/// The classic conditions of a field: of its `if` elements only the first whose condition holds
/// acts; then the block goes on after them.
bool CCallCompiler::CompileClassicFilled(xmlNode* pFilled) {
  std::vector<xmlNode*> children;
  if (!Attributes(pFilled, {"name"}) || !Elements(pFilled, children))
    return false;
  if (m_formVariables.find(Attribute(pFilled, "name")) == m_formVariables.end())
    return Fail(pFilled, FindingCode::CallBrokenReference,
                "<filled name=«" + EscapeTranscriptText(Attribute(pFilled, "name")) +
                    "»> называет поле, которого в форме нет");
  std::vector<int> done;
  for (xmlNode* pChild : children)
    if (NameOf(pChild) != "if" ? !Unexpected(pChild, pFilled) : !CompileIf(pChild, done))
      return false;
  PatchTo(done, Here());
  return true;
}

/// The standard field: its prompts play, then it waits; each event goes to its handler, and a
/// handler that ends without a transition leaves the call to a browser's defaults.
bool CCallCompiler::CompileW3cField(xmlNode* pField) {
  std::vector<xmlNode*> children;
  if (!Attributes(pField, {"name"}) || !Elements(pField, children))
    return false;
  m_bFormHasField = true;
  CallListener listener;
  listener.bGrammar = true;
  listener.nVariable = Variable(Attribute(pField, "name"));
  std::map<std::string_view, xmlNode*> parts; // grammar, noinput, nomatch, filled
  for (xmlNode* pChild : children) {
    const std::string_view name = NameOf(pChild);
    if (name == "prompt") {
      std::vector<xmlNode*> audios;
      if (!Attributes(pChild, {}) || !Elements(pChild, audios))
        return false;
      for (xmlNode* pAudio : audios)
        if (NameOf(pAudio) != "audio" ? !Unexpected(pAudio, pChild) : !CompileAudio(pAudio))
          return false;
    } else if (name != "grammar" && name != "noinput" && name != "nomatch" && name != "filled") {
      return Unexpected(pChild, pField);
    } else if (!parts.emplace(name, pChild).second) {
      return Fail(pChild, "второй " + Tag(pChild) + " в поле");
    }
  }
  if (!parts.count("grammar"))
    return Fail(pField, "у поля нет <grammar>: какие клавиши оно примет, неизвестно");
  if (!CompileGrammar(parts["grammar"], listener.keys))
    return false;
  const int nListener = static_cast<int>(m_program.m_vecListeners.size());
  Emit(CallOp::Listen, pField, nListener);
  m_program.m_vecListeners.push_back(listener);
  const int nNoInput = Here();
  if (!CompileHandler(parts["noinput"], pField, "noinput"))
    return false;
  const int nNoMatch = Here();
  if (!CompileHandler(parts["nomatch"], pField, "nomatch"))
    return false;
  const int nOnValue = Here();
  if (!CompileHandler(parts["filled"], pField, "filled"))
    return false;
  CallListener& compiled = m_program.m_vecListeners[static_cast<std::size_t>(nListener)];
  compiled.nOnNoInput = nNoInput;
  compiled.nOnNoMatch = nNoMatch;
  compiled.nOnValue = nOnValue;
  return true;
}

/// A handler of a standard field or transfer; a missing one, or its end, is stranded.
bool CCallCompiler::CompileHandler(xmlNode* pHandler, const xmlNode* pField, const char* szName) {
  if (!pHandler) {
    Emit(CallOp::Stranded, pField, -1,
         "у " + Tag(pField) + " нет <" + szName + ">: что тогда делать, решил бы браузер");
    return true;
  }
  if (!Attributes(pHandler, {}) || !CompileStatements(pHandler))
    return false;
  Emit(CallOp::Stranded, pHandler, -1,
       "<" + std::string(szName) +
           "> кончился без перехода и без <disconnect>: что дальше, "
           "решил бы браузер");
  return true;
}

/// The inline DTMF grammar of a standard field: one rule, the root, holding a one-of of single
/// keys, or the special rule VOID that matches nothing.
bool CCallCompiler::CompileGrammar(xmlNode* pGrammar, std::vector<std::string>& keys) {
  std::vector<xmlNode*> rules;
  if (!Attributes(pGrammar, {"mode", "version", "root"}) ||
      !FixedAttribute(pGrammar, "mode", "dtmf") || !FixedAttribute(pGrammar, "version", "1.0") ||
      !Elements(pGrammar, rules))
    return false;
  if (rules.size() != 1 || NameOf(rules.front()) != "rule")
    return rules.empty() ? Fail(pGrammar, "в <grammar> нет правила <rule>")
                         : Unexpected(rules.back(), pGrammar);
  xmlNode* pRule = rules.front();
  std::vector<xmlNode*> body;
  if (!Attributes(pRule, {"id"}, {"scope"}) || !Elements(pRule, body))
    return false;
  if (Attribute(pRule, "id") != Attribute(pGrammar, "root"))
    return Fail(pGrammar, FindingCode::CallBadValue,
                "root=«" + EscapeTranscriptText(Attribute(pGrammar, "root")) +
                    "» элемента <grammar> не называет его правило");
  if (body.size() != 1)
    return body.empty() ? Fail(pRule, "правило <rule> пусто") : Unexpected(body.back(), pRule);
  if (NameOf(body.front()) == "ruleref")
    return Attributes(body.front(), {"special"}) &&
           FixedAttribute(body.front(), "special", "VOID") && NoContent(body.front());
  if (NameOf(body.front()) != "one-of")
    return Unexpected(body.front(), pRule);
  std::vector<xmlNode*> items;
  if (!Attributes(body.front(), {}) || !Elements(body.front(), items))
    return false;
  for (xmlNode* pItem : items) {
    if (NameOf(pItem) != "item")
      return Unexpected(pItem, body.front());
    if (!Attributes(pItem, {}))
      return false;
    for (const xmlNode* pText = pItem->children; pText; pText = pText->next)
      if (pText->type != XML_TEXT_NODE)
        return Fail(pItem, "в <item> не только текст");
    xmlChar* pText = xmlNodeGetContent(pItem);
    const std::string strText = pText ? reinterpret_cast<const char*>(pText) : "";
    xmlFree(pText);
    const std::string_view key = Trimmed(strText);
    if (!IsDtmfKey(key))
      return Fail(pItem, FindingCode::CallBadValue,
                  "<item> «" + EscapeTranscriptText(strText) + "» — не одна клавиша DTMF (0–9, *, #)");
    keys.emplace_back(key);
  }
  return true;
}

bool CCallCompiler::CompileW3cTransfer(xmlNode* pTransfer) {
  std::vector<xmlNode*> children;
  if (!CompileTransfer(pTransfer, {"bridge"}) || !FixedAttribute(pTransfer, "bridge", "true") ||
      !Elements(pTransfer, children))
    return false;
  xmlNode* pFilled = nullptr;
  for (xmlNode* pChild : children) {
    if (NameOf(pChild) != "filled")
      return Unexpected(pChild, pTransfer);
    if (pFilled)
      return Fail(pChild, "второй <filled> в <transfer>");
    pFilled = pChild;
  }
  return CompileHandler(pFilled, pTransfer, "filled");
}

/// The transfer itself: "dial NUMBER", then the outcome in its variable.
bool CCallCompiler::CompileTransfer(const xmlNode* pTransfer,
                                    std::initializer_list<std::string_view> optional) {
  if (!Attributes(pTransfer, {"name", "dest"}, optional))
    return false;
  const std::string strDest = UriAttribute(pTransfer, "dest");
  if (strDest.compare(0, kTel.size(), kTel) != 0)
    return Fail(pTransfer, FindingCode::CallBadValue,
                "dest=«" + EscapeTranscriptText(strDest) +
                    "» элемента <transfer> — не номер «tel:»");
  Emit(CallOp::Transfer, pTransfer, Variable(Attribute(pTransfer, "name")),
       EscapeTranscriptText(std::string_view(strDest).substr(kTel.size())));
  return true;
}

bool CCallCompiler::CompileStatements(xmlNode* pParent) {
  std::vector<xmlNode*> children;
  if (!Elements(pParent, children))
    return false;
  for (xmlNode* pChild : children)
    if (!CompileStatement(pChild, pParent))
      return false;
  return true;
}

bool CCallCompiler::CompileStatement(xmlNode* pNode, const xmlNode* pParent) {
  const std::string_view name = NameOf(pNode);
  if (name == "if") {
    std::vector<int> done;
    if (!CompileIf(pNode, done))
      return false;
    PatchTo(done, Here());
    return true;
  }
  if (name == "goto") {
    if (!Attributes(pNode, {"next"}) || !NoContent(pNode))
      return false;
    const std::string strNext = Attribute(pNode, "next");
    if (strNext.size() < 2 || strNext[0] != '#')
      return Fail(pNode, FindingCode::CallBadValue,
                  "<goto next=«" + EscapeTranscriptText(strNext) +
                      "»> ведёт не на форму этого документа (#id)");
    m_vecGotos.push_back(PendingGoto{Emit(CallOp::Jump, pNode), strNext.substr(1), pNode});
    return true;
  }
  if (name == "disconnect") {
    if (!Attributes(pNode, {}) || !NoContent(pNode))
      return false;
    Emit(CallOp::Disconnect, pNode);
    return true;
  }
  if (name == "transfer" && m_bClassic)
    return CompileTransfer(pNode, {}) && NoContent(pNode);
  return Unexpected(pNode, pParent);
}

/// An if with its elseif and else branches. A branch that acts jumps to the end, through one of
/// \p doneJumps, which the caller points where the chain ends; when no condition holds, the code
/// after the if runs.
bool CCallCompiler::CompileIf(xmlNode* pIf, std::vector<int>& doneJumps) {
  std::vector<xmlNode*> children;
  int nCondition = -1;
  if (!Attributes(pIf, {"cond"}) || !Elements(pIf, children) || !CompileCondition(pIf, nCondition))
    return false;
  int nSkip = Emit(CallOp::JumpUnless, pIf, nCondition);
  bool bElse = false;
  for (xmlNode* pChild : children) {
    const std::string_view name = NameOf(pChild);
    if (name != "elseif" && name != "else") {
      if (!CompileStatement(pChild, pIf))
        return false;
      continue;
    }
    if (bElse)
      return Fail(pChild, Tag(pChild) + " после <else>");
    bElse = name == "else";
    if (!Attributes(pChild, bElse ? std::initializer_list<std::string_view>{}
                                  : std::initializer_list<std::string_view>{"cond"}) ||
        !NoContent(pChild))
      return false;
    doneJumps.push_back(Emit(CallOp::Jump, pChild));
    if (nSkip >= 0)
      m_program.m_vecCode[static_cast<std::size_t>(nSkip)].nTarget = Here();
    nSkip = -1;
    if (!bElse) {
      if (!CompileCondition(pChild, nCondition))
        return false;
      nSkip = Emit(CallOp::JumpUnless, pChild, nCondition);
    }
  }
  doneJumps.push_back(Emit(CallOp::Jump, pIf));
  if (nSkip >= 0)
    m_program.m_vecCode[static_cast<std::size_t>(nSkip)].nTarget = Here();
  return true;
}

bool CCallCompiler::CompileCondition(const xmlNode* pNode, int& nCondition) {
  const std::string strCond = Attribute(pNode, "cond");
  std::string strName;
  std::string strLiteral;
  if (!ParseComparison(strCond, strName, strLiteral))
    return Fail(pNode, FindingCode::CallBadValue,
                "условие «" + EscapeTranscriptText(strCond) + "» элемента " + Tag(pNode) +
                    " — не сравнение имени с литералом в кавычках (имя == 'значение')");
  nCondition = static_cast<int>(m_program.m_vecConditions.size());
  m_program.m_vecConditions.push_back(CallCondition{-1, strLiteral});
  m_vecNames.push_back(PendingName{nCondition, strName, pNode});
  return true;
}

/// Points every goto at its form: the first form of that id, as the platform takes it.
bool CCallCompiler::ResolveGotos() {
  for (const PendingGoto& pending : m_vecGotos) {
    const auto& forms = m_program.m_vecForms;
    const auto it = std::find_if(forms.begin(), forms.end(),
                                 [&](const CallForm& form) { return form.strId == pending.strId; });
    if (it == forms.end())
      return Fail(pending.pGoto, FindingCode::CallBrokenReference,
                  "<goto next=«#" + EscapeTranscriptText(pending.strId) +
                      "»>: формы с таким id в документе нет");
    m_program.m_vecCode[static_cast<std::size_t>(pending.nInstruction)].nTarget = it->nEntry;
  }
  return true;
}

std::unique_ptr<CCallProgram> CCallProgram::Compile(std::string_view document, Dialect dialect,
                                                    const std::vector<std::string>& menus,
                                                    CallFault& fault) {
  fault = CallFault{};
  // Owned, so that the parsed document is freed however compiling ends (std::bad_alloc too).
  const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> pDoc(
      xmlReadMemory(document.data(), static_cast<int>(document.size()), "call.vxml", "UTF-8",
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
      &xmlFreeDoc);
  if (!pDoc) {
    const xmlError* pError = xmlGetLastError();
    std::string strWhy = pError && pError->message ? pError->message : "";
    while (!strWhy.empty() && (strWhy.back() == '\n' || strWhy.back() == ' '))
      strWhy.pop_back();
    fault = CallFault{FindingCode::CallNotXml,
                      "документ не читается как XML: " + EscapeTranscriptText(strWhy),
                      pError ? pError->line : 0};
    return nullptr;
  }
  auto pProgram = std::unique_ptr<CCallProgram>(new CCallProgram);
  CCallCompiler compiler(*pProgram, dialect, menus, fault);
  if (!compiler.CompileDocument(xmlDocGetRootElement(pDoc.get())))
    return nullptr;
  return pProgram;
}

} // namespace dovetrel
