#pragma once

#include "vxml/VoiceXmlWriter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// Why a document cannot be run, or stopped running: what is at fault and where.
struct CallFault {
  FindingCode code = FindingCode::None; ///< what kind of fault, for code to branch on
  std::string strText;                  ///< what is wrong, naming the element
  int nLine = 0;            ///< the document's line of that element; 0 when no element is at fault
  std::string strForm = {}; ///< id of the form the element stands in; empty when none
  std::string strCondition = {}; ///< cond of the <if> the element is or stands in; empty if none
};

/// What one instruction of a compiled document does.
enum class CallOp : std::uint8_t {
  EnterForm,  ///< resets the form's variables and timeout; a menu form writes "menu NAME"
  SetTimeout, ///< the timeout the next wait writes
  Play,       ///< writes "play AUDIO"
  Listen,     ///< writes "wait TIMEOUT" and waits for a key, silence or a fax
  Transfer,   ///< writes "dial NUMBER" and waits for the outcome
  JumpUnless, ///< goes to the target unless the condition holds
  Jump,       ///< goes to the target
  Disconnect, ///< writes "hangup"; the call ends
  Stranded,   ///< the document leaves what happens here to a browser's defaults: a fault
};

/// One instruction: a document becomes a list of them, run from its first.
struct CallInstruction {
  CallOp op = CallOp::Stranded;
  int nLine = 0;   ///< the line of the element it comes from
  int nIndex = -1; ///< EnterForm: form; Listen: listener; Transfer: variable; JumpUnless: condition
  int nTarget = -1; ///< Jump, JumpUnless: the instruction to go to
  /// SetTimeout, Play, Transfer: the text in transcript form; Stranded: what is left open.
  std::string strText;
};

/// A comparison of a variable with a literal, the only condition Dovetrel writes.
struct CallCondition {
  int nVariable = -1;
  std::string strLiteral; ///< UTF-8
};

/// What a waiting field does with each event.
struct CallListener {
  int nVariable = -1; ///< the field's variable
  /// The standard reading: keys are matched against the field's DTMF grammar, and a fax or a key
  /// it does not hold goes to nomatch. Without a grammar (the classic reading) every key, and a
  /// fax as the value "fax", fills the field.
  bool bGrammar = false;
  std::vector<std::string> keys; ///< the grammar's keys
  int nOnValue = -1;             ///< the instruction once the field holds a value
  int nOnNoMatch = -1;           ///< a key or fax the grammar does not hold
  int nOnNoInput = -1;           ///< the timeout passed with no key
};

/// A form of the document.
struct CallForm {
  std::string strId;
  int nEntry = -1;        ///< its EnterForm instruction
  int nFirstVariable = 0; ///< its variables are nFirstVariable .. nFirstVariable + nVariables - 1
  int nVariables = 0;
  std::string strMenu; ///< the menu it stands for, in transcript form; empty for a dial form
  bool bMenu = false;
};

/// A VoiceXML document as Dovetrel writes it, compiled for calls. Every element is checked once,
/// when it is compiled: the elements and attributes the two writers use are known, anything else
/// is a fault naming the element, and so is a condition that is not a comparison of a name with a
/// quoted literal. Conditions are read by a small parser of exactly that form; no script engine
/// runs. Immutable once compiled, so that any number of calls can run on one.
class CCallProgram {
public:
  /// Compiles \p document (UTF-8 XML) read by the rules of \p dialect. \p menus names the menus of
  /// the set in transcript form, in table order: the forms that hold a field are the menus, in
  /// document order, and must be as many. Null, with the fault in \p fault, when it cannot be run.
  static std::unique_ptr<CCallProgram> Compile(std::string_view document, Dialect dialect,
                                               const std::vector<std::string>& menus,
                                               CallFault& fault);

  const std::vector<CallInstruction>& Instructions() const { return m_vecCode; }
  const std::vector<CallCondition>& Conditions() const { return m_vecConditions; }
  const std::vector<CallListener>& Listeners() const { return m_vecListeners; }
  const std::vector<CallForm>& Forms() const { return m_vecForms; }
  int Variables() const { return m_nVariables; }

private:
  friend class CCallCompiler;
  std::vector<CallInstruction> m_vecCode;
  std::vector<CallCondition> m_vecConditions;
  std::vector<CallListener> m_vecListeners;
  std::vector<CallForm> m_vecForms;
  int m_nVariables = 0;
};

} // namespace dovetrel
