#include "tests/vxml/WriterFixture.h"
#include "text/TextCodec.h"
#include "vxml/Texts.h"

namespace dovetrel::test {
namespace {

// "меню" and "привет" in Windows-1251 and in UTF-8.
constexpr const char* kMenu1251 = "\xEC\xE5\xED\xFE";
constexpr const char* kMenuUtf8 = "\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x8E";
constexpr const char* kHello1251 = "\xEF\xF0\xE8\xE2\xE5\xF2";
constexpr const char* kHelloUtf8 = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";

std::vector<Row> CyrillicSet(const std::string& strMenu, const std::string& strHello) {
  std::vector<Row> rows =
      Scenario(strMenu + ".ivr", {{kindMenu, '1', strHello + ".ivr"}, {kindDial, '2', "+7 495"}});
  rows[2].text = strHello + ".wav";
  const std::vector<Row> nested = Scenario(strHello + ".ivr");
  rows.insert(rows.end(), nested.begin(), nested.end());
  return rows;
}

class Encoding : public WriterTest {};

TEST_F(Encoding, Windows1251AndUtf8ScenariosGiveTheSameDocument) {
  Table(CyrillicSet(kMenu1251, kHello1251));
  ASSERT_TRUE(Write());
  const std::string str1251 = output.m_strDocument;
  Table(CyrillicSet(kMenuUtf8, kHelloUtf8));
  ASSERT_TRUE(Write());
  EXPECT_EQ(output.m_strDocument, str1251);
  EXPECT_NE(str1251.find(std::string("form id=\"") + kMenuUtf8 + "\""), std::string::npos);
  EXPECT_NE(str1251.find(std::string("goto next=\"#") + kHelloUtf8 + "\""), std::string::npos);
  Elements();
}

TEST_F(Encoding, DetectionLooksAtEveryRowText) {
  Table(CyrillicSet(kMenuUtf8, kHelloUtf8));
  EXPECT_EQ(DetectSourceEncoding(table), kUtf8);
  Table(CyrillicSet(kMenuUtf8, kHello1251));
  EXPECT_EQ(DetectSourceEncoding(table), kWindows1251);
  Table(Scenario("plain.ivr"));
  EXPECT_EQ(DetectSourceEncoding(table), kUtf8);
}

TEST_F(Encoding, ForcedEncodingIsUsed) {
  // "да" in KOI8-R is C4 C1; read as Windows-1251 it would be "Дб".
  Table(Scenario("m.ivr", {{kindDial, '1', "\xC4\xC1"}}));
  ASSERT_TRUE(Write("KOI8-R"));
  EXPECT_NE(output.m_strDocument.find("tel:\xD0\xB4\xD0\xB0"), std::string::npos);
}

TEST_F(Encoding, TabAndCarriageReturnAreWrittenEscaped) {
  Table(Scenario("m.ivr", {{kindDial, '1', "1\t2\r3"}}));
  ASSERT_TRUE(Write());
  EXPECT_NE(output.m_strDocument.find("dest=\"tel:1&#9;2&#13;3\""), std::string::npos);
  EXPECT_EQ(Under("if cond=Input_m=='1'"),
            (std::vector<std::string>{"transfer name=Result dest=tel:1\t2\r3"}));
}

struct BadValueCase {
  const char* szName;
  std::string text;
  std::string encoding;
};

void PrintTo(const BadValueCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class ValuesXmlCannotCarry : public Encoding, public testing::WithParamInterface<BadValueCase> {};

TEST_P(ValuesXmlCannotCarry, FailTheirRow) {
  Table(Scenario("m.ivr", {{kindDisconnect, '1', ""}, {kindDial, '2', GetParam().text}}));
  EXPECT_FALSE(Write(GetParam().encoding));
  const auto message = messages.Expect(text::kCannotWriteElement);
  EXPECT_EQ(message.detail.nLine, 6);
  EXPECT_EQ(output.m_strDocument, "previous document");
}

INSTANTIATE_TEST_SUITE_P(
    Values, ValuesXmlCannotCarry,
    testing::Values(BadValueCase{"ByteWithoutACharacterIn1251", "12\x98", ""},
                    BadValueCase{"ControlCharacter", "1\x01", ""},
                    BadValueCase{"Escape", "1\x1B", ""},
                    BadValueCase{"NotACharacterFFFE", "1\xEF\xBF\xBE", ""},
                    BadValueCase{"NotACharacterFFFF", "1\xEF\xBF\xBF", "UTF-8"},
                    BadValueCase{"Invalid8BitInForcedUtf8", "1\xEC\xE5", "UTF-8"},
                    BadValueCase{"EncodedSurrogate", "1\xED\xA0\x80", "UTF-8"},
                    BadValueCase{"OverlongSlash", "1\xC0\xAF", "UTF-8"}),
    [](const auto& info) { return std::string(info.param.szName); });

} // namespace
} // namespace dovetrel::test
