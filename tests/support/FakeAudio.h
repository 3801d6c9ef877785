#pragma once

#include "audio/AudioFile.h"

#include <map>
#include <string>
#include <utility>

namespace dovetrel::test {

/// Sound files given in memory by path; every other path is missing.
class CFakeAudio final : public IAudioFiles {
public:
  /// Makes \p strPath a sound file of \p format.
  void Add(const std::string& strPath, const AudioFormat& format) {
    m_files[strPath].format = format;
  }
  /// Makes \p strPath a file that holds no sound.
  void AddNotAudio(const std::string& strPath) { m_files[strPath].strReason = "not a sound"; }

  AudioReading Read(const std::string& strPath) override {
    const auto found = m_files.find(strPath);
    if (found != m_files.end())
      return found->second;
    AudioReading missing;
    missing.bMissing = true;
    return missing;
  }

private:
  std::map<std::string, AudioReading> m_files;
};

/// \p dSeconds of 8 kHz mono µ-law: what a telephone line plays.
inline AudioFormat TelephoneAudio(double dSeconds) {
  return AudioFormat{8000, 1, AudioCoding::MuLaw, 8, static_cast<std::int64_t>(dSeconds * 8000)};
}

} // namespace dovetrel::test
