#include "cli/CallCommandLine.h"

#include "call/Call.h"
#include "call/CallPaths.h"
#include "call/CallRecord.h"
#include "call/CallSetup.h"
#include "call/Transcript.h"
#include "cli/CommandLine.h"
#include "cli/Options.h"
#include "vxml/XmlOutput.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <istream>
#include <optional>
#include <ostream>
#include <sstream>

namespace dovetrel {

namespace {

constexpr const char* kProgram = "dovetrel-call";

constexpr const char* kHelp = R"(Использование:
  dovetrel-call [--dialect classic|w3c] [--encoding NAME] IVR_FILE [СОБЫТИЕ...]
  dovetrel-call --expect ЗАПИСЬ [--dialect classic|w3c] [--encoding NAME] IVR_FILE
  dovetrel-call --paths [--encoding NAME] IVR_FILE
  dovetrel-call --help | --version

Проводит звонок по сценарию IVR: преобразует набор файлов в документ VoiceXML
в памяти (на диск ничего не пишется), выполняет документ с начала и выводит
ход звонка в стандартный вывод, по шагу в строке:
  menu ФАЙЛ, play ЗВУК, wait ВРЕМЯ — звонок вошёл в меню и ждёт;
  press K, silence, fax — событие в меню;
  dial НОМЕР — перевод; answer, busy, noanswer — его исход;
  hangup — звонок окончен.

СОБЫТИЕ — одно в аргументе: один знак — нажатая клавиша (1, '*', '#');
silence — время ожидания вышло без нажатия; fax — тон факса; answer, busy,
noanswer — исход перевода. Когда события кончаются, ход звонка обрывается на
последней строке wait или dial. Без событий, если стандартный ввод —
терминал, события спрашиваются по ходу звонка.

%OPTIONS%

Сообщения преобразования выводятся в стандартный поток ошибок, как у
dovetrel-convert; предупреждения о сценарии — по одному в строке.

Коды завершения: 0 — успех; 1 — сценарий не преобразуется или документ нельзя
выполнить; 2 — неверный вызов или событие, которого звонок не ждёт;
3 — (--expect) звонок расходится с записью.
)";

/// What the command line asked for.
struct Invocation {
  std::string strEncoding;
  Dialect dialect = Dialect::Classic;
  std::string strExpect;             ///< the record to compare with; empty for none
  std::vector<std::string> vecWords; ///< the scenario file, then the events
  bool bPaths = false;               ///< list the caller's paths instead of running a call
};

/// The conversion's messages as dovetrel-convert prints them, but for its success: the set was
/// converted for the call, not into a file, so only the warnings under it are printed.
class CCallMessages final : public IMessageSink {
public:
  explicit CCallMessages(std::ostream& err) : m_err(err), m_messages(err) {}
  MessageReply ShowMessage(const Finding& finding, MessageKind kind) override {
    if (finding.code == FindingCode::CannotRunCall) {
      // The scenario row that made the element at fault, then the document's line.
      m_err << "error: " << kProgram << ": " << FormatDetail(finding) << '\n';
      return MessageReply::Ok;
    }
    if (kind != MessageKind::Information)
      return m_messages.ShowMessage(finding, kind);
    for (const Finding& warning : finding.vecRelated)
      m_err << FormatFinding(warning) << '\n';
    return MessageReply::Ok;
  }

private:
  std::ostream& m_err;
  CStreamMessageSink m_messages;
};

/// Writes the transcript, one line at a time; keeps the lines when asked to.
class CStreamTranscript final : public ICallTranscript {
public:
  explicit CStreamTranscript(std::ostream* pOut) : m_pOut(pOut) {}
  void Step(std::string_view line) override {
    if (m_pOut)
      *m_pOut << RecordLine(line);
    else
      m_vecLines.emplace_back(line);
  }
  std::vector<std::string> m_vecLines; ///< the lines, when there is no stream

private:
  std::ostream* m_pOut;
};

void Error(std::ostream& err, const std::string& strText) {
  err << "error: " << kProgram << ": " << strText << '\n';
}

/// What the call waits for, in the words of a message.
std::string WhatFits(CallWait wait) {
  switch (wait) {
  case CallWait::Input:
    return "звонок ждёт клавишу (один знак), silence или fax";
  case CallWait::Outcome:
    return "звонок ждёт исход перевода: answer, busy или noanswer";
  case CallWait::Nothing:
    break;
  }
  return "звонок уже окончен (hangup)";
}

/// The mistake of event \p strWord (number \p nNumber, from 1), or empty when the call took it.
/// \p result is what the call made of it; \p bKnown false for a word that names no event.
std::string EventMistake(const std::string& strWord, int nNumber, bool bKnown, CallWait wait) {
  return "событие " + std::to_string(nNumber) + " «" + EscapeTranscriptText(strWord) + "» " +
         (bKnown ? "не подходит" : "неизвестно") + ": " + WhatFits(wait);
}

CallExitStatus Faulted(const CallFault& fault, std::ostream& err) {
  Error(err, DescribeFault(fault));
  return CallExitStatus::Failure;
}

/// Feeds \p words to \p call in order; stops at the first that does not fit.
CallExitStatus FeedAll(CCall& call, const std::vector<std::string>& words,
                       const std::string& strEncoding, std::ostream& err) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::optional<CallEvent> event = ParseCallEvent(words[i], strEncoding);
    const FeedResult result = event ? call.Feed(*event) : FeedResult::DoesNotFit;
    if (result == FeedResult::Fault)
      return Faulted(call.Fault(), err);
    if (result == FeedResult::DoesNotFit) {
      Error(err,
            EventMistake(words[i], static_cast<int>(i) + 1, event.has_value(), call.Waiting()));
      return CallExitStatus::Usage;
    }
  }
  return CallExitStatus::Success;
}

