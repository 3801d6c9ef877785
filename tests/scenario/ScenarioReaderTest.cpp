#include "scenario/ScenarioReader.h"
#include "scenario/Texts.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/Rows.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

using namespace std::string_literals;
using test::CCollectingMessages;
using test::CMemoryFiles;
using test::HeadRows;
using test::Row;
using test::RowsOf;

/// Reads one in-memory file named /s/main.ivr.
class ReadOneFile : public testing::Test {
protected:
  bool Read(const std::string& content) {
    files.Add("/s/main.ivr", content);
    table.ClearEntries();
    return ReadScenarioFile("/s/main.ivr", table, ReadContext{messages, files});
  }

  CCollectingMessages messages;
  CMemoryFiles files;
  CScenarioTable table;
};

struct HeaderCase {
  const char* szName;
  std::string line;
  std::string timeout; ///< the timeout row's text, or empty when the header is refused
  std::string greeting;
  std::string_view message = {};
};

void PrintTo(const HeaderCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class HeaderLine : public ReadOneFile, public testing::WithParamInterface<HeaderCase> {};

TEST_P(HeaderLine, GivesTimeoutAndGreetingRows) {
  const HeaderCase& c = GetParam();
  const bool bRead = Read(c.line + "\n");
  if (!c.message.empty()) {
    EXPECT_FALSE(bRead);
    const auto message = messages.Expect(c.message);
    EXPECT_EQ(message.detail.strFile, "/s/main.ivr");
    EXPECT_EQ(message.detail.nLine, 1);
    return;
  }
  ASSERT_TRUE(bRead);
  EXPECT_EQ(RowsOf(table), HeadRows("main.ivr", c.timeout, c.greeting, "Input_main"));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HeaderLine,
    testing::Values(
        HeaderCase{"Standard", "10   welcome.wav", "10s", "welcome.wav"},
        HeaderCase{"OneSpaceCutsTwoLetters", "10 hello.wav", "10s", "llo.wav"},
        HeaderCase{"TwoSpacesCutOneLetter", "100  hello.wav", "100s", "ello.wav"},
        HeaderCase{"ShortTimeout", "5    greet.wav", "5s", "greet.wav"},
        HeaderCase{"LeadingSpaces", "   7   hi.wav", "7s", "hi.wav"},
        HeaderCase{"TimeoutNotANumber", "abc   x.wav", "abcs", "x.wav"},
        HeaderCase{"TrailingWordsIgnored", "10   a.wav b.wav c", "10s", "a.wav"},
        HeaderCase{"CrLf", "10   a.wav\r", "10s", "a.wav"},
        HeaderCase{"Longest", std::string(62, '9') + "   " + std::string(63, 'g'),
                   std::string(62, '9') + "s", std::string(63, 'g')},
        HeaderCase{"Empty", "", "", "", text::kBadTimeout},
        HeaderCase{"Spaces", "      ", "", "", text::kBadTimeout},
        HeaderCase{"NulFirst", "\0 10   a.wav"s, "", "", text::kBadTimeout},
        HeaderCase{"TimeoutOnly", "10", "", "", text::kBadGreeting},
        HeaderCase{"NothingFromColumnFive", "10 x", "", "", text::kBadGreeting},
        HeaderCase{"TimeoutTooLong", std::string(63, '9') + "   a.wav", "", "", text::kTextTooLong},
        HeaderCase{"GreetingTooLong", "10   " + std::string(64, 'g'), "", "", text::kTextTooLong}),
    [](const auto& info) { return std::string(info.param.szName); });

struct KeyLineCase {
  const char* szName;
  std::string line;
  Row row;
};

void PrintTo(const KeyLineCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class KeyLine : public ReadOneFile, public testing::WithParamInterface<KeyLineCase> {};

TEST_P(KeyLine, GivesOneRow) {
  ASSERT_TRUE(Read("10   a.wav\n" + GetParam().line + "\n"));
  ASSERT_EQ(table.Count(), 6);
  EXPECT_EQ(RowsOf(table).back(), GetParam().row);
  EXPECT_EQ(table.Entry(5).line, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, KeyLine,
    testing::Values(
        KeyLineCase{"Menu", "1    menu            sales.ivr", {kindMenu, '1', "sales.ivr"}},
        KeyLineCase{"Dial", "2    dial            123", {kindDial, '2', "123"}},
        KeyLineCase{"Disconnect", "0    disconnect", {kindDisconnect, '0', ""}},
        KeyLineCase{"UnknownKeyword", "3    unknown         x", {kindUnknown, '3', "x"}},
        KeyLineCase{"SingleSpacesMissTheColumns", "1 menu sales.ivr", {kindUnknown, '1', ""}},
        KeyLineCase{"BlankKeyColumns", "     menu            x.ivr", {kindMenu, 'm', "x.ivr"}},
        KeyLineCase{"LongKeyWord", "abcdef menu", {kindUnknown, 'a', ""}},
        KeyLineCase{"OnlySpaces", "        ", {kindUnknown, '\0', ""}},
        KeyLineCase{"TabsJoinWords", "1\tmenu\tsales.ivr", {kindUnknown, '1', ""}},
        KeyLineCase{"CapitalMenu", "1    Menu            x.ivr", {kindUnknown, '1', "x.ivr"}},
        KeyLineCase{"UpperCaseMenu", "1    MENU            x.ivr", {kindUnknown, '1', "x.ivr"}},
        KeyLineCase{"ArgumentOneColumnEarly", "1    dial           123", {kindDial, '1', "23"}},
        KeyLineCase{"ArgumentGone", "1    menu           x", {kindMenu, '1', ""}},
        KeyLineCase{
            "TextAfterArgument", "1    menu            a.ivr b.ivr", {kindMenu, '1', "a.ivr"}},
        KeyLineCase{"TwoDigitKey", "12   menu            x.ivr", {kindMenu, '1', "x.ivr"}},
        KeyLineCase{"NulCutsTheLine", "1    menu\0           x.ivr"s, {kindMenu, '1', ""}},
        KeyLineCase{"CrLf", "-    disconnect\r", {kindDisconnect, '-', ""}},
        KeyLineCase{"LongestArgument",
                    "1    dial            " + std::string(63, '5'),
                    {kindDial, '1', std::string(63, '5')}}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST_F(ReadOneFile, EmptyLinesGiveNoRowsButCount) {
  ASSERT_TRUE(Read("10   a.wav\n\n\n1    dial            5\n\n"));
  ASSERT_EQ(table.Count(), 6);
  EXPECT_EQ(table.Entry(5).line, 4);
}

TEST_F(ReadOneFile, HeaderOnlyGivesFiveRows) {
  ASSERT_TRUE(Read("10   a.wav"));
  EXPECT_EQ(RowsOf(table), HeadRows("main.ivr", "10s", "a.wav", "Input_main"));
}

TEST_F(ReadOneFile, EmptyFileKeepsItsScenarioRowAndFails) {
  EXPECT_FALSE(Read(""));
  const auto message = messages.Expect(text::kNoLineInIvr);
  EXPECT_EQ(message.detail.strFile, "/s/main.ivr");
  EXPECT_EQ(RowsOf(table), (std::vector<Row>{{kindScenarioFile, '\0', "main.ivr"}}));
}

TEST_F(ReadOneFile, TextEndingAtOnceHoldsNoLine) {
  EXPECT_FALSE(Read("\x1A"
                    "10   a.wav\n"));
  messages.Expect(text::kNoLineInIvr);
}

TEST_F(ReadOneFile, ArgumentOf64BytesFailsAtItsLine) {
  EXPECT_FALSE(Read("10   a.wav\n1    dial            5\n2    dial            " +
                    std::string(64, '7') + "\n3    dial            9\n"));
  const auto message = messages.Expect(text::kTextTooLong);
  EXPECT_EQ(message.detail.nLine, 3);
  EXPECT_EQ(table.Count(), 6) << "rows read before the failure stay";
}

TEST_F(ReadOneFile, ReadErrorInTheMiddlePropagates) {
  files.Add("/s/main.ivr", "10   a.wav\n1    dial            5\n2    dial            6\n");
  files.FailAfter("/s/main.ivr", 20);
  files.SetChunk(8);
  table.ClearEntries();
  EXPECT_THROW((void)ReadScenarioFile("/s/main.ivr", table, ReadContext{messages, files}),
               CFileReadError);
  EXPECT_EQ(files.m_nOpen, 0) << "the file is closed on the way out";
}

TEST_F(ReadOneFile, FileOfNulBytesIsAFormatError) {
  EXPECT_FALSE(Read(std::string(100000, '\0')));
  messages.Expect(text::kBadTimeout);
}

TEST(ScenarioFileNames, FieldNameIsTheNameUpToTheFirstDot) {
  const std::pair<const char*, const char*> cases[] = {
      {"/s/main.ivr", "Input_main"}, {"/s/menu.new.ivr", "Input_menu"}, {"/s/menu", "Input_menu"},
      {"/s/.hidden.ivr", "Input_"},  {"rel.ivr", "Input_rel"},
  };
  for (const auto& [szPath, szField] : cases) {
    CCollectingMessages messages;
    CMemoryFiles files;
    files.Add(szPath, "1    a.wav\n");
    CScenarioTable table;
    table.ClearEntries();
    ASSERT_TRUE(ReadScenarioFile(szPath, table, ReadContext{messages, files})) << szPath;
    EXPECT_STREQ(table.Entry(0).text, NamePart(szPath).c_str());
    EXPECT_STREQ(table.Entry(3).text, szField) << szPath;
    EXPECT_STREQ(table.Entry(4).text, szField) << szPath;
  }
}

TEST(ScenarioFileNames, NamePartIsTakenFromTheAbsolutePath) {
  EXPECT_EQ(NamePart("/a/b/main.ivr"), "main.ivr");
  EXPECT_EQ(NamePart("main.ivr"), "main.ivr");
  EXPECT_EQ(NamePart("/a/b/../c.x.ivr"), "c.x.ivr");
  EXPECT_EQ(NamePart("/a/b/"), "");
  EXPECT_EQ(FullPath("/a/b"), "/a/b");
  EXPECT_EQ(FullPath("x.ivr").front(), '/');
}

TEST(ScenarioFileNames, LongNamesFailWithTheLengthMessage) {
  // A name part of 64 bytes fails at the scenario row; a name of 58 bytes before its first dot
  // makes a 64-byte field name.
  for (const std::string& strName : {std::string(60, 'n') + ".ivr", std::string(58, 'n') + ".i"}) {
    CCollectingMessages messages;
    CMemoryFiles files;
    files.Add("/s/" + strName, "1    a.wav\n");
    CScenarioTable table;
    table.ClearEntries();
    EXPECT_FALSE(ReadScenarioFile("/s/" + strName, table, ReadContext{messages, files}));
    EXPECT_EQ(messages.Expect(text::kTextTooLong).detail.strFile, "/s/" + strName);
  }
}

} // namespace
} // namespace dovetrel
