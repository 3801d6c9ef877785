#include "cli/CommandLine.h"

#include "call/RecordedCoverage.h"
#include "cli/Options.h"
#include "convert/Conversion.h"
#include "convert/FixCommand.h"
#include "convert/FlowCommand.h"
#include "text/Escape.h"
#include "vxml/XmlOutput.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>

namespace dovetrel {

namespace {

constexpr const char* kHelp = R"(Использование:
  dovetrel-convert [--dialect classic|w3c] [--encoding NAME] IVR_FILE [VXML_FILE]
  dovetrel-convert --check [--dialect classic|w3c] [--encoding NAME] IVR_FILE
  dovetrel-convert --fix [--dry-run] [--encoding NAME] IVR_FILE
  dovetrel-convert --flow FILE [--encoding NAME] IVR_FILE
  dovetrel-convert --flow FILE --coverage ЗАПИСЬ... [--dialect classic|w3c|both]
                   [--encoding NAME] IVR_FILE
  dovetrel-convert --help | --version

Преобразует сценарий IVR (главный файл и все вложенные сценарии, которые
называют его строки menu) в один документ VoiceXML.

%OPTIONS%

Сообщения выводятся в стандартный поток ошибок, по одному в строке:
«ВИД: ТЕКСТ», подробности (файл и строка) — на следующей строке с отступом.

--fix выводит в стандартный поток вывода каждую изменённую строку дважды:
«ФАЙЛ:СТРОКА: -БЫЛО» и «ФАЙЛ:СТРОКА: +СТАЛО»; с --dry-run — единый diff
(«--- a/ФАЙЛ», «+++ b/ФАЙЛ», блоки «@@»), который примут patch -p1 и git apply.

--flow с --coverage выполняет записи звонков, как dovetrel-call --coverage,
и рисует стрелки строк, через которые прошли звонки, сплошными с числом
звонков («×3»), а стрелки строк, не проверенных ни одним звонком, —
пунктиром цвета предупреждения («×0»); итог выводится в стандартный вывод.

Коды завершения: 0 — успех; 1 — преобразование не удалось;
2 — неверный вызов или запись звонка не является ходом звонка;
3 — (--check) есть только предупреждения; (--coverage) звонок расходится
с записью.
)";

/// What the command line asked for.
struct Invocation {
  bool bCheck = false;
  bool bFix = false;                   ///< --fix
  bool bDryRun = false;                ///< --dry-run
  std::optional<std::string> flowFile; ///< --flow FILE
  std::vector<std::string> vecRecords; ///< --coverage: the calls' records to show on the flow
  bool bBothDialects = false;          ///< --dialect both, for --coverage
  ConversionOptions options;           ///< --encoding, --dialect
  std::string strIvr;
  std::vector<std::string> vecVxml; ///< VXML_FILE, then any word too many
};

/// Declares the options into \p call; returns what they get wrong together.
std::function<std::string()> Declare(CCommandLine& line, Invocation& call) {
  line.add_option("IVR_FILE", call.strIvr)->required();
  line.add_option("VXML_FILE", call.vecVxml,
                  "документ VoiceXML; по умолчанию имя IVR_FILE до первой\n"
                  "точки с расширением .vxml (.w3c.vxml для --dialect w3c),\n"
                  "в том же каталоге");
  line.AddSetOptions(call.options.dialect, call.options.strEncoding,
                     "вид документа: classic (по умолчанию) — для платформы,\n"
                     "как она его ожидает; w3c — стандартный W3C VoiceXML 2.1\n"
                     "для любого голосового браузера (с --check также\n"
                     "сообщает о строках, которые он не может передать);\n"
                     "с --coverage также both — записи выполняются в обоих",
                     "кодировка файлов сценария, любое имя, известное iconv\n"
                     "(например WINDOWS-1251, KOI8-R); по умолчанию UTF-8, если\n"
                     "все тексты сценария в UTF-8, иначе WINDOWS-1251",
                     &call.bBothDialects);
  line.add_flag("--check", call.bCheck, "только проверить сценарий, ничего не записывая");
  line.add_flag("--fix", call.bFix,
                "исправить в файлах сценария то, что --check может исправить,\n"
                "не удаляя текста: разложить строку по её столбцам, написать\n"
                "ключевое слово строчными буквами, отодвинуть приветствие;\n"
                "каждый файл заменяется целиком, как документ");
  line.add_flag("--dry-run", call.bDryRun,
                "с --fix: только вывести исправления единым diff, ничего не\n"
                "записывая");
  line.AddValue("--flow", call.flowFile, "FILE", "имя файла схемы",
                "вместо документа записать схему звонка в FILE; формат по\n"
                "расширению: .svg, .png, .pdf (рисунок), .dot (исходный\n"
                "текст Graphviz), .json (модель для других программ)",
                [](const std::string& strFlow) -> std::string {
                  if (strFlow.empty() || FlowFormatOfPath(strFlow))
                    return strFlow.empty() ? "параметру --flow нужно имя файла схемы" : "";
                  return "неизвестный формат схемы " + strFlow +
                         ": расширение должно быть .svg, .png, .pdf, .dot или .json";
                });
  line.add_option("--coverage", call.vecRecords,
                  "с --flow: выполнить записи звонков ЗАПИСЬ... и показать на\n"
                  "схеме, сколько звонков прошло через каждую строку")
      ->option_text("ЗАПИСЬ...")
      ->type_name("имя файла записи звонка")
      ->expected(1, CLI::detail::expected_max_vector_size)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  return [&call]() -> std::string {
    if (!call.vecRecords.empty() && !call.flowFile)
      return "--coverage указывают только вместе с --flow";
    if (call.bBothDialects && call.vecRecords.empty())
      return "--dialect both только с --coverage";
    if (call.bCheck && call.flowFile)
      return "--check и --flow нельзя указывать вместе";
    if (call.bFix && (call.bCheck || call.flowFile))
      return std::string("--fix и ") + (call.bCheck ? "--check" : "--flow") +
             " нельзя указывать вместе";
    if (call.bDryRun && !call.bFix)
      return "--dry-run указывают только вместе с --fix";
    const std::size_t nMax = call.bCheck || call.flowFile || call.bFix ? 0 : 1;
    return call.vecVxml.size() > nMax ? "лишний аргумент " + call.vecVxml[nMax] : "";
  };
}

ExitStatus Convert(const Invocation& call, std::ostream& err) {
  CStreamMessageSink messages(err);
  CScenarioTable table;
  const std::string strVxml =
      call.vecVxml.empty() ? ProposeVxmlName(call.strIvr, call.options.dialect) : call.vecVxml[0];
  std::string strBaseDir;
  const ConversionOutcome outcome =
      RunConversion(call.strIvr, strVxml, strBaseDir, table, messages, call.options);
  return outcome == ConversionOutcome::Converted ? ExitStatus::Success : ExitStatus::Failure;
}

/// Runs the records of --coverage on the set as dovetrel-call --coverage does, each difference
/// said on \p err; the exit status when the flow is not to be drawn.
std::optional<ExitStatus> RunRecords(const Invocation& call, std::optional<RecordedCoverage>& run,
                                     std::ostream& err) {
  Finding error;
  const std::optional<std::vector<CoverageRecord>> records =
      ReadCoverageRecords(call.vecRecords, error);
  if (!records) {
    err << FormatFinding(error) << '\n';
    return error.code == FindingCode::ReadError ? ExitStatus::Failure : ExitStatus::Usage;
  }
  CFailureMessages messages(err);
  run = CoverRecordedCalls(call.strIvr, *records,
                           call.bBothDialects ? std::vector{Dialect::Classic, Dialect::W3c}
                                              : std::vector{call.options.dialect},
                           call.options.strEncoding, messages);
  if (!run)
    return ExitStatus::Failure;
  for (const std::string& strDifference : run->differences)
    err << "error: dovetrel-convert: " << strDifference << '\n';
  if (!run->fault)
    return std::nullopt;
  err << "error: dovetrel-convert: " << DescribeFault(*run->fault) << '\n';
  return ExitStatus::Failure;
}

/// Loads the set as the conversion does and writes its call flow instead of the document; with
/// --coverage, the calls' counts on its arrows and their summary on \p out.
ExitStatus Flow(const Invocation& call, std::ostream& out, std::ostream& err) {
  std::optional<RecordedCoverage> run;
  if (!call.vecRecords.empty())
    if (const std::optional<ExitStatus> status = RunRecords(call, run, err))
      return *status;
  std::optional<DiagramMarks> hits;
  if (run)
    hits = CoverageMarks(run->coverage);
  CStreamMessageSink messages(err);
  const FlowOutcome outcome =
      RunFlow(call.strIvr, *call.flowFile, *FlowFormatOfPath(*call.flowFile), messages,
              call.options, hits ? &*hits : nullptr);
  if (outcome != FlowOutcome::Written)
    return ExitStatus::Failure;
  if (!run)
    return ExitStatus::Success;
  out << run->coverage.Summary() << '\n';
  return run->differences.empty() ? ExitStatus::Success : ExitStatus::Warnings;
}

/// Reads the set exactly as the conversion does and prints every finding.
ExitStatus Check(const Invocation& call, std::ostream& err) {
  ConversionOptions options = call.options;
  options.pAudio = &SystemAudioFiles(); // the greetings' sound files beside the scenario files
  const std::vector<Finding> findings = RunCheck(call.strIvr, options);
  for (const Finding& finding : findings)
    err << FormatFinding(finding) << '\n';
  if (HasFindings(findings, Severity::Error))
    return ExitStatus::Failure;
  return HasFindings(findings, Severity::Warning) ? ExitStatus::Warnings : ExitStatus::Success;
}

/// \p strPath as a diff names it: relative to the current directory.
std::string DiffName(const std::string& strPath) {
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  const std::filesystem::path path(strPath);
  return (path.is_absolute() && !error ? path.lexically_proximate(current) : path)
      .lexically_normal()
      .generic_string();
}

/// A changed line as the compiler-style listing prints it: its CR and control characters escaped.
std::string Shown(std::string_view line) {
  if (!line.empty() && line.back() == '\r')
    line.remove_suffix(1);
  return EscapeControls(line);
}

/// Applies the safe fixes to the set's files and lists every changed line, or, with --dry-run,
/// prints them as a unified diff and writes nothing.
ExitStatus Fix(const Invocation& call, std::ostream& out, std::ostream& err) {
  CStreamMessageSink messages(err);
  const std::optional<std::vector<FixedFile>> files =
      PlanFixes(call.strIvr, messages, call.options);
  if (!files)
    return ExitStatus::Failure;
  if (call.bDryRun) {
    for (const FixedFile& file : *files)
      out << UnifiedDiff(file, DiffName(file.strPath));
    return ExitStatus::Success;
  }
  if (!WriteFixes(*files, messages))
    return ExitStatus::Failure;
  for (const FixedFile& file : *files) {
    for (const ChangedLine& line : ChangedLines(file)) {
      const std::string strPlace = file.strPath + ":" + std::to_string(line.nLine) + ": ";
      out << strPlace << '-' << Shown(line.before) << '\n'
          << strPlace << '+' << Shown(line.after) << '\n';
    }
  }
  return ExitStatus::Success;
}

} // namespace

