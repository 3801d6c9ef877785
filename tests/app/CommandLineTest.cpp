#include "app/CommandLine.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace dovetrel {
namespace {

using test::CTempDir;

struct Outcome {
  int nStatus;
  std::string out;
  std::string err;
};

Outcome Call(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int nStatus = RunCommandLine(args, out, err);
  return Outcome{nStatus, out.str(), err.str()};
}

TEST(CommandLine, HelpAndVersionGoToStandardOutput) {
  const Outcome help = Call({"--help"});
  EXPECT_EQ(help.nStatus, kExitSuccess);
  EXPECT_NE(help.out.find("dovetrel-convert [--encoding NAME] IVR_FILE [VXML_FILE]"),
            std::string::npos);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(Call({"-h"}).out, help.out);
  const Outcome version = Call({"--version"});
  EXPECT_EQ(version.nStatus, kExitSuccess);
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
  EXPECT_EQ(run.nStatus, kExitUsage);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "error: dovetrel-convert: " + GetParam().reason +
                         "\n  справка: dovetrel-convert --help\n");
}

INSTANTIATE_TEST_SUITE_P(
    Calls, UsageErrors,
    testing::Values(UsageCase{{}, "не указан файл сценария IVR"},
                    UsageCase{{"--bogus", "a.ivr"}, "неизвестный параметр --bogus"},
                    UsageCase{{"a.ivr", "b.vxml", "c"}, "лишний аргумент c"},
                    UsageCase{{"--check", "a.ivr", "b.vxml"}, "лишний аргумент b.vxml"},
                    UsageCase{{"a.ivr", "--encoding"}, "параметру --encoding нужно имя кодировки"},
                    UsageCase{{"--encoding", "NO-SUCH", "a.ivr"}, "неизвестная кодировка NO-SUCH"},
                    UsageCase{{"--encoding=NO-SUCH", "a.ivr"}, "неизвестная кодировка NO-SUCH"}));

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
  EXPECT_EQ(run.nStatus, kExitSuccess);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "information: Файл сценария IVR успешно преобразован в сценарий VoiceXML!\n");
  EXPECT_NE(dir.Read("main.vxml").find("<form id=\"sub\">"), std::string::npos);
}

TEST_F(Conversions, FailureGivesTheStepsMessageWithItsDetailThenTheSummary) {
  dir.Write("sub.ivr", "15\n");
  const Outcome run = Call({dir.Path() + "main.ivr", dir.Path() + "out.vxml"});
  EXPECT_EQ(run.nStatus, kExitFailure);
  EXPECT_EQ(run.err,
            "warning: Формат файла сценария IVR не верен (имя аудио файла приветствия)!\n"
            "  " + dir.Path() + "sub.ivr:1\n"
            "warning: Не удалось загрузить указанный сценарий IVR или вложенный в него сценарий!\n");
  EXPECT_EQ(dir.List(), "main.ivr sub.ivr");
}

TEST_F(Conversions, DoubleDashEndsTheOptions) {
  dir.Write("-odd.ivr", "10   a.wav\n");
  const Outcome run = Call({"--encoding", "KOI8-R", "--", dir.Path() + "-odd.ivr", dir.Path() + "x"});
  EXPECT_EQ(run.nStatus, kExitSuccess) << run.err;
  EXPECT_NE(dir.Read("x").find("<form id=\"-odd\">"), std::string::npos);
}

TEST_F(Conversions, CheckReadsWithoutWriting) {
  EXPECT_EQ(Call({"--check", dir.Path() + "main.ivr"}).nStatus, kExitSuccess);
  EXPECT_EQ(dir.List(), "main.ivr sub.ivr");
  const Outcome run = Call({"--check", dir.Path() + "none.ivr"});
  EXPECT_EQ(run.nStatus, kExitFailure);
  EXPECT_EQ(run.err.rfind("warning: Не удалось открыть файл сценария IVR!\n", 0), 0u);
}

} // namespace
} // namespace dovetrel
