#pragma once

#include "scenario/Finding.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace dovetrel {

/// The largest message body the server takes: a longer one is refused without being read.
inline constexpr std::uint64_t kMaxMessageBytes = std::uint64_t{16} << 20;

/// What reading the next message of the protocol's framing gave.
enum class FrameResult {
  Message,  ///< a whole body was read
  End,      ///< the input ended between messages
  TooLarge, ///< the header announced more than kMaxMessageBytes; the body was not read
  Broken,   ///< a header that does not read, no Content-Length, or input ending inside a message
};

/// Reads the next message from \p in: header lines ("Name: value", each ended by "\r\n"), an empty
/// line, then exactly Content-Length bytes of body into \p strBody. After TooLarge or Broken the
/// stream no longer stands at a message boundary: nothing more can be read from it safely.
FrameResult ReadFrame(std::istream& in, std::string& strBody);

/// Writes \p body to \p out as one message, with its Content-Length header, and flushes.
void WriteFrame(std::ostream& out, std::string_view body);

/// The path of a "file://" URI, percent-escapes decoded; empty for any other URI.
std::string PathFromUri(std::string_view uri);
/// The "file://" URI of the absolute path \p strPath, every byte but [A-Za-z0-9/._~-] escaped.
std::string UriFromPath(std::string_view strPath);

/// The 0-based UTF-16 position in \p line of the 1-based byte column \p nColumn, as the protocol
/// counts characters; a column past the end of the line gives the end of the line. A byte that
/// starts no UTF-8 sequence counts as one unit.
std::uint64_t Utf16Position(std::string_view line, std::uint64_t nColumn);

/// The 1-based byte column of the 0-based UTF-16 position \p nUnits in \p line, the inverse of
/// Utf16Position; a position past the end gives the column after the last byte, and one between
/// the two units of a surrogate pair the column after its character.
std::uint64_t ByteColumn(std::string_view line, std::uint64_t nUnits);

/// The stable name an editor shows for \p code, such as "keyword-not-in-column".
std::string_view FindingCodeName(FindingCode code);

} // namespace dovetrel
