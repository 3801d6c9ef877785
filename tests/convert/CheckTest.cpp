#include "convert/Conversion.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/FixCheck.h"
#include "tests/support/MemoryFiles.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

using test::CMemoryFiles;

/// Loads /s/main.ivr (plus \p others) under the checker; the findings, paths shortened to names.
std::vector<std::string>
Check(const std::string& strMain,
      const std::vector<std::pair<std::string, std::string>>& others = {}) {
  CMemoryFiles files;
  files.Add("/s/main.ivr", strMain);
  for (const auto& [strName, strContent] : others)
    files.Add("/s/" + strName, strContent);
  ConversionOptions options;
  options.pFiles = &files;
  std::vector<std::string> findings;
  for (const Finding& finding : RunCheck("/s/main.ivr", options))
    findings.push_back(FormatFinding(finding).substr(3));
  return findings;
}

struct TrapCase {
  const char* szName;
  std::string lines; ///< key lines after a sound header, or the whole file when it has no header
  std::vector<std::string> findings; ///< beginnings of the findings, in order
  std::vector<std::pair<std::string, std::string>> others = {};
  /// The key lines as the author meant them, when the fixes of --check should give their document.
  std::string meant = {};
};

void PrintTo(const TrapCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class Traps : public testing::TestWithParam<TrapCase> {};

/// The main file of \p strLines: they follow a sound header, unless they begin with '#'.
std::string MainFile(const std::string& strLines) {
  return strLines.starts_with('#') ? strLines.substr(1) : "10   a.wav\n" + strLines;
}

TEST_P(Traps, AreFoundAtTheirLineAndColumn) {
  const TrapCase& c = GetParam();
  const std::string strMain = MainFile(c.lines);
  const std::vector<std::string> findings = Check(strMain, c.others);
  ASSERT_EQ(findings.size(), c.findings.size()) << testing::PrintToString(findings);
  for (std::size_t i = 0; i < findings.size(); ++i)
    EXPECT_EQ(findings[i].substr(0, c.findings[i].size()), c.findings[i]);
}

/// The set of \p c.
test::FileSet Files(const TrapCase& c) {
  test::FileSet files{{"/s/main.ivr", MainFile(c.lines)}};
  for (const auto& [strName, strContent] : c.others)
    files["/s/" + strName] = strContent;
  return files;
}

TEST_P(Traps, FixesMendTheirFindingsAsTheAuthorMeant) {
  const TrapCase& c = GetParam();
  const test::FileSet files = Files(c);
  test::ExpectFixesMend(files);
  if (c.meant.empty())
    return;
  test::FileSet meant = files;
  meant["/s/main.ivr"] = MainFile(c.meant);
  const std::string strMeant = test::Document(meant);
  ASSERT_NE(strMeant, "");
  EXPECT_EQ(test::Document(test::FixAll(files)), strMeant);
}

TEST_P(Traps, SafeFixesLeaveOnlyWhatNeedsTheAuthor) {
  const TrapCase& c = GetParam();
  const test::FileSet fixed = test::ExpectSafeFixesApplied(Files(c));
  // Where nothing but safe fixes was needed, the set now says what the author meant.
  if (c.meant.empty() || test::FixAll(fixed) != fixed)
    return;
  test::FileSet meant = Files(c);
  meant["/s/main.ivr"] = MainFile(c.meant);
  EXPECT_EQ(test::Document(fixed), test::Document(meant));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Traps,
    testing::Values(
        TrapCase{"KeywordInTheWrongColumn",
                 "1 menu sales.ivr\n",
                 {"main.ivr:2:3: warning: ключевое слово «menu» начинается в столбце 3, а не в 6"},
                 {{"sales.ivr", "10   a.wav\n"}},
                 "1    menu            sales.ivr\n"},
        TrapCase{"KeywordCutByTheKey",
                 "abcdef menu\n",
                 {"main.ivr:2:1: warning: клавиша «abcdef» длиннее одного знака",
                  "main.ivr:2:8: warning: ключевое слово «menu» начинается в столбце 8"}},
        TrapCase{"NotAKeyword",
                 "1    jump            x.ivr\n",
                 {"main.ivr:2:6: warning: «jump» — не ключевое слово действия"}},
        TrapCase{"KeywordInCapitals",
                 "1    Menu            x.ivr\n",
                 {"main.ivr:2:6: warning: «Menu» — не ключевое слово: ключевые слова пишутся "
                  "строчными буквами, «menu»"},
                 {{"x.ivr", "10   a.wav\n"}},
                 "1    menu            x.ivr\n"},
        TrapCase{"NoAction", "1\n", {"main.ivr:2:6: warning: в столбце 6 нет действия"}},
        TrapCase{"DialWithoutArgument",
                 "1    dial\n",
                 {"main.ivr:2:22: warning: у действия dial нет аргумента"}},
        TrapCase{"MenuWithoutArgument",
                 "1    menu\n",
                 {"main.ivr:2:22: warning: у действия menu нет аргумента",
                  "main.ivr:2:22: error: Не удалось открыть файл сценария IVR! (/s/: "}},
        TrapCase{"ArgumentOneColumnEarly",
                 "1    dial           123\n",
                 {"main.ivr:2:21: warning: аргумент «123» начинается в столбце 21, а не в 22: "
                  "будет прочитано «23»"},
                 {},
                 "1    dial            123\n"},
        TrapCase{"ArgumentFarTooEarly",
                 "1    dial  123\n",
                 {"main.ivr:2:12: warning: аргумент «123» стоит до столбца 22 и не будет "
                  "прочитан"},
                 {},
                 "1    dial            123\n"},
        TrapCase{"ArgumentLateIsReadWhole", "1    dial               123\n", {}},
        TrapCase{"GreetingTooNearTheTimeout",
                 "#10 hello.wav\n",
                 {"main.ivr:1:4: warning: приветствие «hello.wav» начинается меньше чем через три "
                  "пробела после времени ожидания: будет прочитано «llo.wav»"},
                 {},
                 "#10   hello.wav\n"},
        TrapCase{"GreetingPassedOver",
                 "#10 a  b.wav\n",
                 {"main.ivr:1:4: warning: приветствие «a» начинается меньше чем через три пробела "
                  "после времени ожидания: будет прочитано «b.wav»"}},
        TrapCase{"GreetingLost",
                 "#10 x\n",
                 {"main.ivr:1:4: warning: приветствие «x» начинается меньше чем через три пробела "
                  "после времени ожидания: ничего не будет прочитано",
                  "main.ivr:1:5: error: Формат файла сценария IVR не верен (имя аудио файла "
                  "приветствия)!"}},
        TrapCase{"LongKey",
                 "12   dial            5\n",
                 {"main.ivr:2:1: warning: клавиша «12» длиннее одного знака"}},
        TrapCase{"NoKeyInColumnOne",
                 "     menu            x.ivr\n",
                 {"main.ivr:2:6: warning: в столбце 1 нет клавиши: клавишей станет первый знак "
                  "слова «menu»"},
                 {{"x.ivr", "10   a.wav\n"}}},
        TrapCase{"SameKeyTwice",
                 "1    dial            5\n2    disconnect\n1    dial            6\n",
                 {"main.ivr:4:1: warning: клавиша «1» уже назначена в строке 2"}},
        TrapCase{"SecondNoInputLine",
                 "-    disconnect\n\n-    dial            5\n",
                 {"main.ivr:4:1: warning: действие при отсутствии ввода уже задано в строке 2"}},
        TrapCase{"BusyLineAboveItsDial",
                 "b    disconnect\n1    dial            5\n",
                 {"main.ivr:2:1: warning: строка занятости (b) не служит ни одному переводу"}},
        TrapCase{"BusyLineWithoutAnyDial",
                 "1    disconnect\nb    disconnect\n",
                 {"main.ivr:3:1: warning: строка занятости (b) не служит ни одному переводу"}},
        TrapCase{"BusyLineServingADial", "1    dial            5\nb    disconnect\n", {}},
        TrapCase{"BusyLineServingTheNoInputDial", "b    disconnect\n-    dial            5\n", {}},
        TrapCase{"TimeoutNotANumber",
                 "#abc   a.wav\n",
                 {"main.ivr:1:1: warning: время ожидания «abc» — не число секунд"}},
        TrapCase{"TimeoutWithItsUnit",
                 "#10s   a.wav\n",
                 {"main.ivr:1:1: warning: время ожидания «10s» — не число секунд"},
                 {},
                 "#10   a.wav\n"},
        TrapCase{"TextAfterTheArgument",
                 "1    dial            5 6\n",
                 {"main.ivr:2:24: warning: текст «6» после аргумента не читается"}},
        TrapCase{"NestedFileMissing",
                 "1    menu            gone.ivr\n",
                 {"main.ivr:2:22: error: Не удалось открыть файл сценария IVR! (/s/gone.ivr: No "
                  "such file or directory)"}},
        TrapCase{"EmptyHeader",
                 "#\n",
                 {"main.ivr:1:1: error: Формат файла сценария IVR не верен (ошибка задания "
                  "времени ожидания)!"}},
        TrapCase{"FileNameNoIdentifier",
                 "1    menu            a-b.ivr\n",
                 {"a-b.ivr: warning: имя файла «a-b.ivr» даёт поле «Input_a-b», которое платформа "
                  "не примет как имя: знак «-» недопустим"},
                 {{"a-b.ivr", "10   a.wav\n"}}},
        TrapCase{"CyrillicFileNameIsAnIdentifier",
                 "1    menu            меню_2.ivr\n",
                 {},
                 {{"меню_2.ivr", "10   a.wav\n"}}},
        TrapCase{"TwoFilesOneFormName",
                 "1    menu            main.old.ivr\n",
                 {"main.ivr:2:22: warning: файлы «main.ivr» и «main.old.ivr» дают одно имя "
                  "формы «main»"},
                 {{"main.old.ivr", "10   a.wav\n"}}},
        TrapCase{"ArgumentTooLong",
                 "1    dial            " + std::string(64, '5') + "\n",
                 {"main.ivr:2:22: error: Имя файла в сценарии IVR имеет очень большой размер!"}}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST(Traps, TimeoutTooLongIsPlacedAtTheTimeout) {
  const std::vector<std::string> findings = Check(std::string(63, '9') + "   a.wav\n");
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0], "main.ivr:1:1: error: Имя файла в сценарии IVR имеет очень большой "
                         "размер! (текст «" +
                             std::string(63, '9') +
                             "s» — 64 байт, а в строке таблицы не больше 63 (кириллица "
                             "считается по байту на букву))");
}

TEST(Traps, NestedFilesAreCheckedInReadingOrder) {
  const std::vector<std::string> findings =
      Check("10   a.wav\n1    menu            b.ivr\n2    Dial            5\n",
            {{"b.ivr", "x     b.wav\n1    dial           77\n"}});
  EXPECT_EQ(findings, (std::vector<std::string>{
                          "main.ivr:3:6: warning: «Dial» — не ключевое слово: ключевые слова "
                          "пишутся строчными буквами, «dial»; строка не сработает",
                          "b.ivr:1:1: warning: время ожидания «x» — не число секунд; укажите его "
                          "цифрами, например 10",
                          "b.ivr:2:21: warning: аргумент «77» начинается в столбце 21, а не в 22: "
                          "будет прочитано «7»; поставьте его начало в столбец 22"}));
}

TEST(Traps, MenuWithADirectoryIsNamedBeforeTheTableOverflows) {
  const std::vector<std::string> findings =
      Check("10   a.wav\n1    menu            sub/x.ivr\n", {{"sub/x.ivr", "10   a.wav\n"}});
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0].rfind("main.ivr:2:22: warning: вложенный сценарий «sub/x.ivr» указан с "
                              "каталогом",
                              0),
            0u);
  EXPECT_NE(findings[1].find("error: Файл сценария IVR имеет очень большой размер!"),
            std::string::npos);
}

TEST(Traps, ALongLineIsPlacedByItsRealColumns) {
  const std::vector<std::string> findings =
      Check("10   a.wav\n1    dial            5" + std::string(5000, ' ') + "x\n");
  ASSERT_EQ(findings.size(), 1u);
  // The argument ends in column 22; the word after it stands 5000 spaces further.
  EXPECT_EQ(findings[0].rfind("main.ivr:2:5023: warning: текст «x» ", 0), 0u);
}

} // namespace
} // namespace dovetrel