/// Asks for events on \p err and reads them from \p in, a line at a time (several words a line
/// are taken in turn), until the call ends or the input does. A mistake is said and asked again.
CallExitStatus Converse(CCall& call, const std::string& strEncoding, std::istream& in,
                        std::ostream& out, std::ostream& err) {
  int nNumber = 0;
  while (call.Waiting() != CallWait::Nothing) {
    out.flush();
    err << (call.Waiting() == CallWait::Input ? "событие (клавиша, silence, fax)> "
                                              : "исход перевода (answer, busy, noanswer)> ")
        << std::flush;
    std::string strLine;
    if (!std::getline(in, strLine))
      break;
    std::istringstream words(strLine);
    for (std::string strWord; words >> strWord && call.Waiting() != CallWait::Nothing;) {
      const std::optional<CallEvent> event = ParseCallEvent(strWord, strEncoding);
      const FeedResult result = event ? call.Feed(*event) : FeedResult::DoesNotFit;
      ++nNumber;
      if (result == FeedResult::Fault)
        return Faulted(call.Fault(), err);
      if (result == FeedResult::DoesNotFit) {
        err << EventMistake(strWord, nNumber, event.has_value(), call.Waiting()) << '\n';
        --nNumber;
        break;
      }
      out.flush();
    }
  }
  if (call.Waiting() != CallWait::Nothing)
    err << '\n';
  return CallExitStatus::Success;
}

/// The lines of the record at \p strPath, comments and blank lines left out, each with its line
/// number; false with the reason when it cannot be read.
bool ReadRecord(const std::string& strPath, std::vector<std::pair<int, std::string>>& lines,
                std::string& strReason) {
  std::ifstream file(strPath, std::ios::binary);
  if (!file) {
    strReason = std::strerror(errno);
    return false;
  }
  int nLine = 0;
  for (std::string strLine; std::getline(file, strLine);) {
    ++nLine;
    if (!strLine.empty() && strLine.back() == '\r')
      strLine.pop_back();
    if (!strLine.empty() && strLine[0] != '#')
      lines.emplace_back(nLine, strLine);
  }
  if (file.bad()) {
    strReason = std::strerror(errno);
    return false;
  }
  return true;
}

/// Runs the events the record at \p strPath holds and compares the call with it, line by line.
CallExitStatus CompareWithRecord(const CCallProgram& program, const std::string& strPath,
                                 const std::string& strEncoding, std::ostream& err) {
  std::vector<std::pair<int, std::string>> record;
  std::string strReason;
  if (!ReadRecord(strPath, record, strReason)) {
    Error(err, "не удалось прочитать запись звонка " + strPath + ": " + strReason);
    return CallExitStatus::Failure;
  }
  CStreamTranscript transcript(nullptr);
  CCall call(program, transcript);
  if (!call.Start())
    return Faulted(call.Fault(), err);
  for (const auto& [nLine, strLine] : record) {
    const std::optional<CallEvent> event = EventOfLine(strLine, strEncoding);
    if (!event)
      continue;
    const FeedResult result = call.Feed(*event);
    if (result == FeedResult::Fault)
      return Faulted(call.Fault(), err);
    if (result == FeedResult::DoesNotFit)
      break; // the transcript ends before this line, and differs there
  }
  const std::vector<std::string>& lines = transcript.m_vecLines;
  for (std::size_t i = 0; i <= record.size(); ++i) {
    const bool bRecorded = i < record.size();
    const bool bRan = i < lines.size();
    if (!bRecorded && !bRan)
      break;
    if (bRecorded && bRan && record[i].second == lines[i])
      continue;
    const int nLine = bRecorded ? record[i].first : (record.empty() ? 0 : record.back().first) + 1;
    Error(err, "звонок расходится с записью " + strPath + ":" + std::to_string(nLine) +
                   ": в записи " + (bRecorded ? "«" + record[i].second + "»" : "конец") +
                   ", в звонке " + (bRan ? "«" + lines[i] + "»" : "конец"));
    return CallExitStatus::Differs;
  }
  return CallExitStatus::Success;
}

