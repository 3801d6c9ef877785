#pragma once

#include "scenario/Message.h"
#include "tests/support/TempDir.h"

#include <memory>
#include <string>
#include <vector>

namespace dovetrel::bench {

/// Counts failures; a benchmark whose conversion fails measures nothing worth reporting.
class CCountingSink final : public IMessageSink {
public:
  int m_nFailures = 0;
  MessageReply ShowMessage(const Finding&, MessageKind kind) override {
    if (kind != MessageKind::Information)
      ++m_nFailures;
    return MessageReply::Ok;
  }
};

/// A scenario set written to a fresh directory for a benchmark, removed again with it.
class CBenchSet {
public:
  /// The largest set the table holds: a main file with 20 menus, a dial and a no-input line, and
  /// 20 nested files of only their header line; 21 files, 127 rows. In a new directory under
  /// \p strParent, or under the system's temporary directory when it is empty.
  static CBenchSet Largest(const std::string& strParent = {});
  /// The two-file example from examples/worked, copied from \p strExamplesDir.
  static CBenchSet Worked(const std::string& strExamplesDir);

  /// The directory, ending with '/'.
  const std::string& Directory() const { return m_pDir->Path(); }
  /// The main file's full path.
  std::string MainFile() const { return Directory() + "main.ivr"; }
  /// The document's full path.
  std::string Document() const { return Directory() + "main.vxml"; }
  /// Every scenario file of the set, main file first.
  const std::vector<std::string>& Files() const { return m_vecFiles; }

private:
  explicit CBenchSet(const std::string& strParent = {});
  void Add(const std::string& strName, const std::string& strContent);

  std::unique_ptr<test::CTempDir> m_pDir;
  std::vector<std::string> m_vecFiles;
};

} // namespace dovetrel::bench
