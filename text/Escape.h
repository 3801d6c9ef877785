#pragma once

#include <string>
#include <string_view>

namespace dovetrel {

/// Appends "\xNN" to \p strOut: the byte \p c, two upper-case hex digits, where it stands for no
/// character a reader could be shown.
void AppendHexEscape(std::string& strOut, char c);

/// \p text with every control character written out ("\r", "\t", "\n", "\x1B"...), so that a text
/// quoted from a scenario can neither break the line it stands in nor reach a terminal as a
/// command. C1 controls written in UTF-8 are escaped as well; other bytes stay as they are.
std::string EscapeControls(std::string_view text);

/// \p utf8 in transcript form: a backslash written "\\", a tab "\t", a CR "\r", any other control
/// character and any byte that is not part of well-formed UTF-8 "\xNN", two upper-case hex digits
/// (a C1 control as both of its bytes, "\xC2\x85", so that it reads back as itself). Every other
/// character stays as it is.
std::string EscapeTranscriptText(std::string_view utf8);

/// The reverse of EscapeTranscriptText for one text: "\\", "\t", "\r" and "\xNN" become the bytes
/// they stand for; a backslash followed by anything else stays as it is.
std::string UnescapeTranscriptText(std::string_view text);

/// \p text, bytes of the code page \p strEncoding (any name iconv knows), decoded into UTF-8 and
/// put in transcript form; every byte the code page cannot decode is written "\xNN". An unknown
/// code page decodes nothing: every byte above ASCII is then written "\xNN".
std::string DecodeTranscriptText(std::string_view text, const std::string& strEncoding);

/// \p text between the guillemets the operator texts quote with: «text».
std::string Quoted(std::string_view text);

} // namespace dovetrel
