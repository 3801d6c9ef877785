#include "convert/Greetings.h"

#include "convert/Texts.h"
#include "scenario/Paths.h"
#include "text/Escape.h"

#include <set>

namespace dovetrel {

namespace {

/// The finding of \p reading, the sound file of \p menu's greeting; nothing when all is well.
std::optional<Finding> GreetingFinding(const FlowMenu& menu, const AudioReading& reading,
                                       const std::string& strGreeting) {
  Finding finding{FindingCode::GreetingWrongFormat, Severity::Warning,
                  "приветствие " + Quoted(strGreeting), menu.strPath, 1};
  if (reading.bMissing) {
    finding.code = FindingCode::GreetingMissing;
    finding.severity = Severity::Information;
    finding.strText += text::kGreetingMissing;
  } else if (!reading.format) {
    finding.strText += text::kGreetingNotAudio;
    finding.strNote = reading.strReason;
  } else if (!IsTelephoneAudio(*reading.format)) {
    finding.strText += " (" + DescribeAudio(*reading.format) + ")";
    finding.strText += text::kGreetingWrongFormat;
  } else {
    return std::nullopt;
  }
  return finding;
}

} // namespace

AudioReading ReadGreeting(const FlowMenu& menu, const std::string& strEncoding,
                          IAudioFiles& audio) {
  std::string strFolder = DirectoryOf(menu.strPath);
  if (!strFolder.empty() && strFolder.back() != '/')
    strFolder += '/';
  const std::string strDecoded = DecodeTranscriptText(menu.strGreeting, strEncoding);
  AudioReading reading = audio.Read(strFolder + strDecoded);
  if (reading.bMissing && strDecoded != menu.strGreeting)
    reading = audio.Read(strFolder + menu.strGreeting);
  return reading;
}

std::vector<Finding> FindGreetingFindings(const CallFlow& flow, const std::string& strEncoding,
                                          IAudioFiles& audio) {
  std::vector<Finding> findings;
  std::set<std::string> seen;
  for (const FlowMenu& menu : flow.menus) {
    if (menu.strGreeting.empty() || !seen.insert(menu.strPath).second)
      continue;
    const AudioReading reading = ReadGreeting(menu, strEncoding, audio);
    const std::string strName = DecodeTranscriptText(menu.strGreeting, strEncoding);
    if (std::optional<Finding> finding = GreetingFinding(menu, reading, strName))
      findings.push_back(std::move(*finding));
  }
  return findings;
}

} // namespace dovetrel
