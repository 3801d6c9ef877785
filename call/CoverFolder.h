#pragma once

#include "call/CallCover.h"
#include "call/CallSetup.h"
#include "scenario/Message.h"

#include <string>
#include <vector>

namespace dovetrel {

/// Makes the folder \p strDir for generated records when it is missing. False, with
/// "нельзя писать в каталог записей DIR: REASON" in \p strError, when it cannot be written, so that
/// no call runs for records that could not be kept.
[[nodiscard]] bool CoverFolderWritable(const std::string& strDir, std::string& strError);

/// What writing the generated calls of a set into a folder did.
struct CoverWriting {
  CallCover cover;               ///< the calls, the rows that act in none, the lower bound
  int nWritten = 0;              ///< the records written
  std::vector<std::string> kept; ///< records of generated calls that were there already, kept
};

/// Generates the calls that make every row of \p set act that can in its document \p program of
/// \p dialect, and writes each record into \p strDir, never over a file already there. False when
/// a record cannot be written, said on \p messages; those written before it stay.
[[nodiscard]] bool WriteCoverRecords(const CallSet& set, const CCallProgram& program,
                                     Dialect dialect, const std::string& strDir,
                                     IMessageSink& messages, CoverWriting& writing);

/// "записано N звонков (не меньше M: столько исходов завершают звонок)", with "из ALL" after N
/// when some records were there already; the word after N agrees with it.
std::string CoverCountText(const CoverWriting& writing);

} // namespace dovetrel
