#include "cli/CommandLine.h"

#include "cli/Arguments.h"
#include "convert/Conversion.h"
#include "convert/FlowCommand.h"
#include "convert/Version.h"
#include "vxml/TextCodec.h"
#include "vxml/XmlOutput.h"

#include <algorithm>
#include <optional>
#include <ostream>

namespace dovetrel {

namespace {

constexpr const char* kProgram = "dovetrel-convert";

constexpr const char* kHelp =
    R"(Использование:
  dovetrel-convert [--dialect classic|w3c] [--encoding NAME] IVR_FILE [VXML_FILE]
  dovetrel-convert --check [--dialect classic|w3c] [--encoding NAME] IVR_FILE
  dovetrel-convert --flow FILE [--encoding NAME] IVR_FILE
  dovetrel-convert --help | --version

Преобразует сценарий IVR (главный файл и все вложенные сценарии, которые
называют его строки menu) в один документ VoiceXML.

  VXML_FILE          документ VoiceXML; по умолчанию имя IVR_FILE до первой
                     точки с расширением .vxml (.w3c.vxml для --dialect w3c),
                     в том же каталоге
  --dialect DIALECT  вид документа: classic (по умолчанию) — для платформы,
                     как она его ожидает; w3c — стандартный W3C VoiceXML 2.1
                     для любого голосового браузера (с --check также
                     сообщает о строках, которые он не может передать)
  --encoding NAME    кодировка файлов сценария, любое имя, известное iconv
                     (например WINDOWS-1251, KOI8-R); по умолчанию UTF-8, если
                     все тексты сценария в UTF-8, иначе WINDOWS-1251
  --check            только проверить сценарий, ничего не записывая
  --flow FILE        вместо документа записать схему звонка в FILE; формат по
                     расширению: .svg, .png, .pdf (рисунок), .dot (исходный
                     текст Graphviz), .json (модель для других программ)
  -h, --help         показать эту справку
  -V, --version      показать версию

Сообщения выводятся в стандартный поток ошибок, по одному в строке:
«ВИД: ТЕКСТ», подробности (файл и строка) — на следующей строке с отступом.

Коды завершения: 0 — успех; 1 — преобразование не удалось;
2 — неверный вызов; 3 — (--check) есть только предупреждения.
)";

/// What the command line asked for.
struct Invocation {
  bool bHelp = false;
  bool bVersion = false;
  bool bCheck = false;
  std::optional<std::string> flowFile; ///< --flow FILE
  std::string strEncoding;
  Dialect dialect = Dialect::Classic;
  std::vector<std::string> vecFiles;
};

/// Parses \p args; on a mistake returns nothing, with the reason in \p strError.
std::optional<Invocation> ParseArguments(const std::vector<std::string>& args,
                                         std::string& strError) {
  Invocation call;
  bool bOptions = true;
  std::string strDialect;
  for (std::size_t i = 0; i < args.size() && strError.empty(); ++i) {
    const std::string& arg = args[i];
    if (!bOptions || arg.size() < 2 || arg[0] != '-') {
      call.vecFiles.push_back(arg);
    } else if (arg == "--") {
      bOptions = false;
    } else if (arg == "-h" || arg == "--help") {
      call.bHelp = true;
    } else if (arg == "-V" || arg == "--version") {
      call.bVersion = true;
    } else if (arg == "--check") {
      call.bCheck = true;
    } else if (std::string strFlow;
               TakeOptionValue(args, i, "--flow", "имя файла схемы", strFlow, strError)) {
      call.flowFile = strFlow;
    } else if (TakeOptionValue(args, i, "--encoding", "имя кодировки", call.strEncoding,
                               strError)) {
      continue;
    } else if (TakeOptionValue(args, i, "--dialect", "название вида документа", strDialect,
                               strError)) {
      const std::optional<Dialect> dialect = ParseDialect(strDialect);
      if (!dialect && strError.empty())
        strError = UnknownDialect(strDialect);
      call.dialect = dialect.value_or(Dialect::Classic);
    } else {
      strError = "неизвестный параметр " + arg;
    }
  }
  if (!strError.empty())
    return std::nullopt;
  return call;
}

/// Checks what the options say together; empty when the call can go ahead.
std::string CheckInvocation(const Invocation& call) {
  if (call.bHelp || call.bVersion)
    return {};
  if (call.bCheck && call.flowFile)
    return "--check и --flow нельзя указывать вместе";
  const std::size_t nMaxFiles = call.bCheck || call.flowFile ? 1 : 2;
  if (call.vecFiles.empty())
    return "не указан файл сценария IVR";
  if (call.vecFiles.size() > nMaxFiles)
    return "лишний аргумент " + call.vecFiles[nMaxFiles];
  if (call.flowFile && call.flowFile->empty())
    return "параметру --flow нужно имя файла схемы";
  if (call.flowFile && !FlowFormatOfPath(*call.flowFile))
    return "неизвестный формат схемы " + *call.flowFile +
           ": расширение должно быть .svg, .png, .pdf, .dot или .json";
  if (!call.strEncoding.empty() && !IsKnownEncoding(call.strEncoding))
    return "неизвестная кодировка " + call.strEncoding;
  return {};
}

ExitStatus Convert(const Invocation& call, std::ostream& err) {
  CStreamMessageSink messages(err);
  CScenarioTable table;
  const std::string& strIvr = call.vecFiles[0];
  const std::string strVxml =
      call.vecFiles.size() > 1 ? call.vecFiles[1] : ProposeVxmlName(strIvr, call.dialect);
  std::string strBaseDir;
  ConversionOptions options;
  options.strEncoding = call.strEncoding;
  options.dialect = call.dialect;
  const ConversionOutcome outcome =
      RunConversion(strIvr, strVxml, strBaseDir, table, messages, options);
  return outcome == ConversionOutcome::Converted ? ExitStatus::Success : ExitStatus::Failure;
}

/// Loads the set as the conversion does and writes its call flow instead of the document.
ExitStatus Flow(const Invocation& call, std::ostream& err) {
  CStreamMessageSink messages(err);
  ConversionOptions options;
  options.strEncoding = call.strEncoding;
  const FlowOutcome outcome = RunFlow(call.vecFiles[0], *call.flowFile,
                                      *FlowFormatOfPath(*call.flowFile), messages, options);
  return outcome == FlowOutcome::Written ? ExitStatus::Success : ExitStatus::Failure;
}

/// Reads the set exactly as the conversion does and prints every finding.
ExitStatus Check(const Invocation& call, std::ostream& err) {
  ConversionOptions options;
  options.strEncoding = call.strEncoding;
  options.dialect = call.dialect;
  const std::vector<Finding> findings = RunCheck(call.vecFiles[0], options);
  for (const Finding& finding : findings)
    err << FormatFinding(finding) << '\n';
  if (HasFindings(findings, Severity::Error))
    return ExitStatus::Failure;
  return HasFindings(findings, Severity::Warning) ? ExitStatus::Warnings : ExitStatus::Success;
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
  std::string strError;
  const std::optional<Invocation> call = ParseArguments(args, strError);
  if (call && strError.empty())
    strError = CheckInvocation(*call);
  if (!strError.empty()) {
    err << "error: " << kProgram << ": " << strError << '\n'
        << "  справка: " << kProgram << " --help\n";
    return ExitStatus::Usage;
  }
  if (call->bHelp) {
    out << kHelp;
    return ExitStatus::Success;
  }
  if (call->bVersion) {
    out << kProgram << ' ' << Version() << '\n';
    return ExitStatus::Success;
  }
  SilenceLibXmlReports(); // every failure reaches standard error once, as a message line
  ExitStatus status = ExitStatus::Failure;
  CStreamMessageSink messages(err);
  const bool bFinished = ReportExceptions(messages, [&] {
    if (call->bCheck)
      status = Check(*call, err);
    else if (call->flowFile)
      status = Flow(*call, err);
    else
      status = Convert(*call, err);
  });
  return bFinished ? status : ExitStatus::Failure;
}

} // namespace dovetrel
