#include "cli/CallCommandLine.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace dovetrel {
namespace {

using test::CTempDir;

struct Outcome {
  CallExitStatus status;
  std::string out;
  std::string err;
};

Outcome Call(const std::vector<std::string>& args) {
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  const CallExitStatus status = RunCallCommandLine(args, in, out, err, false);
  return Outcome{status, out.str(), err.str()};
}

/// A set whose every kind of row can act: a menu, a dial with its busy row, a fax row, no input.
constexpr const char* kMainIvr = "10   welcome.wav\n"
                                 "1    menu            sales.ivr\n"
                                 "2    dial            123\n"
                                 "b    menu            main.ivr\n"
                                 "f    disconnect\n"
                                 "-    disconnect\n";
constexpr const char* kSalesIvr = "15   sales.wav\n"
                                  "1    dial            456\n"
                                  "-    menu            main.ivr\n";

/// The events of the calls the cases record, each named by a letter.
const std::map<char, std::vector<std::string>> kCalls = {
    {'A', {"2", "busy", "silence"}},              // main 3, its busy row 4, no input 6
    {'B', {"1", "silence", "fax"}},               // main 2, sales 3, the fax row main 5
    {'C', {"1", "1", "answer"}},                  // main 2, sales 2
    {'D', {"2", "busy", "2", "busy", "silence"}}, // main 3 and 4 twice, 6
    {'E', {"2", "noanswer"}},                     // main 3, its no-answer outcome
};

class CallCoverage : public testing::Test {
protected:
  void SetUp() override {
    dir.Write("main.ivr", kMainIvr);
    dir.Write("sales.ivr", kSalesIvr);
  }
  std::string Main() const { return dir.Path() + "main.ivr"; }

