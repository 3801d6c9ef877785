#pragma once

#include "scenario/ScenarioTable.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// What an action does to the call.
enum class ActionKind {
  Menu,   ///< the call enters another menu (or the same one again)
  Dial,   ///< the call is transferred to a number
  Hangup, ///< the call ends
};

/// The row of a scenario file that something of the flow comes from.
struct SourcePlace {
  std::string strFile; ///< path of the scenario file, as the set was given
  int nLine = 0;       ///< 1-based line
};

/// One step the call takes: enter a menu, dial a number or hang up.
struct FlowStep {
  ActionKind kind = ActionKind::Hangup;
  /// Menu: the file name the row names, as it stands in the row; Dial: the number (may be empty).
  std::string strArgument;
  int nTargetMenu = -1; ///< Menu: index into CallFlow::menus of the menu entered; -1 otherwise
  SourcePlace source;   ///< the row that gives the step
};

/// The step of a key, of no input or of a fax, with what a dial's busy outcome does.
struct FlowAction : FlowStep {
  /// Dial only: the step of the dial's busy row, if it has one; otherwise a busy number ends the
  /// call, as an unanswered one always does.
  std::optional<FlowStep> busy;
  /// Dial only: the busy row it takes has no action word the writers know; a busy number then
  /// ends the call, and the classic document cannot be written.
  bool bBusyUnknown = false;
};

/// A key that acts in a menu: the first row with that key whose keyword is recognised.
struct KeyAction {
  char key; ///< the key byte; keyFax stands for the fax tone, not a key press
  FlowAction action;
};

/// Why a key row never acts.
enum class InertReason {
  UnknownKeyword,   ///< its action word is none of menu, dial, disconnect
  KeyTaken,         ///< an earlier row of the menu answers the same key
  SecondNoInput,    ///< an earlier row of the menu gives the no-input action
  BusyServesNoDial, ///< a busy row that no dial of the menu takes
};

/// A key row that never acts, and why.
struct InertRow {
  SourcePlace source;
  char key; ///< NUL for a line without a key
  InertReason reason;
  int nActingLine = 0; ///< KeyTaken, SecondNoInput: the line of the row that acts instead
};

/// The menu of one scenario file.
struct FlowMenu {
  std::string strName;               ///< the file's name as the set names it ("sales.ivr")
  std::string strPath;               ///< the file's path, as the set was given
  std::string strTimeout;            ///< as the document writes it ("10s")
  std::string strGreeting;           ///< the greeting's audio file
  std::vector<KeyAction> keys;       ///< in the order of their rows; at most one per key byte
  std::optional<FlowAction> noInput; ///< when the timeout passes with no key
  std::vector<InertRow> inert;       ///< in the order of their rows
  // What the classic document also writes, row for row.
  std::string strField; ///< the name of the input field that takes the keys
  /// Lines of the rows every file starts with: the file, timeout, greeting, field and filled rows.
  std::array<int, kRowsPerFile> headLines{};
  /// Every key row with an action but the no-input and busy rows, in row order, a key's later
  /// rows included.
  std::vector<KeyAction> keyRows;
};

/// What a scenario set does on a call: one menu per scenario file, in table order; a call starts
/// in the first. Texts are bytes of the set's code page, as the table holds them.
struct CallFlow {
  std::vector<FlowMenu> menus;
  /// The first row at which the table departs from the shape the reader gives it (every scenario
  /// opens with its five head rows, head kinds stand nowhere else); no document is written then.
  std::optional<SourcePlace> misshapen;
};

/// \p path, a file of \p flow, relative to the main file's folder: what a drawing or a listing of
/// the flow names it by, so that it carries no folder of the author's machine.
std::string_view PathInSet(const CallFlow& flow, std::string_view path);

/// The call flow of a loaded table. Any table the reader filled gives one, a partly loaded one
/// included (a menu whose file is missing then has no target: nTargetMenu -1).
CallFlow BuildCallFlow(const CScenarioTable& table);

/// The rows of \p flow that never act, as warnings at their rows with what they mean, menu by menu,
/// in row order. Rows with an unknown keyword are left to the checks of their line, which say more.
std::vector<Finding> FindInertRows(const CallFlow& flow);

/// What \p row means for the author, in the words of the checks ("... эта строка не сработает").
std::string DescribeInertRow(const InertRow& row);

} // namespace dovetrel