MessageReply CStreamMessageSink::ShowMessage(const Finding& finding, MessageKind kind) {
  m_stream << SeverityName(finding.severity) << ": " << EscapeControls(finding.strText) << '\n';
  std::string strDetail = FormatDetail(finding);
  for (const Finding& related : finding.vecRelated)
    strDetail += (strDetail.empty() ? "" : "\n") + FormatFinding(related);
  for (std::size_t nStart = 0; nStart < strDetail.size();) {
    const std::size_t nEnd = std::min(strDetail.find('\n', nStart), strDetail.size());
    m_stream << "  " << std::string_view(strDetail).substr(nStart, nEnd - nStart) << '\n';
    nStart = nEnd + 1;
  }
  m_stream.flush();
  return kind == MessageKind::Question ? MessageReply::No : MessageReply::Ok;
}

ExitStatus RunCommandLine(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err) {
  Invocation call;
  CCommandLine line("dovetrel-convert", kHelp);
  if (const auto status = line.Read(args, out, err, Declare(line, call)))
    return static_cast<ExitStatus>(*status);
  SilenceLibXmlReports(); // every failure reaches standard error once, as a message line
  ExitStatus status = ExitStatus::Failure;
  CStreamMessageSink messages(err);
  const bool bFinished = ReportExceptions(messages, [&] {
    if (call.bCheck)
      status = Check(call, err);
    else if (call.bFix)
      status = Fix(call, out, err);
    else if (call.flowFile)
      status = Flow(call, out, err);
    else
      status = Convert(call, err);
  });
  return bFinished ? status : ExitStatus::Failure;
}

} // namespace dovetrel
