#include "cli/CommandLine.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace dovetrel {
namespace {

using test::CTempDir;

struct Outcome {
  ExitStatus status;
  std::string out;
  std::string err;
};

Outcome Call(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const ExitStatus status = RunCommandLine(args, out, err);
  return Outcome{status, out.str(), err.str()};
}

TEST(CommandLine, HelpAndVersionGoToStandardOutput) {
  const Outcome help = Call({"--help"});
  EXPECT_EQ(help.status, ExitStatus::Success);
  EXPECT_NE(help.out.find("dovetrel-convert [--dialect classic|w3c] [--encoding NAME] IVR_FILE "
                          "[VXML_FILE]"),
            std::string::npos);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(Call({"-h"}).out, help.out);
  EXPECT_EQ(Call({"--encoding", "NO-SUCH", "--help"}).out, help.out);
  const Outcome version = Call({"--version"});
  EXPECT_EQ(version.status, ExitStatus::Success);
  EXPECT_EQ(version.out, "dovetrel-convert 1.3\n");
  EXPECT_EQ(Call({"-V"}).out, version.out);
}

struct UsageCase {
  std::vector<std::string> args;
  std::string reason;
};

class UsageErrors : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, ExitWithTwoAndSayWhy) {
  const Outcome run = Call(GetParam().args);
  EXPECT_EQ(run.status, ExitStatus::Usage);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "error: dovetrel-convert: " + GetParam().reason +
                         "\n  справка: dovetrel-convert --help\n");
}

INSTANTIATE_TEST_SUITE_P(
    Calls, UsageErrors,
    testing::Values(
        UsageCase{{}, "не указан файл сценария IVR"},
        UsageCase{{"--bogus", "a.ivr"}, "неизвестный параметр --bogus"},
        UsageCase{{"a.ivr", "b.vxml", "c"}, "лишний аргумент c"},
        UsageCase{{"--check", "a.ivr", "b.vxml"}, "лишний аргумент b.vxml"},
        UsageCase{{"a.ivr", "--encoding"}, "параметру --encoding нужно имя кодировки"},
        UsageCase{{"--encoding", "NO-SUCH", "a.ivr"}, "неизвестная кодировка NO-SUCH"},
        UsageCase{{"--encoding=NO-SUCH", "a.ivr"}, "неизвестная кодировка NO-SUCH"},
        UsageCase{{"--dialect", "vxml3", "a.ivr"},
                  "неизвестный вид документа vxml3 (classic или w3c)"},
        UsageCase{{"a.ivr", "--dialect"}, "параметру --dialect нужно название вида документа"},
        UsageCase{{"--check=x", "a.ivr"}, "неизвестный параметр --check=x"},
        UsageCase{{"-hV"}, "неизвестный параметр -hV"},
        UsageCase{{"--flow=", "a.ivr"}, "параметру --flow нужно имя файла схемы"},
        UsageCase{{"--check", "--flow", "f.svg"}, "--check и --flow нельзя указывать вместе"},
        UsageCase{{"--fix", "--check", "a.ivr"}, "--fix и --check нельзя указывать вместе"},
        UsageCase{{"--fix", "--flow", "f.svg", "a.ivr"}, "--fix и --flow нельзя указывать вместе"},
        UsageCase{{"--fix", "a.ivr", "b.vxml"}, "лишний аргумент b.vxml"},
        UsageCase{{"--dry-run", "a.ivr"}, "--dry-run указывают только вместе с --fix"}));

class Conversions : public testing::Test {
protected:
  Conversions() {
    dir.Write("main.ivr", "10   a.wav\n1    menu            sub.ivr\n");
    dir.Write("sub.ivr", "15   b.wav\n");
  }
  CTempDir dir;
};

TEST_F(Conversions, SuccessIsOneInformationLineAndTheDocumentBesideTheScenario) {
  const Outcome run = Call({dir.Path() + "main.ivr"});
  EXPECT_EQ(run.status, ExitStatus::Success);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "information: Файл сценария IVR успешно преобразован в сценарий VoiceXML!\n");
  EXPECT_NE(dir.Read("main.vxml").find("<form id=\"sub\">"), std::string::npos);
}

TEST_F(Conversions, FailureGivesTheStepsMessageWithItsDetailThenTheSummary) {
  dir.Write("sub.ivr", "15\n");
  const Outcome run = Call({dir.Path() + "main.ivr", dir.Path() + "out.vxml"});
  EXPECT_EQ(run.status, ExitStatus::Failure);
  EXPECT_EQ(
      run.err,
      "error: Формат файла сценария IVR не верен (имя аудио файла приветствия)!\n"
      "  " +
          dir.Path() +
          "sub.ivr:1\n"
          "error: Не удалось загрузить указанный сценарий IVR или вложенный в него сценарий!\n");
  EXPECT_EQ(dir.List(), "main.ivr sub.ivr");
}

