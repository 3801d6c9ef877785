#include "tests/vxml/WriterFixture.h"

#include "scenario/Tokenize.h"

namespace dovetrel::test {

std::vector<Row> Scenario(const std::string& strName, const std::vector<Row>& keyRows) {
  std::ptrdiff_t nPos = 0;
  std::vector<Row> rows =
      HeadRows(strName, "10s", "a.wav", "Input_" + std::string(Tokenize(strName, ".", nPos)));
  rows.insert(rows.end(), keyRows.begin(), keyRows.end());
  return rows;
}

std::vector<Row> WorkedExampleRows() {
  std::vector<Row> rows = Scenario("main.ivr", {{kindMenu, '1', "sales.ivr"},
                                                {kindDial, '2', "123"},
                                                {kindDisconnect, '0', ""},
                                                {kindMenu, '-', "main.ivr"}});
  rows[2].text = "welcome.wav";
  std::vector<Row> sales =
      Scenario("sales.ivr",
               {{kindDial, '1', "123"}, {kindMenu, 'b', "main.ivr"}, {kindDisconnect, '-', ""}});
  sales[1].text = "15s";
  sales[2].text = "sales.wav";
  rows.insert(rows.end(), sales.begin(), sales.end());
  return rows;
}

void WriterTest::Table(const std::vector<Row>& rows) {
  table.ClearEntries();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Finding where{.strFile = "/s/" + rows[i].text, .nLine = static_cast<int>(i)};
    ASSERT_TRUE(table.AddEntry(rows[i].text, rows[i].kind, rows[i].key, messages, where));
    if (rows[i].kind == kindScenarioFile)
      table.AddFilePath(where.strFile);
  }
}

bool WriterTest::Write(const std::string& strEncoding) {
  return WriteVoiceXml("/out/main.vxml", table, WriteContext{messages, output, strEncoding});
}

std::vector<std::string> WriterTest::Elements() const {
  std::string strError;
  std::vector<std::string> elements = XmlElements(output.m_strDocument, strError);
  EXPECT_EQ(strError, "") << output.m_strDocument;
  return elements;
}

std::vector<std::string> WriterTest::Under(const std::string& strElement) const {
  const std::vector<std::string> elements = Elements();
  std::vector<std::string> below;
  std::size_t nDepth = std::string::npos;
  for (const std::string& strLine : elements) {
    const std::size_t nIndent = strLine.find_first_not_of(' ');
    if (nDepth == std::string::npos) {
      if (strLine.substr(nIndent) == strElement)
        nDepth = nIndent;
      continue;
    }
    if (nIndent <= nDepth)
      break;
    below.push_back(strLine.substr(nDepth + 2));
  }
  EXPECT_NE(nDepth, std::string::npos) << "no element " << strElement;
  return below;
}

} // namespace dovetrel::test