/// Prints the caller's path to every dial and every end of the set, a line each.
CallExitStatus ListPaths(const Invocation& call, std::ostream& out, std::ostream& err) {
  CCallMessages messages(err);
  ConversionOptions options;
  options.strEncoding = call.strEncoding;
  const std::optional<CallSet> set = ConvertForCall(call.vecWords.front(), messages, options);
  if (!set)
    return CallExitStatus::Failure;
  for (const std::string& strLine :
       DescribeCallPaths(set->flow, set->strEncoding, SystemAudioFiles()))
    out << strLine << '\n';
  return CallExitStatus::Success;
}

CallExitStatus RunCall(const Invocation& call, std::istream& in, std::ostream& out,
                       std::ostream& err, bool bInteractiveInput) {
  CCallMessages messages(err);
  ConversionOptions options;
  options.strEncoding = call.strEncoding;
  options.dialect = call.dialect;
  const std::optional<PreparedCall> prepared =
      PrepareCall(call.vecWords.front(), messages, options);
  if (!prepared)
    return CallExitStatus::Failure;
  const std::string& strEncoding = prepared->set.strEncoding;
  if (!call.strExpect.empty())
    return CompareWithRecord(*prepared->pProgram, call.strExpect, strEncoding, err);
  CStreamTranscript transcript(&out);
  CCall run(*prepared->pProgram, transcript);
  CallExitStatus status = CallExitStatus::Success;
  if (!run.Start())
    status = Faulted(run.Fault(), err);
  else if (call.vecWords.size() == 1 && bInteractiveInput)
    status = Converse(run, strEncoding, in, out, err);
  else
    status = FeedAll(run, {call.vecWords.begin() + 1, call.vecWords.end()}, strEncoding, err);
  out.flush();
  return status;
}

} // namespace

CallExitStatus RunCallCommandLine(const std::vector<std::string>& args, std::istream& in,
                                  std::ostream& out, std::ostream& err, bool bInteractiveInput) {
  Invocation call;
  CCommandLine line(kProgram, kHelp);
  line.add_option("IVR_FILE", call.vecWords)->required();
  line.AddSetOptions(call.dialect, call.strEncoding,
                     "какой документ выполнять: classic (по умолчанию) или w3c",
                     "кодировка файлов сценария, как у dovetrel-convert");
  line.AddValue("--expect", call.strExpect, "ЗАПИСЬ", "файл записи звонка",
                "сверить звонок с записанным ходом: события берутся из\n"
                "строк записи (press K, silence, ...), и весь ход звонка\n"
                "должен с ней совпасть; строки с # в начале — комментарии");
  line.add_flag("--paths", call.bPaths,
                "вывести кратчайший путь звонящего к каждому набору и отбою:\n"
                "события, приветствия с их длительностью и ожидания");
  const auto relations = [&call] {
    if (call.bPaths && (call.vecWords.size() > 1 || !call.strExpect.empty()))
      return std::string("--paths не принимает событий и --expect");
    return call.strExpect.empty() || call.vecWords.size() < 2
               ? std::string()
               : "лишний аргумент " + call.vecWords[1] + ": с --expect события берутся из записи";
  };
  if (const auto status = line.Read(args, out, err, relations))
    return static_cast<CallExitStatus>(*status);
  SilenceLibXmlReports(); // every failure reaches standard error once, as a message line
  CallExitStatus status = CallExitStatus::Failure;
  CStreamMessageSink messages(err);
  const bool bFinished = ReportExceptions(messages, [&] {
    status =
        call.bPaths ? ListPaths(call, out, err) : RunCall(call, in, out, err, bInteractiveInput);
  });
  out.flush();
  return bFinished ? status : CallExitStatus::Failure;
}

} // namespace dovetrel