TEST_F(Conversions, DoubleDashEndsTheOptions) {
  dir.Write("-odd.ivr", "10   a.wav\n");
  const Outcome run =
      Call({"--encoding", "KOI8-R", "--", dir.Path() + "-odd.ivr", dir.Path() + "x"});
  EXPECT_EQ(run.status, ExitStatus::Success) << run.err;
  EXPECT_NE(dir.Read("x").find("<form id=\"-odd\">"), std::string::npos);
}

TEST_F(Conversions, WarningsFollowTheSuccessLine) {
  dir.Write("sub.ivr", "15   b.wav\n1 menu main.ivr\n");
  const Outcome run = Call({dir.Path() + "main.ivr"});
  EXPECT_EQ(run.status, ExitStatus::Success);
  EXPECT_EQ(run.err,
            "information: Файл сценария IVR успешно преобразован в сценарий VoiceXML!\n"
            "  " +
                dir.Path() +
                "sub.ivr:2:3: warning: ключевое слово «menu» начинается "
                "в столбце 3, а не в 6: строка не сработает; поставьте его начало в столбец 6\n");
}

struct CheckCase {
  const char* szName;
  std::string sub; ///< content of sub.ivr, which main.ivr names
  ExitStatus status;
  std::string err; ///< with DIR for the directory
};

void PrintTo(const CheckCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

/// What --check notes of the set's greetings, a.wav and b.wav, whose sound files are not there.
const std::string kGreetings =
    "DIRmain.ivr:1:6: information: приветствие «a.wav»: звукового файла с таким именем нет рядом "
    "со сценарием, звонок его не проиграет\n"
    "DIRsub.ivr:1:6: information: приветствие «b.wav»: звукового файла с таким именем нет рядом "
    "со сценарием, звонок его не проиграет\n";

class Check : public Conversions, public testing::WithParamInterface<CheckCase> {};

TEST_P(Check, ReadsAndReportsWithoutWriting) {
  dir.Write("sub.ivr", GetParam().sub);
  const Outcome run = Call({"--check", dir.Path() + "main.ivr"});
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_EQ(run.out, "");
  std::string strExpected = GetParam().err;
  for (std::size_t nAt = strExpected.find("DIR"); nAt != std::string::npos;
       nAt = strExpected.find("DIR"))
    strExpected.replace(nAt, 3, dir.Path());
  EXPECT_EQ(run.err, strExpected);
  EXPECT_EQ(dir.List(), "main.ivr sub.ivr");
}

INSTANTIATE_TEST_SUITE_P(
    Sets, Check,
    testing::Values(
        CheckCase{"Clean", "15   b.wav\n1    menu            main.ivr\n", ExitStatus::Success,
                  kGreetings},
        CheckCase{"WarningsOnly", "15   b.wav\n1    Menu            main.ivr\n",
                  ExitStatus::Warnings,
                  kGreetings +
                      "DIRsub.ivr:2:6: warning: «Menu» — не ключевое слово: ключевые слова пишутся "
                      "строчными буквами, «menu»; строка не сработает\n"},
        CheckCase{"ReaderFailure", "15\n", ExitStatus::Failure,
                  "DIRsub.ivr:1:3: error: Формат файла сценария IVR не верен (имя аудио файла "
                  "приветствия)!\n"},
        CheckCase{"RowThatCannotBeWritten", "15   b.wav\n1    dial            \x01\n",
                  ExitStatus::Failure,
                  kGreetings + "DIRsub.ivr:2: error: Ошибка записи элемента сценария VoiceXML!\n"},
        CheckCase{"NoInputWithoutAKeyword", "15   b.wav\n-    jump\n", ExitStatus::Failure,
                  kGreetings +
                      "DIRsub.ivr:2:6: warning: «jump» — не ключевое слово действия: строка не "
                      "сработает; укажите menu, dial или disconnect\n"
                      "DIRsub.ivr:2: error: Ошибка записи элемента сценария VoiceXML!\n"}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST_F(Conversions, CheckOfAMissingFile) {
  const Outcome run = Call({"--check", dir.Path() + "none.ivr"});
  EXPECT_EQ(run.status, ExitStatus::Failure);
  EXPECT_EQ(run.err, dir.Path() + "none.ivr: error: Не удалось открыть файл сценария IVR! (No "
                                  "such file or directory)\n");
}

} // namespace
} // namespace dovetrel
