#pragma once

#include "call/CallSetup.h"
#include "cli/CallCommandLine.h"

#include <iosfwd>
#include <string>

namespace dovetrel {

/// Makes the folder \p strDir when it is missing; false, said on \p err, when it cannot be
/// written, so that no call runs for records that could not be kept.
[[nodiscard]] bool CoverFolderWritable(const std::string& strDir, std::ostream& err);

/// dovetrel-call --cover: generates the calls that make every row of \p prepared's set act that
/// can in the document of \p dialect and writes each record into \p strDir, keeping the records
/// already there. Rows that act in no call are listed on \p err, the count on \p out.
[[nodiscard]] CallExitStatus WriteCover(const PreparedCall& prepared, Dialect dialect,
                                        const std::string& strDir, std::ostream& out,
                                        std::ostream& err);

} // namespace dovetrel
