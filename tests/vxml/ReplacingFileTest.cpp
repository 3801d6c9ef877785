#include "scenario/ScenarioReader.h"
#include "tests/support/TempDir.h"
#include "tests/vxml/WriterFixture.h"
#include "vxml/Texts.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace dovetrel::test {
namespace {

namespace fs = std::filesystem;

/// Writes to real files in a temporary directory.
class ReplacingFile : public WriterTest {
protected:
  bool WriteTo(const std::string& strPath) {
    return WriteVoiceXml(strPath, table, WriteContext{messages});
  }
  void GoodTable() { Table(Scenario("m.ivr", {{kindDial, '1', "5"}})); }
  void BadTable() { Table(Scenario("m.ivr", {{kindDial, '1', "\x01"}})); }

  CTempDir dir;
};

TEST_F(ReplacingFile, WritesANewFileWithTheUsualPermissions) {
  GoodTable();
  const std::string strTarget = dir.Path() + "out.vxml";
  const mode_t nMask = ::umask(022);
  ASSERT_TRUE(WriteTo(strTarget));
  ::umask(nMask);
  EXPECT_EQ(dir.List(), "out.vxml");
  EXPECT_EQ(fs::status(strTarget).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);
  std::string strError;
  XmlElements(dir.Read("out.vxml"), strError);
  EXPECT_EQ(strError, "");
}

TEST_F(ReplacingFile, ReplacesAnExistingFileKeepingItsPermissions) {
  GoodTable();
  const std::string strTarget = dir.Write("out.vxml", std::string(100000, 'x'));
  fs::permissions(strTarget,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(WriteTo(strTarget));
  EXPECT_EQ(dir.Read("out.vxml").substr(0, 5), "<?xml");
  EXPECT_EQ(fs::status(strTarget).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(dir.List(), "out.vxml");
}

TEST_F(ReplacingFile, SymbolicLinkStaysALink) {
  GoodTable();
  fs::create_directory(dir.Path() + "real");
  dir.Write("real/doc.vxml", "old");
  fs::create_symlink("real/doc.vxml", dir.Path() + "link.vxml");
  fs::create_symlink("real/new.vxml", dir.Path() + "dangling.vxml");
  ASSERT_TRUE(WriteTo(dir.Path() + "link.vxml"));
  ASSERT_TRUE(WriteTo(dir.Path() + "dangling.vxml"));
  EXPECT_TRUE(fs::is_symlink(dir.Path() + "link.vxml"));
  EXPECT_TRUE(fs::is_symlink(dir.Path() + "dangling.vxml"));
  EXPECT_EQ(dir.Read("real/doc.vxml").substr(0, 5), "<?xml");
  EXPECT_EQ(dir.Read("real/new.vxml"), dir.Read("real/doc.vxml"));
  EXPECT_EQ(dir.List(), "dangling.vxml link.vxml real");
}

TEST_F(ReplacingFile, FailedDocumentLeavesThePreviousFileAndNoTemporaryFile) {
  BadTable();
  const std::string strTarget = dir.Write("out.vxml", "previous");
  EXPECT_FALSE(WriteTo(strTarget));
  messages.Expect(text::kCannotWriteElement);
  EXPECT_EQ(dir.Read("out.vxml"), "previous");
  EXPECT_EQ(dir.List(), "out.vxml");
}

TEST_F(ReplacingFile, TargetsThatCannotBeWrittenCreateNothing) {
  GoodTable();
  fs::create_directory(dir.Path() + "sub");
  fs::create_symlink("loop.vxml", dir.Path() + "loop.vxml");
  const std::pair<std::string, std::string> targets[] = {
      {"missing/out.vxml",
       "папка «" + dir.Path() + "missing/» не принимает новый файл: No such file or directory"},
      {"sub", "Is a directory"},
      {"sub/", "Is a directory"},
      {"loop.vxml", "Too many levels of symbolic links"},
  };
  for (const auto& [strName, strReason] : targets) {
    EXPECT_FALSE(WriteTo(dir.Path() + strName)) << strName;
    const auto message = messages.Expect(text::kCannotWriteHeader);
    EXPECT_EQ(message.detail.strNote, strReason) << strName;
    EXPECT_EQ(message.detail.strFile, FullPath(dir.Path() + strName));
  }
  EXPECT_EQ(dir.List(), "loop.vxml sub");
  EXPECT_TRUE(fs::is_empty(dir.Path() + "sub"));
}

TEST_F(ReplacingFile, ReadOnlyTargetIsRefused) {
  if (::geteuid() == 0)
    GTEST_SKIP() << "root may write every file";
  GoodTable();
  const std::string strTarget = dir.Write("out.vxml", "previous");
  fs::permissions(strTarget, fs::perms::owner_read);
  EXPECT_FALSE(WriteTo(strTarget));
  EXPECT_EQ(messages.Expect(text::kCannotWriteHeader).detail.strNote, "Permission denied");
  EXPECT_EQ(dir.Read("out.vxml"), "previous");
}

} // namespace
} // namespace dovetrel::test
