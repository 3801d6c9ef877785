// The sound files' formats as libsndfile reads them, from files it wrote itself.

#include "audio/AudioFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <vector>

namespace dovetrel {
namespace {

struct WavCase {
  const char* szName;
  int nSampleRate;
  int nChannels;
  int nSndfileFormat;
  std::int64_t nFrames;
  bool bTelephone;
  const char* szDescription;
  const char* szSeconds;
};

void PrintTo(const WavCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

/// Writes \p c's file of silence into \p dir; its path.
std::string WriteSound(const test::CTempDir& dir, const WavCase& c) {
  const std::string strPath = dir.Path() + "/" + c.szName;
  SF_INFO info{};
  info.samplerate = c.nSampleRate;
  info.channels = c.nChannels;
  info.format = c.nSndfileFormat;
  SNDFILE* pFile = sf_open(strPath.c_str(), SFM_WRITE, &info);
  EXPECT_NE(pFile, nullptr) << sf_strerror(nullptr);
  if (pFile == nullptr)
    return strPath;
  const std::vector<short> samples(static_cast<std::size_t>(c.nFrames * c.nChannels), 0);
  EXPECT_EQ(sf_writef_short(pFile, samples.data(), c.nFrames), c.nFrames);
  sf_close(pFile);
  return strPath;
}

class Sounds : public testing::TestWithParam<WavCase> {};

TEST_P(Sounds, ReadAsWritten) {
  const WavCase& c = GetParam();
  const test::CTempDir dir;
  const AudioReading reading = SystemAudioFiles().Read(WriteSound(dir, c));
  ASSERT_TRUE(reading.format) << reading.strReason;
  EXPECT_EQ(reading.format->nSampleRate, c.nSampleRate);
  EXPECT_EQ(reading.format->nChannels, c.nChannels);
  EXPECT_EQ(reading.format->nFrames, c.nFrames);
  EXPECT_EQ(IsTelephoneAudio(*reading.format), c.bTelephone);
  EXPECT_EQ(DescribeAudio(*reading.format), c.szDescription);
  EXPECT_EQ(FormatSeconds(reading.format->Seconds()), c.szSeconds);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Sounds,
    testing::Values(WavCase{"mulaw.wav", 8000, 1, SF_FORMAT_WAV | SF_FORMAT_ULAW, 4000, true,
                            "8 кГц, моно, µ-law", "0,5"},
                    WavCase{"alaw.wav", 8000, 1, SF_FORMAT_WAV | SF_FORMAT_ALAW, 99000, true,
                            "8 кГц, моно, A-law", "12,4"},
                    WavCase{"pcm8k.wav", 8000, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, true,
                            "8 кГц, моно, PCM 16 бит", "1,0"},
                    WavCase{"cd.wav", 44100, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, false,
                            "44,1 кГц, стерео, PCM 16 бит", "1,0"},
                    WavCase{"wide.wav", 22050, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2205, false,
                            "22,05 кГц, моно, PCM 24 бит", "0,1"},
                    WavCase{"float.au", 8000, 1, SF_FORMAT_AU | SF_FORMAT_FLOAT, 800, false,
                            "8 кГц, моно, PCM с плавающей точкой", "0,1"},
                    WavCase{"gsm.wav", 8000, 1, SF_FORMAT_WAV | SF_FORMAT_GSM610, 3200, false,
                            "8 кГц, моно, сжатый звук", "0,4"}));

TEST(Sounds, ThatAreNoneSayWhy) {
  const test::CTempDir dir;
  const AudioReading text = SystemAudioFiles().Read(dir.Write("text.wav", "10   a.wav\n"));
  EXPECT_FALSE(text.format);
  EXPECT_FALSE(text.bMissing);
  EXPECT_FALSE(text.strReason.empty());
  const AudioReading folder = SystemAudioFiles().Read(dir.Path());
  EXPECT_FALSE(folder.format);
  EXPECT_FALSE(folder.bMissing);
  const AudioReading missing = SystemAudioFiles().Read(dir.Path() + "/none.wav");
  EXPECT_FALSE(missing.format);
  EXPECT_TRUE(missing.bMissing);
}

} // namespace
} // namespace dovetrel
