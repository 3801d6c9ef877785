#pragma once

#include <map>
#include <string>

namespace dovetrel::test {

/// A scenario set in memory: full path to content; the main file is /s/main.ivr.
using FileSet = std::map<std::string, std::string>;

/// Applies each fix that --check offers for \p files, alone, and checks that the finding it mends
/// is gone; a fix that only removes what is never read must leave the document as it was.
void ExpectFixesMend(const FileSet& files);

/// \p files with the fixes --check offers applied, one finding at a time, until it offers none.
FileSet FixAll(FileSet files);

/// \p files after --fix, checking that --check then offers no safe fix and that no line was added
/// or removed; \p files as they are, checking that --check finds an error, when they do not load.
FileSet ExpectSafeFixesApplied(const FileSet& files);

/// The classic document of \p files; empty when the set does not convert.
std::string Document(const FileSet& files);

} // namespace dovetrel::test
