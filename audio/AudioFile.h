#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dovetrel {

/// How the samples of a sound file are coded, as far as a telephone line cares.
enum class AudioCoding {
  Pcm,   ///< linear PCM of AudioFormat::nBits bits
  Float, ///< PCM in floating point
  MuLaw, ///< G.711 µ-law
  ALaw,  ///< G.711 A-law
  Other, ///< any compressed coding (GSM, ADPCM, Vorbis, ...)
};

/// What a sound file holds: enough to tell telephone audio and to say how long it plays.
struct AudioFormat {
  int nSampleRate = 0; ///< frames per second
  int nChannels = 0;
  AudioCoding coding = AudioCoding::Pcm;
  int nBits = 0;            ///< Pcm only: bits per sample
  std::int64_t nFrames = 0; ///< frames in the file

  /// How long the file plays, in seconds; 0 for a file without a sample rate.
  [[nodiscard]] double Seconds() const;
};

/// What reading a sound file gave: its format, or why there is none.
struct AudioReading {
  std::optional<AudioFormat> format; ///< none when the file is missing or holds no sound
  bool bMissing = false;             ///< the file does not exist (or is no regular file)
  std::string strReason;             ///< without a format: why, in the reader's words
};

/// Reads the format of sound files: the seam the checks and the caller's paths read greetings
/// through, so that their tests run on formats given in memory.
class IAudioFiles {
public:
  virtual ~IAudioFiles() = default;
  /// The format of the sound file \p strPath (bytes of the file system's name).
  [[nodiscard]] virtual AudioReading Read(const std::string& strPath) = 0;
};

/// The real sound files, read with libsndfile: WAV, AU, AIFF and every other container it knows.
IAudioFiles& SystemAudioFiles();

/// True for what a telephone line plays as it stands: 8 kHz, mono, PCM of 8 or 16 bits, µ-law or
/// A-law.
[[nodiscard]] bool IsTelephoneAudio(const AudioFormat& format);

/// The format for the author: "44,1 кГц, стерео, PCM 16 бит".
std::string DescribeAudio(const AudioFormat& format);

/// \p dSeconds with one decimal after a comma, as Russian writes it: "12,4".
std::string FormatSeconds(double dSeconds);

} // namespace dovetrel
