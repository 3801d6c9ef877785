// Transcript texts and event words: what a call writes, and what it reads back.

#include "call/Transcript.h"
#include "call/CallEvent.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

struct DecodeCase {
  std::string bytes;
  std::string encoding;
  std::string text;
};

class UriDecodes : public testing::TestWithParam<DecodeCase> {};

TEST_P(UriDecodes, TheEscapesAfterTheSetsCodePage) {
  EXPECT_EQ(DecodeUriTranscriptText(GetParam().bytes, GetParam().encoding), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UriDecodes,
    testing::Values(DecodeCase{"a%41.wav", "UTF-8", "aA.wav"},
                    DecodeCase{"F-%8dv./", "UTF-8", "F-\\x8Dv./"},   // found by the fuzzer
                    DecodeCase{"100%.wav%2", "UTF-8", "100%.wav%2"}, // no escape starts there
                    DecodeCase{"%D0%BF\xEF%5C", "WINDOWS-1251", "пп\\\\"},
                    DecodeCase{"%C0\xC0", "WINDOWS-1251", "\\xC0А"}, // a URI byte is no 1251
                    DecodeCase{"%D0\xD0\xBF", "UTF-8", "\\xD0п"},    // a sequence cut short
                    DecodeCase{"1%0A2", "UTF-8", "1\\x0A2"}));

TEST(Transcript, LinesAreAWordAndItsTextOrTheBareWord) {
  EXPECT_EQ(TranscriptLine(word::kDial, "123"), "dial 123");
  EXPECT_EQ(TranscriptLine(word::kDial, ""), "dial");
  EXPECT_EQ(TranscriptLine(word::kHangup), "hangup");
}

struct EventCase {
  std::string word;
  std::optional<CallEventKind> kind; ///< nothing: no event
  std::string key;
  std::string line; ///< the transcript line of the event
};

class Events : public testing::TestWithParam<EventCase> {};

TEST_P(Events, AreReadFromWordsAndFromTheirTranscriptLines) {
  const std::optional<CallEvent> event = ParseCallEvent(GetParam().word, "WINDOWS-1251");
  ASSERT_EQ(event.has_value(), GetParam().kind.has_value());
  if (!event)
    return;
  EXPECT_EQ(event->kind, *GetParam().kind);
  EXPECT_EQ(event->strKey, GetParam().key);
  EXPECT_EQ(EventLine(*event), GetParam().line);
  const std::optional<CallEvent> again = EventOfLine(GetParam().line, "WINDOWS-1251");
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(again->kind, event->kind);
  EXPECT_EQ(again->strKey, event->strKey);
}

INSTANTIATE_TEST_SUITE_P(
    Words, Events,
    testing::Values(EventCase{"1", CallEventKind::Key, "1", "press 1"},
                    EventCase{"#", CallEventKind::Key, "#", "press #"},
                    EventCase{"\\", CallEventKind::Key, "\\", "press \\\\"},
                    EventCase{"b", CallEventKind::Key, "b", "press b"},
                    EventCase{"я", CallEventKind::Key, "я", "press я"},
                    EventCase{"\xFF", CallEventKind::Key, "я", "press я"}, // a byte of the set
                    EventCase{"\x98", CallEventKind::Key, "\x98", "press \\x98"},
                    EventCase{"silence", CallEventKind::Silence, "", "silence"},
                    EventCase{"fax", CallEventKind::Fax, "", "fax"},
                    EventCase{"answer", CallEventKind::Answer, "", "answer"},
                    EventCase{"busy", CallEventKind::Busy, "", "busy"},
                    EventCase{"noanswer", CallEventKind::NoAnswer, "", "noanswer"},
                    EventCase{"12", std::nullopt, "", ""}, EventCase{"", std::nullopt, "", ""},
                    EventCase{"Busy", std::nullopt, "", ""},
                    EventCase{"\xD0\xD0", std::nullopt, "", ""}));

TEST(Transcript, LinesThatAreNoEventsGiveNone) {
  for (const char* szLine : {"menu main.ivr", "wait 10s", "dial", "hangup", "press", "press 12",
                             "press ", "silence ", "# press 1"})
    EXPECT_FALSE(EventOfLine(szLine, "UTF-8").has_value()) << szLine;
}

} // namespace
} // namespace dovetrel