  /// The command line of a coverage run of the calls \p calls (letters of kCalls), each recorded
  /// by dovetrel-call itself, with \p options before the set.
  std::vector<std::string> Coverage(const std::string& calls,
                                    const std::vector<std::string>& options) const {
    std::vector<std::string> args{"--coverage"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(Main());
    for (const char call : calls) {
      std::vector<std::string> events{Main()};
      const auto& steps = kCalls.at(call);
      events.insert(events.end(), steps.begin(), steps.end());
      const Outcome made = Call(events);
      EXPECT_EQ(made.status, CallExitStatus::Success) << made.err;
      args.push_back(dir.Write(std::string(1, call) + ".txt", made.out));
    }
    return args;
  }

  CTempDir dir;
};

/// The places of \p err that say a row or a no-answer outcome (" noanswer" after it) is not
/// covered.
std::string Uncovered(const std::string& err) {
  std::istringstream lines(err);
  std::string strUncovered;
  for (std::string strLine; std::getline(lines, strLine);) {
    const bool bRow = strLine.ends_with(": warning: строка не проверена ни одним звонком");
    if (bRow || strLine.ends_with("этого перевода не проверен ни одним звонком"))
      strUncovered += strLine.substr(0, strLine.find(": warning")) + (bRow ? " " : " noanswer ");
  }
  return strUncovered;
}

struct CoverageCase {
  const char* szName;
  std::string calls;
  std::vector<std::string> options;
  CallExitStatus status;
  std::string uncovered; ///< "FILE:LINE:1 ..." with DIR for the set's folder
  std::string summary;
};

void PrintTo(const CoverageCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class CoverageCases : public CallCoverage, public testing::WithParamInterface<CoverageCase> {};

TEST_P(CoverageCases, ListTheRowsNoCallTookAndCountTheRest) {
  const CoverageCase& c = GetParam();
  const Outcome run = Call(Coverage(c.calls, c.options));
  EXPECT_EQ(run.status, c.status) << run.err;
  std::string strExpected = c.uncovered;
  for (std::size_t nAt; (nAt = strExpected.find("DIR/")) != std::string::npos;)
    strExpected.replace(nAt, 4, dir.Path());
  EXPECT_EQ(Uncovered(run.err), strExpected);
  EXPECT_EQ(run.out, "строк проверено звонками: " + c.summary + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Sets, CoverageCases,
    testing::Values(CoverageCase{"OneCall",
                                 "A",
                                 {},
                                 CallExitStatus::Differs,
                                 "DIR/main.ivr:2:1 DIR/main.ivr:3:1 noanswer DIR/main.ivr:5:1 "
                                 "DIR/sales.ivr:2:1 DIR/sales.ivr:3:1 ",
                                 "3 из 7, исходов «нет ответа»: 0 из 1 (37,5 %)"},
                    CoverageCase{"EveryRow",
                                 "ABCE",
                                 {},
                                 CallExitStatus::Success,
                                 "",
                                 "7 из 7, исходов «нет ответа»: 1 из 1 (100,0 %)"},
                    CoverageCase{"NoAnswerLeft",
                                 "ABC",
                                 {},
                                 CallExitStatus::Differs,
                                 "DIR/main.ivr:3:1 noanswer ",
                                 "7 из 7, исходов «нет ответа»: 0 из 1 (87,5 %)"},
                    CoverageCase{"MinRelaxes",
                                 "ABE",
                                 {"--min", "87.5"},
                                 CallExitStatus::Success,
                                 "DIR/sales.ivr:2:1 ",
                                 "6 из 7, исходов «нет ответа»: 1 из 1 (87,5 %)"},
                    CoverageCase{"MinAboveTheShare",
                                 "ABE",
                                 {"--min", "88"},
                                 CallExitStatus::Differs,
                                 "DIR/sales.ivr:2:1 ",
                                 "6 из 7, исходов «нет ответа»: 1 из 1 (87,5 %)"},
                    CoverageCase{"StandardHasNoFaxRow",
                                 "ACE",
                                 {"--dialect", "w3c"},
                                 CallExitStatus::Differs,
                                 "DIR/sales.ivr:3:1 ",
                                 "5 из 6, исходов «нет ответа»: 1 из 1 (85,7 %)"},
                    CoverageCase{"BothDialects",
                                 "AC",
                                 {"--dialect", "both"},
                                 CallExitStatus::Differs,
                                 "DIR/main.ivr:3:1 noanswer DIR/main.ivr:5:1 DIR/sales.ivr:3:1 ",
                                 "5 из 7, исходов «нет ответа»: 0 из 1 (62,5 %)"}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST_F(CallCoverage, TheTracefileCountsEveryTimeARowActed) {
  const std::string strLcov = dir.Path() + "calls.info";
  const Outcome run = Call(Coverage("DCE", {"--lcov", strLcov}));
  EXPECT_EQ(run.status, CallExitStatus::Differs) << run.err;
  EXPECT_EQ(test::ReadWholeFile(strLcov),
            "TN:dovetrel\nSF:" + Main() +
                "\nBRDA:3,0,0,1\nBRF:1\nBRH:1\n"
                "DA:2,1\nDA:3,3\nDA:4,2\nDA:5,0\nDA:6,1\nLF:5\nLH:4\nend_of_record\n"
                "TN:dovetrel\nSF:" +
                dir.Path() + "sales.ivr\nDA:2,1\nDA:3,0\nLF:2\nLH:1\nend_of_record\n");
}

TEST_F(CallCoverage, ARecordThatDiffersIsSaidInEachDialect) {
  const std::string strRecord = dir.Write("late.txt", "menu main.ivr\nplay welcome.wav\nwait 9s\n");
  const Outcome run = Call({"--coverage", "--dialect", "both", Main(), strRecord});
  EXPECT_EQ(run.status, CallExitStatus::Differs);
  const std::string strDiffers = "error: dovetrel-call: звонок расходится с записью " + strRecord +
                                 ":3: в записи «wait 9s», в звонке «wait 10s» (документ ";
  EXPECT_NE(run.err.find(strDiffers + "classic)\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(strDiffers + "w3c)\n"), std::string::npos) << run.err;
}

struct BadCase {
  const char* szName;
  std::vector<std::string> args; ///< RECORD for a bad record, GOOD for a good one, MAIN
  CallExitStatus status;
  std::string err; ///< what standard error starts with
};

void PrintTo(const BadCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class BadCoverage : public CallCoverage, public testing::WithParamInterface<BadCase> {};

TEST_P(BadCoverage, IsAnErrorBeforeOrInsteadOfTheSummary) {
  const std::string strRecord = dir.Write("bad.txt", "menu main.ivr\nhangup\nsilence\n");
  const std::string strGood = dir.Write("good.txt", "menu main.ivr\nplay welcome.wav\nwait 10s\n");
  std::vector<std::string> args = GetParam().args;
  for (std::string& strArg : args)
    strArg = strArg == "RECORD" ? strRecord
             : strArg == "GOOD" ? strGood
             : strArg == "MAIN" ? Main()
                                : strArg;
  const Outcome run = Call(args);
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_EQ(run.out, "");
  std::string strExpected = GetParam().err;
  if (const std::size_t nAt = strExpected.find("DIR/"); nAt != std::string::npos)
    strExpected.replace(nAt, 4, dir.Path());
  EXPECT_EQ(run.err.substr(0, strExpected.size()), strExpected) << run.err;
  EXPECT_EQ(test::ReadWholeFile(Main()), kMainIvr);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, BadCoverage,
    testing::Values(
        BadCase{"EventAfterHangup",
                {"--coverage", "MAIN", "RECORD"},
                CallExitStatus::Usage,
                "DIR/bad.txt:3: error: Строка записи звонка стоит после hangup"},
        BadCase{"NoRecord",
                {"--coverage", "MAIN"},
                CallExitStatus::Usage,
                "error: dovetrel-call: --coverage: нужна хотя бы одна запись звонка"},
        BadCase{"LcovAlone",
                {"--lcov", "x.info", "MAIN"},
                CallExitStatus::Usage,
                "error: dovetrel-call: --lcov и --min только с --coverage"},
        BadCase{"BothAlone",
                {"--dialect", "both", "MAIN"},
                CallExitStatus::Usage,
                "error: dovetrel-call: --dialect both только с --coverage"},
        BadCase{"MinOutOfRange",
                {"--coverage", "--min", "120", "MAIN", "RECORD"},
                CallExitStatus::Usage,
                "error: dovetrel-call: "},
        BadCase{"LcovOverTheSet",
                {"--coverage", "--lcov", "MAIN", "MAIN", "GOOD"},
                CallExitStatus::Failure,
                "error: Файл покрытия совпадает с файлом сценария IVR или записью звонка"},
        BadCase{"LcovOverARecord",
                {"--coverage", "--lcov", "GOOD", "MAIN", "GOOD"},
                CallExitStatus::Failure,
                "error: Файл покрытия совпадает с файлом сценария IVR или записью звонка"}),
    [](const auto& info) { return std::string(info.param.szName); });

} // namespace
} // namespace dovetrel
