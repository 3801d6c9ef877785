#include "cli/CallCommandLine.h"
#include "cli/CommandLine.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace dovetrel {
namespace {

using test::CTempDir;

struct Outcome {
  CallExitStatus status;
  std::string out;
  std::string err;
};

Outcome Call(const std::vector<std::string>& args, const std::string& input = {},
             bool bInteractive = false) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const CallExitStatus status = RunCallCommandLine(args, in, out, err, bInteractive);
  return Outcome{status, out.str(), err.str()};
}

const std::string kWorked = DOVETREL_SOURCE_DIR "/examples/worked/main.ivr";

/// The transcript lines \p lines, each ended by a newline.
std::string Lines(std::initializer_list<const char*> lines) {
  std::string strText;
  for (const char* szLine : lines)
    strText += std::string(szLine) + "\n";
  return strText;
}

const std::string kMain = Lines({"menu main.ivr", "play welcome.wav", "wait 10s"});

TEST(CallCommandLine, HelpAndVersionGoToStandardOutput) {
  const Outcome help = Call({"--help"});
  EXPECT_EQ(help.status, CallExitStatus::Success);
  EXPECT_NE(help.out.find("dovetrel-call [--dialect classic|w3c] [--encoding NAME] IVR_FILE "
                          "[СОБЫТИЕ...]"),
            std::string::npos);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(Call({"-h"}).out, help.out);
  EXPECT_EQ(Call({"--version"}).out, "dovetrel-call 1.3\n");
  EXPECT_EQ(Call({"-V"}).status, CallExitStatus::Success);
}

struct UsageCase {
  std::vector<std::string> args;
  std::string reason;
};

class CallUsageErrors : public testing::TestWithParam<UsageCase> {};

TEST_P(CallUsageErrors, ExitWithTwoAndSayWhy) {
  const Outcome run = Call(GetParam().args);
  EXPECT_EQ(run.status, CallExitStatus::Usage);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "error: dovetrel-call: " + GetParam().reason + "\n  справка: dovetrel-call --help\n");
}

INSTANTIATE_TEST_SUITE_P(
    Calls, CallUsageErrors,
    testing::Values(UsageCase{{}, "не указан файл сценария IVR"},
                    UsageCase{{"--bogus", "a.ivr"}, "неизвестный параметр --bogus"},
                    UsageCase{{"--dialect=vxml3", "a.ivr"},
                              "неизвестный вид документа vxml3 (classic или w3c)"},
                    UsageCase{{"--encoding", "NO-SUCH", "a.ivr", "1"},
                              "неизвестная кодировка NO-SUCH"},
                    UsageCase{{"a.ivr", "--expect"}, "параметру --expect нужно файл записи звонка"},
                    UsageCase{{"--expect", "r.txt", "a.ivr", "1"},
                              "лишний аргумент 1: с --expect события берутся из записи"},
                    UsageCase{{"--cover", "d", "a.ivr", "1"},
                              "лишний аргумент 1: с --cover события выбираются сами"},
                    UsageCase{{"--cover", "d", "--expect", "r.txt", "a.ivr"},
                              "--cover и --expect не сочетаются"}));

struct RunCase {
  const char* szName;
  std::vector<std::string> args; ///< after the scenario file
  CallExitStatus status;
  std::string out;
  std::string err;
};

