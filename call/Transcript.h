#pragma once

#include "text/Escape.h"

#include <string>
#include <string_view>

namespace dovetrel {

/// The fixed words of a call transcript, one step a line; scripts and tests compare them.
namespace word {
inline constexpr std::string_view kMenu = "menu";
inline constexpr std::string_view kPlay = "play";
inline constexpr std::string_view kWait = "wait";
inline constexpr std::string_view kPress = "press";
inline constexpr std::string_view kSilence = "silence";
inline constexpr std::string_view kFax = "fax";
inline constexpr std::string_view kDial = "dial";
inline constexpr std::string_view kAnswer = "answer";
inline constexpr std::string_view kBusy = "busy";
inline constexpr std::string_view kNoAnswer = "noanswer";
inline constexpr std::string_view kHangup = "hangup";
} // namespace word

/// One transcript line: the word, a space and the text, or the bare word when the text is empty.
/// \p text must already be in transcript form (see EscapeTranscriptText).
std::string TranscriptLine(std::string_view word, std::string_view text = {});

/// \p uri with every percent-escape ('%' and two hex digits, either case) replaced by the byte it
/// encodes; a '%' that starts no escape stays as it is.
std::string PercentDecoded(std::string_view uri);

/// \p text, a greeting or a number of a set in code page \p strEncoding, as a call names it, in
/// transcript form. Both documents write such a text into a URI (an audio's src, a transfer's
/// dest), so an escape in it stands for the byte it encodes: "a%41.wav" plays "aA.wav".
std::string DecodeUriTranscriptText(std::string_view text, const std::string& strEncoding);

} // namespace dovetrel
