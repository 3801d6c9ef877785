#include "audio/AudioFile.h"

#include "audio/Texts.h"

#include <dlfcn.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>

namespace dovetrel {

namespace {

/// The coding of libsndfile's \p nFormat, with its bits for PCM.
void SetCoding(int nFormat, AudioFormat& format) {
  switch (nFormat & SF_FORMAT_SUBMASK) {
  case SF_FORMAT_PCM_S8:
  case SF_FORMAT_PCM_U8:
    format.nBits = 8;
    return;
  case SF_FORMAT_PCM_16:
    format.nBits = 16;
    return;
  case SF_FORMAT_PCM_24:
    format.nBits = 24;
    return;
  case SF_FORMAT_PCM_32:
    format.nBits = 32;
    return;
  case SF_FORMAT_FLOAT:
  case SF_FORMAT_DOUBLE:
    format.coding = AudioCoding::Float;
    return;
  case SF_FORMAT_ULAW:
    format.coding = AudioCoding::MuLaw;
    return;
  case SF_FORMAT_ALAW:
    format.coding = AudioCoding::ALaw;
    return;
  default:
    format.coding = AudioCoding::Other;
    return;
  }
}

/// The few calls of libsndfile the reader makes. The library is opened the first time a sound
/// file is read, not linked: it brings a dozen codecs' libraries with it, and every process that
/// reads no greeting (a plain conversion above all) would load them at its start.
struct SndfileCalls {
  decltype(&sf_open) pOpen = nullptr;
  decltype(&sf_close) pClose = nullptr;
  decltype(&sf_strerror) pStrError = nullptr;
};

/// libsndfile's calls, or why the library cannot be opened.
struct LoadedSndfile {
  std::optional<SndfileCalls> calls;
  std::string strReason;
};

LoadedSndfile LoadSndfile() {
  constexpr const char* kLibrary = "libsndfile.so.1";
  LoadedSndfile loaded;
  void* pLibrary = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
  if (pLibrary == nullptr) {
    loaded.strReason = dlerror();
    return loaded;
  }
  SndfileCalls calls;
  calls.pOpen = reinterpret_cast<decltype(&sf_open)>(dlsym(pLibrary, "sf_open"));
  calls.pClose = reinterpret_cast<decltype(&sf_close)>(dlsym(pLibrary, "sf_close"));
  calls.pStrError = reinterpret_cast<decltype(&sf_strerror)>(dlsym(pLibrary, "sf_strerror"));
  if (!calls.pOpen || !calls.pClose || !calls.pStrError) {
    loaded.strReason = std::string(kLibrary) + ": " + dlerror();
    return loaded;
  }
  loaded.calls = calls;
  return loaded;
}

/// libsndfile's calls, opened the first time and kept for the life of the process; null, with
/// the loader's reason in \p strReason, when the library cannot be opened.
const SndfileCalls* OpenSndfile(std::string& strReason) {
  static const LoadedSndfile loaded = LoadSndfile();
  if (!loaded.calls) {
    strReason = loaded.strReason;
    return nullptr;
  }
  return &*loaded.calls;
}

class CSndfileAudioFiles final : public IAudioFiles {
public:
  AudioReading Read(const std::string& strPath) override {
    AudioReading reading;
    struct stat status {};
    if (stat(strPath.c_str(), &status) != 0) {
      reading.bMissing = true;
      reading.strReason = std::strerror(errno);
      return reading;
    }
    if (!S_ISREG(status.st_mode)) {
      reading.strReason = std::strerror(EISDIR);
      return reading;
    }
    const SndfileCalls* pCalls = OpenSndfile(reading.strReason);
    if (pCalls == nullptr)
      return reading;
    SF_INFO info{};
    SNDFILE* pFile = pCalls->pOpen(strPath.c_str(), SFM_READ, &info);
    if (pFile == nullptr) {
      reading.strReason = pCalls->pStrError(nullptr);
      return reading;
    }
    AudioFormat format;
    format.nSampleRate = info.samplerate;
    format.nChannels = info.channels;
    format.nFrames = info.frames;
    SetCoding(info.format, format);
    pCalls->pClose(pFile);
    reading.format = format;
    return reading;
  }
};

/// \p nValue thousandths as a decimal with a comma, trailing zeros left out: 44100 gives "44,1".
std::string Thousandths(long long nValue) {
  std::string strText = std::to_string(nValue / 1000);
  std::string strFraction = std::to_string(1000 + nValue % 1000).substr(1);
  while (!strFraction.empty() && strFraction.back() == '0')
    strFraction.pop_back();
  return strFraction.empty() ? strText : strText + ',' + strFraction;
}

std::string DescribeCoding(const AudioFormat& format) {
  switch (format.coding) {
  case AudioCoding::Pcm:
    return std::string(text::kPcm) + std::to_string(format.nBits) + std::string(text::kBits);
  case AudioCoding::Float:
    return std::string(text::kFloat);
  case AudioCoding::MuLaw:
    return std::string(text::kMuLaw);
  case AudioCoding::ALaw:
    return std::string(text::kALaw);
  case AudioCoding::Other:
    break;
  }
  return std::string(text::kOtherCoding);
}

} // namespace

double AudioFormat::Seconds() const {
  return nSampleRate > 0 ? static_cast<double>(nFrames) / nSampleRate : 0.0;
}

IAudioFiles& SystemAudioFiles() {
  static CSndfileAudioFiles files;
  return files;
}

bool IsTelephoneAudio(const AudioFormat& format) {
  const bool bCoding = format.coding == AudioCoding::MuLaw || format.coding == AudioCoding::ALaw ||
                       (format.coding == AudioCoding::Pcm && format.nBits <= 16);
  return format.nSampleRate == 8000 && format.nChannels == 1 && bCoding;
}

std::string DescribeAudio(const AudioFormat& format) {
  std::string strChannels = format.nChannels == 1 ? std::string(text::kMono)
                            : format.nChannels == 2
                                ? std::string(text::kStereo)
                                : std::string(text::kChannels) + std::to_string(format.nChannels);
  return Thousandths(format.nSampleRate) + std::string(text::kKiloHertz) + ", " + strChannels +
         ", " + DescribeCoding(format);
}

std::string FormatSeconds(double dSeconds) {
  const long long nTenths = std::llround(dSeconds * 10);
  return std::to_string(nTenths / 10) + ',' + std::to_string(nTenths % 10);
}

} // namespace dovetrel
