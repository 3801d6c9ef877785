#include "call/CallEvent.h"

#include "call/Transcript.h"
#include "text/TextCodec.h"
#include "text/Utf8.h"

namespace dovetrel {

namespace {

struct NamedEvent {
  std::string_view word;
  CallEventKind kind;
};

constexpr NamedEvent kNamedEvents[] = {
    {word::kSilence, CallEventKind::Silence},   {word::kFax, CallEventKind::Fax},
    {word::kAnswer, CallEventKind::Answer},     {word::kBusy, CallEventKind::Busy},
    {word::kNoAnswer, CallEventKind::NoAnswer},
};

/// True when \p word is exactly one UTF-8 character.
bool IsOneCharacter(std::string_view word) {
  return !word.empty() && Utf8SequenceLength(word, 0) == word.size();
}

} // namespace

std::optional<CallEvent> ParseCallEvent(std::string_view word, const std::string& strEncoding) {
  for (const NamedEvent& named : kNamedEvents)
    if (word == named.word)
      return CallEvent{named.kind, {}};
  if (IsOneCharacter(word))
    return CallEvent{CallEventKind::Key, std::string(word)};
  if (word.size() != 1)
    return std::nullopt;
  // One byte of the set's code page: the key is its character, or the byte itself when the code
  // page has none for it (no row can then answer it).
  std::string strKey;
  const auto pCodec = CTextCodec::Open(strEncoding);
  if (pCodec && pCodec->ToXmlUtf8(word, strKey))
    return CallEvent{CallEventKind::Key, std::move(strKey)};
  return CallEvent{CallEventKind::Key, std::string(1, word.front())};
}

bool IsTransferOutcome(CallEventKind kind) {
  return kind == CallEventKind::Answer || kind == CallEventKind::Busy ||
         kind == CallEventKind::NoAnswer;
}

std::string EventLine(const CallEvent& event) {
  if (event.kind == CallEventKind::Key)
    return TranscriptLine(word::kPress, EscapeTranscriptText(event.strKey));
  for (const NamedEvent& named : kNamedEvents)
    if (named.kind == event.kind)
      return std::string(named.word);
  return {};
}

std::optional<CallEvent> EventOfLine(std::string_view line, const std::string& strEncoding) {
  const std::string strPrefix = std::string(word::kPress) + ' ';
  if (line.substr(0, strPrefix.size()) == strPrefix) {
    std::optional<CallEvent> key =
        ParseCallEvent(UnescapeTranscriptText(line.substr(strPrefix.size())), strEncoding);
    if (key && key->kind == CallEventKind::Key)
      return key;
    return std::nullopt;
  }
  for (const NamedEvent& named : kNamedEvents)
    if (line == named.word)
      return CallEvent{named.kind, {}};
  return std::nullopt;
}

} // namespace dovetrel
