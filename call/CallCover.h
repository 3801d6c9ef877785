#pragma once

#include "call/CallProgram.h"
#include "flow/CallFlow.h"

#include <string>
#include <vector>

namespace dovetrel {

/// One generated call: the events it takes and the record the simulator wrote of it.
struct CoverCall {
  /// The events as dovetrel-call takes them: a key is one byte of the set's code page.
  std::vector<std::string> events;
  std::vector<std::string> lines; ///< the transcript, exactly what dovetrel-call prints for events
  std::string strName;            ///< the record's file name, made from the events
};

/// A row that acts in no generated call, and why: it never acts, the dialect's document leaves it
/// out, or no call reaches its menu.
struct IdleRow {
  SourcePlace source;
  std::string strReason;
};

/// Calls that between them make every row act that can act in one dialect's document.
struct CallCover {
  std::vector<CoverCall> calls;
  std::vector<IdleRow> idle; ///< menu by menu, in row order
  /// Ways the rows end a call (a hang-up, a dial's outcome, entering a menu in which no row
  /// acts), at least 1 when any row acts: a call ends once, so at least as many calls are needed.
  int nLowerBound = 0;
  /// Why a call stopped in its document, its record and those after it left out; empty text when
  /// every call ran.
  CallFault fault;
};

/// Plans the calls over \p flow that make every row act that can act in the document of
/// \p dialect: each key row, the no-input row, fax rows, busy rows after their dial, and every
/// outcome a dial's rows tell apart. Each call goes the shortest way from the main menu to the
/// first row it is made for and, from there, on to rows no call has taken yet, each transition
/// once; the fewest calls end where the rows end them. Each planned call is then run on
/// \p program (the document of \p flow in \p dialect), so that its record is the one dovetrel-call
/// prints. \p strEncoding is the set's code page.
CallCover CoverFlow(const CallFlow& flow, const CCallProgram& program, Dialect dialect,
                    const std::string& strEncoding);

} // namespace dovetrel
