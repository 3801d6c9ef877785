#include "call/CallRecord.h"

#include "call/Call.h"
#include "call/CallEvent.h"
#include "call/Texts.h"
#include "call/Transcript.h"
#include "convert/Conversion.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace dovetrel {

std::string RecordLine(std::string_view line) {
  std::string strLine(line);
  strLine += '\n';
  return strLine;
}

std::string CallRecord(const std::vector<std::string>& lines) {
  std::string strRecord;
  for (const std::string& strLine : lines)
    strRecord += RecordLine(strLine);
  return strRecord;
}

bool WriteCallRecord(const std::string& strPath, const std::vector<std::string>& lines,
                     const std::vector<std::string>& setFiles, IMessageSink& messages) {
  return WriteSideFile(strPath, CallRecord(lines), setFiles,
                       {FindingCode::CannotWriteCall, text::kRecordIsScenario,
                        FindingCode::CannotWriteCall, text::kCannotWriteRecord},
                       messages);
}

namespace {

constexpr std::array kRecordWords = {word::kMenu,    word::kPlay,     word::kWait,  word::kPress,
                                     word::kSilence, word::kFax,      word::kDial,  word::kAnswer,
                                     word::kBusy,    word::kNoAnswer, word::kHangup};

/// The error of the record \p strPath at line \p nLine (0: the file as a whole).
Finding RecordError(const std::string& strPath, int nLine, FindingCode code, std::string_view text,
                    std::string strNote = {}) {
  Finding error{code, Severity::Error, std::string(text), strPath, nLine};
  error.strNote = std::move(strNote);
  return error;
}

/// True when \p line starts with a word of the transcript, followed by a space or nothing.
bool StartsWithRecordWord(std::string_view line) {
  const std::string_view first = line.substr(0, line.find(' '));
  return std::find(kRecordWords.begin(), kRecordWords.end(), first) != kRecordWords.end();
}

/// Keeps the writer of the transcript's lines.
class CLinesTranscript final : public ICallTranscript {
public:
  void Step(std::string_view line) override { m_vecLines.emplace_back(line); }
  std::vector<std::string> m_vecLines;
};

} // namespace

std::optional<std::vector<RecordedLine>> ReadCallRecord(const std::string& strPath,
                                                        Finding& error) {
  std::ifstream file(strPath, std::ios::binary);
  if (!file) {
    error = RecordError(strPath, 0, FindingCode::ReadError, text::kCannotReadRecord,
                        std::strerror(errno));
    return std::nullopt;
  }
  std::vector<RecordedLine> lines;
  int nLine = 0;
  for (std::string strLine; std::getline(file, strLine);) {
    ++nLine;
    if (!strLine.empty() && strLine.back() == '\r')
      strLine.pop_back();
    if (strLine.empty() || strLine[0] == '#')
      continue;
    const bool bEnded = !lines.empty() && lines.back().strText == word::kHangup;
    if (bEnded || !StartsWithRecordWord(strLine)) {
      error = RecordError(strPath, nLine, FindingCode::RecordNotTranscript,
                          bEnded ? text::kRecordAfterHangup : text::kRecordUnknownWord);
      return std::nullopt;
    }
    lines.push_back({nLine, std::move(strLine)});
  }
  if (file.bad()) {
    error = RecordError(strPath, 0, FindingCode::ReadError, text::kCannotReadRecord,
                        std::strerror(errno));
    return std::nullopt;
  }
  return lines;
}

namespace {

/// Feeds the events of \p record to \p call until one does not fit or the document fails.
void FeedRecord(CCall& call, const std::vector<RecordedLine>& record,
                const std::string& strEncoding, Replay& replay) {
  for (const RecordedLine& line : record) {
    const std::optional<CallEvent> event = EventOfLine(line.strText, strEncoding);
    if (!event)
      continue;
    const FeedResult result = call.Feed(*event);
    if (result == FeedResult::Fault)
      replay.fault = call.Fault();
    if (result != FeedResult::Taken)
      return; // the transcript ends before this line, and differs there
  }
}

/// The first difference of \p lines from \p record; empty when there is none.
std::string Difference(const std::vector<RecordedLine>& record,
                       const std::vector<std::string>& lines, const std::string& strPath) {
  for (std::size_t i = 0; i <= record.size(); ++i) {
    const bool bRecorded = i < record.size();
    const bool bRan = i < lines.size();
    if (!bRecorded && !bRan)
      break;
    if (bRecorded && bRan && record[i].strText == lines[i])
      continue;
    const int nLine = bRecorded ? record[i].nLine : (record.empty() ? 0 : record.back().nLine) + 1;
    return strPath + ":" + std::to_string(nLine) + ": в записи " +
           (bRecorded ? "«" + record[i].strText + "»" : "конец") + ", в звонке " +
           (bRan ? "«" + lines[i] + "»" : "конец");
  }
  return {};
}

} // namespace

Replay ReplayRecord(const CCallProgram& program, const std::vector<RecordedLine>& record,
                    const std::string& strPath, const std::string& strEncoding) {
  Replay replay;
  CLinesTranscript transcript;
  CCall call(program, transcript);
  if (!call.Start())
    replay.fault = call.Fault();
  else
    FeedRecord(call, record, strEncoding, replay);
  replay.lines = std::move(transcript.m_vecLines);
  if (!replay.fault)
    replay.strDifference = Difference(record, replay.lines, strPath);
  return replay;
}

std::string RecordFileName(std::string_view strPrefix, const std::vector<std::string>& events) {
  std::string strName(strPrefix);
  for (const std::string& strEvent : events) {
    strName += '-';
    const char c = strEvent.front();
    const bool bWord = strEvent.size() > 1;
    const bool bPlain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (bWord || bPlain) {
      strName += strEvent;
      continue;
    }
    if (c == '*' || c == '#') {
      strName += c == '*' ? "star" : "hash";
      continue;
    }
    char szHex[8];
    std::snprintf(szHex, sizeof szHex, "x%02X", static_cast<unsigned char>(c));
    strName += szHex;
  }
  return strName + ".txt";
}

} // namespace dovetrel
