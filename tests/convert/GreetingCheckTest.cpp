// What --check says of the greetings' sound files beside the scenario files.

#include "convert/Conversion.h"
#include "tests/support/FakeAudio.h"
#include "tests/support/MemoryFiles.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

struct GreetingCase {
  const char* szName;
  std::optional<AudioFormat> sales; ///< /s/sales.wav; none: missing
  std::vector<std::string> findings;
};

void PrintTo(const GreetingCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class Greetings : public testing::TestWithParam<GreetingCase> {};

TEST_P(Greetings, AreFoundAtTheirWord) {
  test::CMemoryFiles files;
  files.Add("/s/main.ivr", "10   welcome.wav\n1    menu            sales.ivr\n");
  files.Add("/s/sales.ivr", "15    sales.wav\n1    menu            main.ivr\n");
  test::CFakeAudio audio;
  audio.Add("/s/welcome.wav", test::TelephoneAudio(3));
  if (GetParam().sales)
    audio.Add("/s/sales.wav", *GetParam().sales);
  ConversionOptions options;
  options.pFiles = &files;
  options.pAudio = &audio;
  std::vector<std::string> findings;
  for (const Finding& finding : RunCheck("/s/main.ivr", options))
    findings.push_back(FormatFinding(finding));
  EXPECT_EQ(findings, GetParam().findings);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Greetings,
    testing::Values(
        GreetingCase{"Telephone", test::TelephoneAudio(1), {}},
        GreetingCase{"Pcm8kMono", AudioFormat{8000, 1, AudioCoding::Pcm, 16, 800}, {}},
        GreetingCase{"Missing",
                     std::nullopt,
                     {"/s/sales.ivr:1:7: information: приветствие «sales.wav»: звукового файла с "
                      "таким именем нет рядом со сценарием, звонок его не проиграет"}},
        GreetingCase{"CdStereo",
                     AudioFormat{44100, 2, AudioCoding::Pcm, 16, 44100},
                     {"/s/sales.ivr:1:7: warning: приветствие «sales.wav» (44,1 кГц, стерео, PCM "
                      "16 бит) — не телефонный звук: линия проигрывает 8 кГц, моно, PCM, µ-law "
                      "или A-law; перекодируйте файл"}},
        GreetingCase{"Wideband",
                     AudioFormat{16000, 1, AudioCoding::ALaw, 8, 16000},
                     {"/s/sales.ivr:1:7: warning: приветствие «sales.wav» (16 кГц, моно, A-law) — "
                      "не телефонный звук: линия проигрывает 8 кГц, моно, PCM, µ-law или A-law; "
                      "перекодируйте файл"}}));

TEST(Greetings, AreLeftAloneWithoutTheirFiles) {
  test::CMemoryFiles files;
  files.Add("/s/main.ivr", "10   welcome.wav\n1    disconnect\n");
  ConversionOptions options;
  options.pFiles = &files;
  EXPECT_TRUE(RunCheck("/s/main.ivr", options).empty());
  test::CFakeAudio audio;
  audio.AddNotAudio("/s/welcome.wav");
  options.pAudio = &audio;
  const std::vector<Finding> findings = RunCheck("/s/main.ivr", options);
  ASSERT_EQ(findings.size(), 1U);
  EXPECT_EQ(findings[0].code, FindingCode::GreetingWrongFormat);
  EXPECT_EQ(findings[0].strText, "приветствие «welcome.wav»: файл не читается как звук");
}

} // namespace
} // namespace dovetrel
