#include "cli/CallCommandLine.h"

#include "call/Call.h"
#include "call/CallCoverage.h"
#include "call/CallPaths.h"
#include "call/CallRecord.h"
#include "call/CallSetup.h"
#include "call/Transcript.h"
#include "cli/CallCoverCommand.h"
#include "cli/CommandLine.h"
#include "cli/Options.h"
#include "vxml/XmlOutput.h"

#include <cerrno>
#include <cstdlib>
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
  dovetrel-call --coverage [--lcov ФАЙЛ] [--min ПРОЦЕНТ] [--dialect classic|w3c|both]
                [--encoding NAME] IVR_FILE ЗАПИСЬ...
  dovetrel-call --cover КАТАЛОГ [--dialect classic|w3c] [--encoding NAME] IVR_FILE
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
выполнить; 2 — неверный вызов или событие, которого звонок не ждёт, или
в каталог --cover нельзя писать;
3 — (--expect) звонок расходится с записью; (--coverage) звонок расходится с
записью или строк проверено меньше --min.
)";

/// What the command line asked for.
struct Invocation {
  std::string strEncoding;
  Dialect dialect = Dialect::Classic;
  std::string strExpect;             ///< the record to compare with; empty for none
  std::string strCover;              ///< the folder to write generated calls into; empty for none
  std::vector<std::string> vecWords; ///< the scenario file, then the events (or the records)
  bool bCoverage = false;            ///< --coverage: the words after the file are records
  bool bBothDialects = false;        ///< --dialect both, for --coverage
  std::string strLcov;               ///< the tracefile --coverage writes; empty for none
  std::string strMin; ///< the rows covered, in percent, that --coverage requires; empty for 100
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

/// Reads the record at \p strPath; says why on \p err when it cannot be read (1) or is no
/// transcript (2), the exit status then.
std::optional<std::vector<RecordedLine>> ReadRecord(const std::string& strPath, std::ostream& err,
                                                    CallExitStatus& status) {
  Finding error;
  std::optional<std::vector<RecordedLine>> record = ReadCallRecord(strPath, error);
  if (!record) {
    err << FormatFinding(error) << '\n';
    status = error.code == FindingCode::ReadError ? CallExitStatus::Failure : CallExitStatus::Usage;
  }
  return record;
}

/// Runs the events the record at \p strPath holds and compares the call with it, line by line.
CallExitStatus CompareWithRecord(const CCallProgram& program, const std::string& strPath,
                                 const std::string& strEncoding, std::ostream& err) {
  CallExitStatus status = CallExitStatus::Success;
  const std::optional<std::vector<RecordedLine>> record = ReadRecord(strPath, err, status);
  if (!record)
    return status;
  const Replay replay = ReplayRecord(program, *record, strPath, strEncoding);
  if (replay.fault)
    return Faulted(*replay.fault, err);
  if (replay.strDifference.empty())
    return CallExitStatus::Success;
  Error(err, "звонок расходится с записью " + replay.strDifference);
  return CallExitStatus::Differs;
}

/// Runs every record in every dialect asked for and counts the rows the calls took on
/// \p coverage, the set's files into \p setFiles; false when the set does not convert or its
/// document fails (said on \p err).
bool CoverRecords(const Invocation& call, const std::vector<std::vector<RecordedLine>>& records,
                  CCallCoverage& coverage, std::vector<std::string>& setFiles, bool& bDiffers,
                  std::ostream& err) {
  CCallMessages messages(err);
  ConversionOptions options;
  options.strEncoding = call.strEncoding;
  for (const Dialect dialect : call.bBothDialects ? std::vector{Dialect::Classic, Dialect::W3c}
                                                  : std::vector{call.dialect}) {
    options.dialect = dialect;
    const std::optional<PreparedCall> prepared =
        PrepareCall(call.vecWords.front(), messages, options);
    if (!prepared)
      return false;
    const CallSet& set = prepared->set;
    for (const FlowMenu& menu : set.flow.menus)
      setFiles.push_back(menu.strPath);
    coverage.AddRows(ActingRows(set.flow, dialect));
    coverage.AddNoAnswers(NoAnswerDials(set.flow, dialect));
    for (std::size_t i = 0; i < records.size(); ++i) {
      const std::string& strPath = call.vecWords[i + 1];
      const Replay replay = ReplayRecord(*prepared->pProgram, records[i], strPath, set.strEncoding);
      if (replay.fault) {
        Error(err, DescribeFault(*replay.fault));
        return false;
      }
      if (!replay.strDifference.empty())
        Error(err, "звонок расходится с записью " + replay.strDifference +
                       (dialect == Dialect::W3c ? " (документ w3c)" : " (документ classic)"));
      bDiffers = bDiffers || !replay.strDifference.empty();
      coverage.Count(TraceCallPath(set.flow, set.menus, replay.lines, set.strEncoding, dialect));
    }
  }
  return true;
}

/// --coverage: reads every record first, runs them, says which rows no call took and writes the
/// tracefile. 3 when a call differs from its record or too few rows are covered.
CallExitStatus RunCoverage(const Invocation& call, std::ostream& out, std::ostream& err) {
  std::vector<std::vector<RecordedLine>> records;
  for (std::size_t i = 1; i < call.vecWords.size(); ++i) {
    CallExitStatus status = CallExitStatus::Success;
    std::optional<std::vector<RecordedLine>> record = ReadRecord(call.vecWords[i], err, status);
    if (!record)
      return status;
    records.push_back(std::move(*record));
  }
  CCallCoverage coverage;
  std::vector<std::string> keep(call.vecWords.begin() + 1, call.vecWords.end());
  bool bDiffers = false;
  if (!CoverRecords(call, records, coverage, keep, bDiffers, err))
    return CallExitStatus::Failure;
  CCallMessages messages(err);
  if (!call.strLcov.empty() && !WriteLcov(call.strLcov, coverage, keep, messages))
    return CallExitStatus::Failure;
  for (const Finding& finding : coverage.Findings())
    err << FormatFinding(finding) << '\n';
  out << coverage.Summary() << '\n';
  const double fMin = call.strMin.empty() ? 100.0 : std::strtod(call.strMin.c_str(), nullptr);
  return bDiffers || coverage.Percent() < fMin ? CallExitStatus::Differs : CallExitStatus::Success;
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
  if (call.bCoverage)
    return RunCoverage(call, out, err);
  if (!call.strCover.empty() && !CoverFolderWritable(call.strCover, err))
    return CallExitStatus::Usage;
  CCallMessages messages(err);
  ConversionOptions options;
  options.strEncoding = call.strEncoding;
  options.dialect = call.dialect;
  const std::optional<PreparedCall> prepared =
      PrepareCall(call.vecWords.front(), messages, options);
  if (!prepared)
    return CallExitStatus::Failure;
  const std::string& strEncoding = prepared->set.strEncoding;
  if (!call.strCover.empty())
    return WriteCover(*prepared, call.dialect, call.strCover, out, err);
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

/// Declares --coverage, --lcov and --min.
void AddCoverageOptions(CCommandLine& line, Invocation& call) {
  line.add_flag("--coverage", call.bCoverage,
                "проверить, какие строки сценария проходят звонки ЗАПИСЬ...:\n"
                "каждая запись выполняется, как с --expect; о каждой строке,\n"
                "которая может сработать, но не сработала ни в одном звонке,\n"
                "выводится предупреждение, затем итог");
  line.AddValue("--lcov", call.strLcov, "ФАЙЛ", "имя файла покрытия",
                "с --coverage: записать покрытие в ФАЙЛ в формате lcov\n"
                "(для genhtml): строка сценария — число звонков через неё");
  line.AddValue("--min", call.strMin, "ПРОЦЕНТ", "процент от 0 до 100",
                "с --coverage: сколько процентов строк должно быть\n"
                "проверено (по умолчанию 100), иначе код завершения 3",
                [](const std::string& strValue) -> std::string {
                  char* pEnd = nullptr;
                  const double fValue = std::strtod(strValue.c_str(), &pEnd);
                  const bool bNumber =
                      !strValue.empty() && pEnd == strValue.c_str() + strValue.size();
                  return bNumber && fValue >= 0.0 && fValue <= 100.0
                             ? ""
                             : "--min: нужно число от 0 до 100, а не " + strValue;
                });
}

/// What --coverage and its options get wrong together; empty when nothing.
std::string CoverageMistake(const Invocation& call) {
  if (!call.bCoverage)
    return call.bBothDialects ? "--dialect both только с --coverage"
                              : "--lcov и --min только с --coverage";
  if (!call.strExpect.empty())
    return "--coverage и --expect вместе не используются";
  if (!call.strCover.empty() || call.bPaths)
    return "--coverage не сочетается с --cover и --paths";
  return call.vecWords.size() < 2 ? "--coverage: нужна хотя бы одна запись звонка" : "";
}

} // namespace

CallExitStatus RunCallCommandLine(const std::vector<std::string>& args, std::istream& in,
                                  std::ostream& out, std::ostream& err, bool bInteractiveInput) {
  Invocation call;
  CCommandLine line(kProgram, kHelp);
  line.add_option("IVR_FILE", call.vecWords)->required();
  line.AddSetOptions(call.dialect, call.strEncoding,
                     "какой документ выполнять: classic (по умолчанию) или w3c;\n"
                     "с --coverage также both — оба",
                     "кодировка файлов сценария, как у dovetrel-convert", &call.bBothDialects);
  line.AddValue("--expect", call.strExpect, "ЗАПИСЬ", "файл записи звонка",
                "сверить звонок с записанным ходом: события берутся из\n"
                "строк записи (press K, silence, ...), и весь ход звонка\n"
                "должен с ней совпасть; строки с # в начале — комментарии");
  line.add_flag("--paths", call.bPaths,
                "вывести кратчайший путь звонящего к каждому набору и отбою:\n"
                "события, приветствия с их длительностью и ожидания");
  AddCoverageOptions(line, call);
  line.AddValue("--cover", call.strCover, "КАТАЛОГ", "каталог для записей звонков",
                "записать в КАТАЛОГ звонки, в которых срабатывает каждая\n"
                "строка сценария, какая может сработать, — по записи на\n"
                "звонок; записи, которые уже есть, не перезаписываются");
  const auto relations = [&call] {
    if (call.bCoverage || call.bBothDialects || !call.strLcov.empty() || !call.strMin.empty())
      return CoverageMistake(call);
    if (call.bPaths && (call.vecWords.size() > 1 || !call.strExpect.empty() ||
                        !call.strCover.empty()))
      return std::string("--paths не принимает событий, --expect и --cover");
    if (!call.strCover.empty() && !call.strExpect.empty())
      return std::string("--cover и --expect не сочетаются");
    const char* szFrom = call.strCover.empty() ? "--expect события берутся из записи"
                                               : "--cover события выбираются сами";
    return (call.strExpect.empty() && call.strCover.empty()) || call.vecWords.size() < 2
               ? std::string()
               : "лишний аргумент " + call.vecWords[1] + ": с " + szFrom;
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
