#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// One line of a scenario file as the reader reads it: the bytes it takes, and where they begin in
/// the line as the editor has it.
struct ReadLine {
  std::string_view text;     ///< up to a NUL or the end-of-text byte, a byte-order mark left out
  std::uint64_t nOffset = 0; ///< bytes of the line before text: a byte-order mark opening the file
};

/// A word the reader takes from a line, as it keeps it, and where it stands in the line.
struct TakenWord {
  std::string strText;      ///< empty when the reader takes nothing there
  std::uint64_t nFirst = 0; ///< 0-based byte column of its first byte in the line
  std::uint64_t nEnd = 0;   ///< the column after its last byte
};

/// What the reader takes from a header line (the timeout, the greeting, nothing) or from a key
/// line (the key word, the action word, the argument), in this order.
using TakenWords = std::array<TakenWord, 3>;

/// The lines of a file (as CheckedSet holds them) that the reader reads, in order: the reading
/// stops at the end-of-text byte, and a NUL ends a line's content.
std::vector<ReadLine> ReaderLines(const std::vector<std::string>& lines);

/// The words the reader takes from \p line, its header line when \p bHeader, through the reader's
/// own line buffer and word splitting, so that nothing here reads a line differently.
TakenWords TakeWords(const ReadLine& line, bool bHeader);

/// True when an editor splits \p lines as the reader does: no CR stands alone in them, which an
/// editor takes for a line end and the reader does not.
bool EditorSplitsLikeReader(const std::vector<std::string>& lines);

} // namespace dovetrel
