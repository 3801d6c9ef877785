#pragma once

#include "convert/Conversion.h"

#include <optional>
#include <string>
#include <vector>

namespace dovetrel {

/// True for the findings whose fix only puts the author's words where they are read: a line laid
/// out in its columns, a keyword in lower case, the greeting moved off the timeout. Fixes that
/// drop text (unread words, a folder, a unit, key bytes) or change line ends are not among them.
bool IsSafeFix(FindingCode code);

/// A scenario file and what the safe fixes make of it.
struct FixedFile {
  std::string strPath;   ///< as the set names it
  std::string strBefore; ///< the bytes as they are
  std::string strAfter;  ///< the bytes fixed: only lines change, none is added or removed
};

/// Applies to the set \p strIvrFile the safe fixes --check offers, round after round, until it
/// offers none, then loads the fixed set exactly as the conversion does: nothing, with the same
/// messages and summary, when it does not load. Returns the files that change, in the order they
/// were first read. Writes nothing. A read error in the middle of a file is not caught.
[[nodiscard]] std::optional<std::vector<FixedFile>>
PlanFixes(const std::string& strIvrFile, IMessageSink& messages,
          const ConversionOptions& options = {});

/// Replaces every file of \p files with its fixed bytes: all are written beside their targets
/// first and put in place only when every one is complete, so that a file that cannot be written
/// leaves all as they were. False, its message shown, when one cannot.
[[nodiscard]] bool WriteFixes(const std::vector<FixedFile>& files, IMessageSink& messages);

/// One line a fix changes, without its line end.
struct ChangedLine {
  int nLine = 0; ///< 1-based
  std::string_view before;
  std::string_view after;
};

/// The lines of \p file that differ, in order.
std::vector<ChangedLine> ChangedLines(const FixedFile& file);

/// \p file's change as a unified diff with three lines of context, as "diff -u" writes it, the
/// file named "a/NAME" and "b/NAME" for \p strName.
std::string UnifiedDiff(const FixedFile& file, const std::string& strName);

} // namespace dovetrel