void PrintTo(const RunCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class WorkedCalls : public testing::TestWithParam<RunCase> {};

TEST_P(WorkedCalls, WriteTheTranscriptAndSayWhereAnEventDoesNotFit) {
  for (const char* szDialect : {"classic", "w3c"}) {
    std::vector<std::string> args{"--dialect", szDialect, kWorked};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const Outcome run = Call(args);
    EXPECT_EQ(run.status, GetParam().status) << szDialect;
    EXPECT_EQ(run.out, GetParam().out) << szDialect;
    EXPECT_EQ(run.err, GetParam().err) << szDialect;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Events, WorkedCalls,
    testing::Values(
        RunCase{"NoEventsStopAtTheFirstWait", {}, CallExitStatus::Success, kMain, ""},
        RunCase{"BusyRowReturnsToTheMainMenu",
                {"1", "1", "busy"},
                CallExitStatus::Success,
                kMain +
                    Lines({"press 1", "menu sales.ivr", "play sales.wav", "wait 15s", "press 1",
                           "dial 123", "busy"}) +
                    kMain,
                ""},
        RunCase{"OutOfEventsWhileTheTransferRings",
                {"2"},
                CallExitStatus::Success,
                kMain + Lines({"press 2", "dial 123"}),
                ""},
        RunCase{"KeyWhileTheTransferRings",
                {"2", "5"},
                CallExitStatus::Usage,
                kMain + Lines({"press 2", "dial 123"}),
                "error: dovetrel-call: событие 2 «5» не подходит: звонок ждёт исход перевода: "
                "answer, busy или noanswer\n"},
        RunCase{"OutcomeWhileTheMenuWaits",
                {"silence", "answer"},
                CallExitStatus::Usage,
                kMain + "silence\n" + kMain,
                "error: dovetrel-call: событие 2 «answer» не подходит: звонок ждёт клавишу (один "
                "знак), silence или fax\n"},
        RunCase{"AnythingAfterHangup",
                {"0", "1"},
                CallExitStatus::Usage,
                kMain + Lines({"press 0", "hangup"}),
                "error: dovetrel-call: событие 2 «1» не подходит: звонок уже окончен (hangup)\n"},
        RunCase{"UnknownWord",
                {"1", "press"},
                CallExitStatus::Usage,
                kMain + Lines({"press 1", "menu sales.ivr", "play sales.wav", "wait 15s"}),
                "error: dovetrel-call: событие 2 «press» неизвестно: звонок ждёт клавишу (один "
                "знак), silence или fax\n"},
        RunCase{"KeysNoRowAnswersEndTheCall",
                {"-"},
                CallExitStatus::Success,
                kMain + Lines({"press -", "hangup"}),
                ""}));

class CallSets : public testing::Test {
protected:
  CTempDir dir;
  std::string Main() const { return dir.Path() + "main.ivr"; }
};

TEST_F(CallSets, ASetThatDoesNotConvertGivesTheConvertersMessages) {
  dir.Write("main.ivr", "10   a.wav\n1    menu            gone.ivr\n");
  const Outcome call = Call({Main(), "1"});
  std::ostringstream out;
  std::ostringstream err;
  const ExitStatus converted = RunCommandLine({Main(), dir.Path() + "x.vxml"}, out, err);
  EXPECT_EQ(converted, ExitStatus::Failure);
  EXPECT_EQ(call.status, CallExitStatus::Failure);
  EXPECT_EQ(call.out, "");
  EXPECT_EQ(call.err, err.str());
  EXPECT_EQ(dir.List(), "main.ivr");
}

TEST_F(CallSets, WarningsAreListedAndTextsDecodedWithTheSetsCodePage) {
  dir.Write("main.ivr", "5    \xEF\xF0\xE8\xE2\xE5\xF2.wav\nf    dial            7\n"
                        "1    dial            \\8\t9\n");
  const Outcome run = Call({"--dialect", "w3c", Main(), "fax"});
  EXPECT_EQ(run.status, CallExitStatus::Success);
  EXPECT_EQ(run.out, "menu main.ivr\nplay привет.wav\nwait 5s\nfax\nhangup\n");
  EXPECT_EQ(run.err, Main() + ":2:1: warning: строка факса (f) не переносится в стандартный "
                              "документ: она будет пропущена\n");
  EXPECT_EQ(Call({Main(), "1"}).out,
            "menu main.ivr\nplay привет.wav\nwait 5s\npress 1\ndial \\\\8\\t9\n");
}

TEST_F(CallSets, StandardUrisNameTheTextsTheyWereWrittenFrom) {
  dir.Write("main.ivr", "5    1:b%.wav\n1    dial            <2>\n");
  for (const char* szDialect : {"classic", "w3c"})
    EXPECT_EQ(Call({"--dialect", szDialect, Main(), "1"}).out,
              "menu main.ivr\nplay 1:b%.wav\nwait 5s\npress 1\ndial <2>\n")
        << szDialect;
  // Both documents are URIs to the voice browser: an escape in the text names the byte it
  // encodes, in either dialect alike.
  dir.Write("main.ivr", "5    a%41.wav\n1    dial            1%32\n");
  for (const char* szDialect : {"classic", "w3c"})
    EXPECT_EQ(Call({"--dialect", szDialect, Main(), "1"}).out,
              "menu main.ivr\nplay aA.wav\nwait 5s\npress 1\ndial 12\n")
        << szDialect;
}

TEST_F(CallSets, ADocumentTheSimulatorCannotRunIsAFailureNamingItsLine) {
  // A file name that continues no identifier gives the classic condition Input_x-y=='1'.
  dir.Write("main.ivr", "5    a.wav\n1    menu            x-y.ivr\n");
  dir.Write("x-y.ivr", "5    b.wav\n1    disconnect\n");
  const Outcome run = Call({Main(), "1"});
  EXPECT_EQ(run.status, CallExitStatus::Failure);
  EXPECT_EQ(run.out, "");
  // The fault names the row that made the element: x-y.ivr's key 1, on its line 2.
  EXPECT_NE(run.err.find("error: dovetrel-call: " + dir.Path() +
                         "x-y.ivr:2: строка 22 документа VoiceXML: условие «Input_x-y=='1'» "
                         "элемента <if> — не сравнение имени с литералом в кавычках (имя == "
                         "'значение')\n"),
            std::string::npos)
      << run.err;
  // No input is a handler of its own, no condition: the first condition is key 1's, on line 3.
  dir.Write("x-y.ivr", "5    b.wav\n-    disconnect\n1    disconnect\n");
  EXPECT_NE(Call({Main(), "1"}).err.find(dir.Path() + "x-y.ivr:3: строка "), std::string::npos);
}

TEST_F(CallSets, InteractiveCallsAskForEachEventUntilTheCallEnds) {
  const Outcome run = Call({kWorked}, "\n1 bogus\n1\nbusy\n0\n1\n", true);
  EXPECT_EQ(run.status, CallExitStatus::Success);
  EXPECT_EQ(run.out, kMain +
                         Lines({"press 1", "menu sales.ivr", "play sales.wav", "wait 15s",
                                "press 1", "dial 123", "busy"}) +
                         kMain + Lines({"press 0", "hangup"}));
  const std::string strAsk = "событие (клавиша, silence, fax)> ";
  EXPECT_EQ(run.err, strAsk + strAsk +
                         "событие 2 «bogus» неизвестно: звонок ждёт клавишу (один знак), silence "
                         "или fax\n" +
                         strAsk + "исход перевода (answer, busy, noanswer)> " + strAsk);
}

TEST_F(CallSets, InteractiveCallsEndWithTheirInput) {
  const Outcome run = Call({kWorked}, "silence\n", true);
  EXPECT_EQ(run.status, CallExitStatus::Success);
  EXPECT_EQ(run.out, kMain + "silence\n" + kMain);
  const std::string strAsk = "событие (клавиша, silence, fax)> ";
  EXPECT_EQ(run.err, strAsk + strAsk + "\n");
}

struct RecordCase {
  const char* szName;
  std::string record;
  CallExitStatus status;
  std::string err; ///< with RECORD for the record's path
};

void PrintTo(const RecordCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class Records : public CallSets, public testing::WithParamInterface<RecordCase> {};

TEST_P(Records, AreCheckedLineByLine) {
  const std::string strRecord = dir.Write("call.txt", GetParam().record);
  const Outcome run = Call({"--expect", strRecord, kWorked});
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_EQ(run.out, "");
  std::string strExpected = GetParam().err;
  if (const std::size_t nAt = strExpected.find("RECORD"); nAt != std::string::npos)
    strExpected.replace(nAt, 6, strRecord);
  EXPECT_EQ(run.err, strExpected);
}

const std::string kRecorded = "# the caller tries sales, which is busy\r\n" + kMain +
                              Lines({"press 1", "menu sales.ivr", "play sales.wav", "wait 15s", "",
                                     "press 1", "dial 123", "busy"}) +
                              kMain;

INSTANTIATE_TEST_SUITE_P(
    Calls, Records,
    testing::Values(
        RecordCase{"Same", kRecorded, CallExitStatus::Success, ""},
        RecordCase{"AnotherStep",
                   kMain + Lines({"press 1", "menu sales.ivr", "play sales.wav", "wait 10s"}),
                   CallExitStatus::Differs,
                   "error: dovetrel-call: звонок расходится с записью RECORD:7: в записи «wait "
                   "10s», в звонке «wait 15s»\n"},
        RecordCase{"RecordEndsEarly", kMain + Lines({"press 2"}), CallExitStatus::Differs,
                   "error: dovetrel-call: звонок расходится с записью RECORD:5: в записи конец, в "
                   "звонке «dial 123»\n"},
        RecordCase{"EventTheCallDoesNotTake", kMain + Lines({"press 0", "press 1"}),
                   CallExitStatus::Differs,
                   "error: dovetrel-call: звонок расходится с записью RECORD:5: в записи «press "
                   "1», в звонке «hangup»\n"},
        RecordCase{"EventAfterHangup", kMain + Lines({"press 0", "hangup", "", "press 1"}),
                   CallExitStatus::Usage,
                   "RECORD:7: error: Строка записи звонка стоит после hangup: звонок на нём "
                   "окончен!\n"},
        RecordCase{"UnknownWord", "# a note\n" + kMain + Lines({"hold 1"}), CallExitStatus::Usage,
                   "RECORD:5: error: Строка записи звонка начинается не со слова хода звонка "
                   "(menu, play, wait, press, silence, fax, dial, answer, busy, noanswer, "
                   "hangup)!\n"}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST_F(CallSets, ARecordReplaysTheKeysItWasMadeWith) {
  // In Windows-1251 the byte 0x85 is "…", which a row answers; the control U+0085 is no key of
  // the set. A record of the one must not replay the other.
  dir.Write("main.ivr", "5    \xEF.wav\n\x85    dial            1\n");
  for (const char* szKey : {"\xC2\x85", "\xE2\x80\xA6"}) {
    const Outcome made = Call({Main(), szKey});
    ASSERT_EQ(made.status, CallExitStatus::Success) << made.err;
    const std::string strRecord = dir.Write("call.txt", made.out);
    const Outcome replayed = Call({"--expect", strRecord, Main()});
    EXPECT_EQ(replayed.status, CallExitStatus::Success) << made.out << replayed.err;
  }
}

TEST_F(CallSets, AMissingRecordIsAFailure) {
  const Outcome run = Call({"--expect", dir.Path() + "none.txt", kWorked});
  EXPECT_EQ(run.status, CallExitStatus::Failure);
  EXPECT_EQ(run.err, dir.Path() +
                         "none.txt: error: Не удалось прочитать запись звонка! (No such file or "
                         "directory)\n");
}

/// The names in folder \p strDir, sorted.
std::vector<std::string> Files(const std::string& strDir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(strDir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(CallSets, CoverWritesRecordsThatReplayAndKeepsThoseThere) {
  for (const char* szDialect : {"classic", "w3c"}) {
    const std::string strCalls = dir.Path() + "calls-" + szDialect;
    const Outcome first = Call({"--dialect", szDialect, "--cover", strCalls, kWorked});
    EXPECT_EQ(first.status, CallExitStatus::Success) << first.err;
    EXPECT_EQ(first.out, "записано 5 звонков (не меньше 5: столько исходов завершают звонок)\n");
    EXPECT_EQ(first.err, "");
    const std::vector<std::string> names = Files(strCalls);
    EXPECT_EQ(names, (std::vector<std::string>{"cover-1-1-answer.txt", "cover-1-1-busy-0.txt",
                                               "cover-1-1-noanswer.txt", "cover-1-silence.txt",
                                               "cover-silence-2-answer.txt"}));
    for (const std::string& strName : names) {
      const std::string strRecord = strCalls + "/" += strName;
      EXPECT_EQ(Call({"--dialect", szDialect, "--expect", strRecord, kWorked}).status,
                CallExitStatus::Success)
          << strName;
    }
    // A record already there stays as it is, whatever it holds; the missing ones are written.
    const std::string strKept = strCalls + "/" + names.front();
    dir.Write(std::string("calls-") + szDialect + "/" + names.front(), "# kept\n");
    for (std::size_t i = 1; i < names.size(); ++i)
      std::filesystem::remove(strCalls + "/" + names[i]);
    const Outcome second = Call({"--dialect", szDialect, "--cover", strCalls, kWorked});
    EXPECT_EQ(second.status, CallExitStatus::Success);
    EXPECT_EQ(second.out,
              "записано 4 звонка из 5 (не меньше 5: столько исходов завершают звонок)\n");
    EXPECT_EQ(second.err, strKept + ": запись уже есть, оставлена как есть\n");
    EXPECT_EQ(test::ReadWholeFile(strKept), "# kept\n");
  }
  // A folder that cannot be written is said before any call runs.
  const std::string strFile = dir.Write("file", "x");
  const Outcome blocked = Call({"--cover", strFile + "/calls", kWorked});
  EXPECT_EQ(blocked.status, CallExitStatus::Usage);
  EXPECT_EQ(blocked.out, "");
  EXPECT_EQ(blocked.err.rfind(
                "error: dovetrel-call: нельзя писать в каталог записей " + strFile + "/calls: ", 0),
            0U)
      << blocked.err;
}

} // namespace
} // namespace dovetrel
