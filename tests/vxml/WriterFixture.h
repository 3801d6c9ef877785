#pragma once

#include "scenario/ScenarioTable.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/MemoryOutput.h"
#include "tests/support/Rows.h"
#include "tests/support/XmlElements.h"
#include "vxml/VoiceXmlWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dovetrel::test {

/// The rows of one scenario file: its five head rows (timeout 10s, greeting a.wav, the field
/// named after the file), then \p keyRows.
std::vector<Row> Scenario(const std::string& strName, const std::vector<Row>& keyRows = {});

/// The seventeen rows of the two-file worked example (main.ivr and sales.ivr).
std::vector<Row> WorkedExampleRows();

/// Writes tables into memory and reads the documents back.
class WriterTest : public testing::Test {
protected:
  /// Fills the table with \p rows; each scenario's file is /s/NAME, each row's line its index.
  void Table(const std::vector<Row>& rows);
  /// Writes the table; true when the document was written.
  bool Write(const std::string& strEncoding = "");
  /// The elements of the written document; fails the test when it is not well-formed.
  std::vector<std::string> Elements() const;
  /// The lines below the first element whose line, leading spaces removed, is \p strElement,
  /// with their depth made relative to it.
  std::vector<std::string> Under(const std::string& strElement) const;

  CCollectingMessages messages;
  CMemoryOutput output;
  CScenarioTable table;
};

} // namespace dovetrel::test
