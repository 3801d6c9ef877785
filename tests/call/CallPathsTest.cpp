// The caller's paths: by hand over small sets, and against the call itself over the examples.

#include "call/CallPaths.h"
#include "call/Call.h"
#include "call/CallEvent.h"
#include "call/CallSetup.h"
#include "scenario/ScenarioReader.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/FakeAudio.h"
#include "tests/support/MemoryFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace dovetrel {
namespace {

using test::TelephoneAudio;

struct PathCase {
  const char* szName;
  std::vector<std::pair<std::string, std::string>> files; ///< the main file first
  std::vector<std::string> lines;
};

void PrintTo(const PathCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class Paths : public testing::TestWithParam<PathCase> {};

TEST_P(Paths, AreTheShortestWithWhatTheCallerHears) {
  test::CMemoryFiles files;
  for (const auto& [strName, strContent] : GetParam().files)
    files.Add("/s/" + strName, strContent);
  test::CCollectingMessages messages;
  CScenarioTable table;
  ASSERT_TRUE(LoadScenarioSet("/s/" + GetParam().files.front().first, "/s/", table,
                              ReadContext{messages, files}));
  test::CFakeAudio audio;
  audio.Add("/s/welcome.wav", TelephoneAudio(5.2));
  audio.Add("/s/a.wav", TelephoneAudio(1));
  audio.Add("/s/b.wav", TelephoneAudio(2));
  audio.AddNotAudio("/s/c.wav");
  EXPECT_EQ(DescribeCallPaths(BuildCallFlow(table), "UTF-8", audio), GetParam().lines);
}

// The expected lines are too long for one literal each: they are split, not missing commas.
// NOLINTBEGIN(bugprone-suspicious-missing-comma)
INSTANTIATE_TEST_SUITE_P(
    Sets, Paths,
    testing::Values(
        PathCase{"WorkedExample",
                 {{"main.ivr", "10   welcome.wav\n1    menu            sales.ivr\n"
                               "2    dial            123\n0    disconnect\n"
                               "-    menu            main.ivr\n"},
                  {"sales.ivr", "15   sales.wav\n1    dial            123\n"
                                "b    menu            main.ivr\n-    disconnect\n"}},
                 {"до набора 123 (main.ivr:3): 2, прослушать 5,2 с (welcome.wav 5,2 с)",
                  "до отбоя при занятом 123 (main.ivr:3): 2 busy, прослушать 5,2 с (welcome.wav "
                  "5,2 с)",
                  "до отбоя (main.ivr:4): 0, прослушать 5,2 с (welcome.wav 5,2 с)",
                  "до отбоя на клавишу без действия (main.ivr): 3, прослушать 5,2 с (welcome.wav "
                  "5,2 с)",
                  "до набора 123 (sales.ivr:2): 1 1, прослушать не менее 5,2 с (welcome.wav "
                  "5,2 с, sales.wav — длительность неизвестна)",
                  "до отбоя (sales.ivr:4): 1 silence, прослушать не менее 5,2 с (welcome.wav "
                  "5,2 с, sales.wav — длительность неизвестна), ждать 15 с",
                  "до отбоя на клавишу без действия (sales.ivr): 1 0, прослушать не менее 5,2 с "
                  "(welcome.wav 5,2 с, sales.wav — длительность неизвестна)"}},
        PathCase{"BusyAndUnreached",
                 {{"main.ivr", "10   a.wav\n1    dial            5\nb    dial            6\n"
                               "1    menu            x.ivr\nf    disconnect\n"},
                  {"x.ivr", "10   c.wav\n1    disconnect\n"}},
                 {"до набора 5 (main.ivr:2): 1, прослушать 1,0 с (a.wav 1,0 с)",
                  "до набора 6 (main.ivr:3): 1 busy, прослушать 1,0 с (a.wav 1,0 с)",
                  // The busy row's own dial has no busy row: busy ends the call.
                  "до отбоя при занятом 6 (main.ivr:3): 1 busy busy, прослушать 1,0 с (a.wav "
                  "1,0 с)",
                  "до отбоя (main.ivr:5): fax, прослушать 1,0 с (a.wav 1,0 с)",
                  "до отбоя на клавишу без действия (main.ivr): 0, прослушать 1,0 с (a.wav 1,0 с)",
                  "до отбоя без ввода (main.ivr): silence, прослушать 1,0 с (a.wav 1,0 с), ждать "
                  "10 с",
                  "до отбоя (x.ivr:2): звонок сюда не доходит"}},
        PathCase{"FewestEventsWin",
                 {{"main.ivr", "10   a.wav\n3    menu            c.ivr\n"
                               "-    menu            b.ivr\n"},
                  {"c.ivr", "7    c.wav\n1    menu            b.ivr\n2    dial\n"},
                  {"b.ivr", "5    b.wav\n1    dial            7\n-    menu            b.ivr\n"}},
                 {"до отбоя на клавишу без действия (main.ivr): 0, прослушать 1,0 с (a.wav "
                  "1,0 с)",
                  "до набора без номера (c.ivr:3): 3 2, прослушать не менее 1,0 с (a.wav "
                  "1,0 с, c.wav — длительность неизвестна)",
                  "до отбоя при занятом наборе без номера (c.ivr:3): 3 2 busy, прослушать не "
                  "менее 1,0 с (a.wav 1,0 с, c.wav — длительность неизвестна)",
                  "до отбоя на клавишу без действия (c.ivr): 3 0, прослушать не менее 1,0 с "
                  "(a.wav 1,0 с, c.wav — длительность неизвестна)",
                  "до отбоя без ввода (c.ivr): 3 silence, прослушать не менее 1,0 с (a.wav "
                  "1,0 с, c.wav — длительность неизвестна), ждать 7 с",
                  "до набора 7 (b.ivr:2): silence 1, прослушать 3,0 с (a.wav 1,0 с, b.wav "
                  "2,0 с), ждать 10 с",
                  "до отбоя при занятом 7 (b.ivr:2): silence 1 busy, прослушать 3,0 с (a.wav "
                  "1,0 с, b.wav 2,0 с), ждать 10 с",
                  "до отбоя на клавишу без действия (b.ivr): silence 0, прослушать 3,0 с (a.wav "
                  "1,0 с, b.wav 2,0 с), ждать 10 с"}}));
// NOLINTEND(bugprone-suspicious-missing-comma)

/// Collects the transcript's lines.
class CLines final : public ICallTranscript {
public:
  void Step(std::string_view line) override { m_lines.emplace_back(line); }
  std::vector<std::string> m_lines;
};

/// The events of a path line: after "): ", up to the first comma.
std::vector<std::string> EventsOf(const std::string& strLine) {
  const std::size_t nStart = strLine.find("): ") + 3;
  std::istringstream words(strLine.substr(nStart, strLine.find(',', nStart) - nStart));
  std::vector<std::string> events;
  for (std::string strWord; words >> strWord;)
    events.push_back(strWord);
  return events;
}

class ExamplePaths : public testing::TestWithParam<std::tuple<const char*, Dialect>> {};

// Every path of an example, fed to the call, ends where its line says: at its dial or hangup.
TEST_P(ExamplePaths, TakeTheCallWhereTheySay) {
  const auto& [szExample, dialect] = GetParam();
  test::CCollectingMessages messages;
  ConversionOptions options;
  options.dialect = dialect;
  const std::optional<PreparedCall> prepared = PrepareCall(
      std::string(DOVETREL_SOURCE_DIR "/examples/") + szExample + "/main.ivr", messages, options);
  ASSERT_TRUE(prepared);
  messages.Discard(); // the success, with the fax row the standard document leaves out
  test::CFakeAudio audio;
  const std::vector<std::string> lines =
      DescribeCallPaths(prepared->set.flow, prepared->set.strEncoding, audio);
  ASSERT_FALSE(lines.empty());
  for (const std::string& strLine : lines) {
    // The standard document leaves fax rows out, and says so when it is written.
    if (dialect == Dialect::W3c && strLine.find(" fax") != std::string::npos)
      continue;
    CLines transcript;
    CCall call(*prepared->pProgram, transcript);
    ASSERT_TRUE(call.Start());
    for (const std::string& strEvent : EventsOf(strLine)) {
      const std::optional<CallEvent> event = ParseCallEvent(strEvent, prepared->set.strEncoding);
      ASSERT_TRUE(event) << strLine;
      ASSERT_EQ(call.Feed(*event), FeedResult::Taken) << strLine;
    }
    constexpr std::string_view kDial = "до набора ";
    const std::string strEnd =
        strLine.starts_with(kDial)
            ? "dial " + strLine.substr(kDial.size(), strLine.find(" (") - kDial.size())
            : "hangup";
    EXPECT_EQ(transcript.m_lines.back(), strEnd) << strLine;
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, ExamplePaths,
                         testing::Combine(testing::Values("worked", "callcentre"),
                                          testing::Values(Dialect::Classic, Dialect::W3c)));

} // namespace
} // namespace dovetrel
