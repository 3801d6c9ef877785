#include "scenario/ScenarioReader.h"
#include "scenario/Texts.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/Rows.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace dovetrel {
namespace {

using test::CCollectingMessages;
using test::CTempDir;
using test::HeadRows;
using test::Row;
using test::RowsOf;

/// A header line, then key lines that name the given files in menus.
std::string Menus(std::initializer_list<const char*> names) {
  std::string content = "10   a.wav\n";
  char key = '1';
  for (const char* szName : names)
    content += std::string(1, key++) + "    menu            " + szName + "\n";
  return content;
}

class ScenarioSet : public testing::Test {
protected:
  bool Load(const std::string& strMain = "main.ivr") {
    return LoadScenarioSet(dir.Path() + strMain, dir.Path(), table, ReadContext{messages});
  }
  /// The scenario-file rows, in table order.
  std::vector<std::string> Scenarios() const {
    std::vector<std::string> names;
    for (const Row& row : RowsOf(table))
      if (row.kind == kindScenarioFile)
        names.push_back(row.text);
    return names;
  }

  CTempDir dir;
  CCollectingMessages messages;
  CScenarioTable table;
};

TEST_F(ScenarioSet, WorkedExampleGivesItsSeventeenRows) {
  dir.Write("main.ivr", "10   welcome.wav\n"
                        "1    menu            sales.ivr\n"
                        "2    dial            123\n"
                        "0    disconnect\n"
                        "-    menu            main.ivr\n");
  dir.Write("sales.ivr", "15   sales.wav\n"
                         "1    dial            123\n"
                         "b    menu            main.ivr\n"
                         "-    disconnect\n");
  ASSERT_TRUE(Load());
  std::vector<Row> expected = HeadRows("main.ivr", "10s", "welcome.wav", "Input_main");
  expected.insert(expected.end(), {{kindMenu, '1', "sales.ivr"},
                                   {kindDial, '2', "123"},
                                   {kindDisconnect, '0', ""},
                                   {kindMenu, '-', "main.ivr"}});
  const std::vector<Row> sales = HeadRows("sales.ivr", "15s", "sales.wav", "Input_sales");
  expected.insert(expected.end(), sales.begin(), sales.end());
  expected.insert(expected.end(),
                  {{kindDial, '1', "123"}, {kindMenu, 'b', "main.ivr"}, {kindDisconnect, '-', ""}});
  EXPECT_EQ(RowsOf(table), expected);
  EXPECT_EQ(table.FilePaths(),
            (std::vector<std::string>{dir.Path() + "main.ivr", dir.Path() + "sales.ivr"}));
}

TEST_F(ScenarioSet, NestedFilesAreReadBreadthFirstAndOnce) {
  dir.Write("main.ivr", Menus({"a.ivr", "b.ivr", "a.ivr"}));
  dir.Write("a.ivr", Menus({"c.ivr", "main.ivr"}));
  dir.Write("b.ivr", Menus({"d.ivr", "b.ivr"}));
  dir.Write("c.ivr", Menus({"a.ivr"}));
  dir.Write("d.ivr", Menus({}));
  ASSERT_TRUE(Load());
  EXPECT_EQ(Scenarios(),
            (std::vector<std::string>{"main.ivr", "a.ivr", "b.ivr", "c.ivr", "d.ivr"}));
}

TEST_F(ScenarioSet, NamesDifferingInCaseAreReadTwice) {
  // As on a file system that ignores letter case: two names, one file.
  dir.Write("main.ivr", Menus({"Sales.ivr", "sales.ivr"}));
  dir.Write("sales.ivr", Menus({}));
  std::filesystem::create_symlink("sales.ivr", dir.Path() + "Sales.ivr");
  ASSERT_TRUE(Load());
  EXPECT_EQ(Scenarios(), (std::vector<std::string>{"main.ivr", "Sales.ivr", "sales.ivr"}));
}

TEST_F(ScenarioSet, MissingNestedFileStopsTheLoad) {
  dir.Write("main.ivr", Menus({"gone.ivr", "there.ivr"}));
  dir.Write("there.ivr", Menus({}));
  EXPECT_FALSE(Load());
  const auto message = messages.Expect(text::kCannotOpenIvr);
  EXPECT_EQ(message.detail.strFile, dir.Path() + "gone.ivr");
  EXPECT_EQ(message.detail.strNote, "No such file or directory");
  EXPECT_EQ(Scenarios(), (std::vector<std::string>{"main.ivr"}));
}

TEST_F(ScenarioSet, MainFileThatCannotBeOpened) {
  std::filesystem::create_directory(dir.Path() + "dir.ivr");
  for (const char* szMain : {"none.ivr", "dir.ivr", ""}) {
    EXPECT_FALSE(Load(szMain)) << szMain;
    messages.Expect(text::kCannotOpenIvr);
    EXPECT_EQ(table.Count(), 0);
  }
}

TEST_F(ScenarioSet, UnreadableFileIsRefused) {
  if (::geteuid() == 0)
    GTEST_SKIP() << "root reads every file";
  dir.Write("main.ivr", Menus({}));
  std::filesystem::permissions(dir.Path() + "main.ivr", std::filesystem::perms::none);
  EXPECT_FALSE(Load());
  messages.Expect(text::kCannotOpenIvr);
}

TEST_F(ScenarioSet, MenuWithoutArgumentOpensTheBaseDirectoryAndFails) {
  dir.Write("main.ivr", "10   a.wav\n1    menu\n");
  EXPECT_FALSE(Load());
  EXPECT_EQ(messages.Expect(text::kCannotOpenIvr).detail.strNote, "Is a directory");
}

TEST_F(ScenarioSet, MenuWithADirectoryPartFillsTheTable) {
  // The file's row says x.ivr, never sub/x.ivr, so the menu is never answered.
  std::filesystem::create_directory(dir.Path() + "sub");
  dir.Write("sub/x.ivr", Menus({}));
  dir.Write("main.ivr", Menus({"sub/x.ivr"}));
  EXPECT_FALSE(Load());
  messages.Expect(text::kTableFull);
  EXPECT_EQ(table.Count(), kTableCapacity);
}

TEST_F(ScenarioSet, MenuClimbingOutOfTheDirectoryEndsToo) {
  const std::string strDirName = std::filesystem::path(dir.Path()).parent_path().filename();
  dir.Write("main.ivr", Menus({("../" + strDirName + "/main.ivr").c_str()}));
  EXPECT_FALSE(Load());
  messages.Expect(text::kTableFull);
}

TEST_F(ScenarioSet, SetOf129RowsFailsAtTheLastRow) {
  // main: 5 head rows + 23 menus; 20 files of 5 rows each: 128 rows; one more key line: 129.
  std::string main = "10   a.wav\n";
  for (int i = 0; i < 20; ++i) {
    const std::string strName = 'n' + std::to_string(i) + ".ivr";
    main += "1    menu            ";
    main += strName + '\n';
    dir.Write(strName, "10   a.wav\n");
  }
  main += "2    dial            1\n2    dial            2\n2    dial            3\n";
  dir.Write("main.ivr", main);
  ASSERT_TRUE(Load());
  EXPECT_EQ(table.Count(), 128);
  dir.Write("n19.ivr", "10   a.wav\n3    disconnect\n");
  EXPECT_FALSE(Load());
  const auto message = messages.Expect(text::kTableFull);
  EXPECT_EQ(message.detail.strFile, dir.Path() + "n19.ivr");
  EXPECT_EQ(message.detail.nLine, 2);
}

TEST_F(ScenarioSet, EveryLoadStartsFromAnEmptyTable) {
  dir.Write("main.ivr", Menus({"a.ivr"}));
  dir.Write("a.ivr", Menus({}));
  ASSERT_TRUE(Load());
  const std::vector<Row> first = RowsOf(table);
  ASSERT_TRUE(Load());
  EXPECT_EQ(RowsOf(table), first);
}

TEST_F(ScenarioSet, EmptyBaseDirectoryReadsNestedFilesByBareName) {
  dir.Write("main.ivr", Menus({"a.ivr"}));
  dir.Write("a.ivr", Menus({}));
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  const bool bLoaded = LoadScenarioSet("main.ivr", "", table, ReadContext{messages});
  std::filesystem::current_path(previous);
  ASSERT_TRUE(bLoaded);
  EXPECT_EQ(Scenarios(), (std::vector<std::string>{"main.ivr", "a.ivr"}));
  // Paths stay as given, as a compiler names them: relative to where the command runs.
  EXPECT_EQ(table.FilePaths(), (std::vector<std::string>{"main.ivr", "a.ivr"}));
}

} // namespace
} // namespace dovetrel
