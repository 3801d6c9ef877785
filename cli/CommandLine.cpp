#include "cli/CommandLine.h"

#include "cli/Options.h"
#include "convert/Conversion.h"
#include "convert/FlowCommand.h"
#include "vxml/XmlOutput.h"

#include <algorithm>
#include <optional>
#include <ostream>

namespace dovetrel {

namespace {

constexpr const char* kHelp = R"(Использование:
  dovetrel-convert [--dialect classic|w3c] [--encoding NAME] IVR_FILE [VXML_FILE]
  dovetrel-convert --check [--dialect classic|w3c] [--encoding NAME] IVR_FILE
  dovetrel-convert --flow FILE [--encoding NAME] IVR_FILE
  dovetrel-convert --help | --version

Преобразует сценарий IVR (главный файл и все вложенные сценарии, которые
называют его строки menu) в один документ VoiceXML.

%OPTIONS%

Сообщения выводятся в стандартный поток ошибок, по одному в строке:
«ВИД: ТЕКСТ», подробности (файл и строка) — на следующей строке с отступом.

Коды завершения: 0 — успех; 1 — преобразование не удалось;
2 — неверный вызов; 3 — (--check) есть только предупреждения.
)";

/// What the command line asked for.
struct Invocation {
  bool bCheck = false;
  std::optional<std::string> flowFile; ///< --flow FILE
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
                     "сообщает о строках, которые он не может передать)",
                     "кодировка файлов сценария, любое имя, известное iconv\n"
                     "(например WINDOWS-1251, KOI8-R); по умолчанию UTF-8, если\n"
                     "все тексты сценария в UTF-8, иначе WINDOWS-1251");
  line.add_flag("--check", call.bCheck, "только проверить сценарий, ничего не записывая");
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
  return [&call]() -> std::string {
    if (call.bCheck && call.flowFile)
      return "--check и --flow нельзя указывать вместе";
    const std::size_t nMax = call.bCheck || call.flowFile ? 0 : 1;
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

/// Loads the set as the conversion does and writes its call flow instead of the document.
ExitStatus Flow(const Invocation& call, std::ostream& err) {
  CStreamMessageSink messages(err);
  const FlowOutcome outcome = RunFlow(call.strIvr, *call.flowFile,
                                      *FlowFormatOfPath(*call.flowFile), messages, call.options);
  return outcome == FlowOutcome::Written ? ExitStatus::Success : ExitStatus::Failure;
}

/// Reads the set exactly as the conversion does and prints every finding.
ExitStatus Check(const Invocation& call, std::ostream& err) {
  const std::vector<Finding> findings = RunCheck(call.strIvr, call.options);
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
    else if (call.flowFile)
      status = Flow(call, err);
    else
      status = Convert(call, err);
  });
  return bFinished ? status : ExitStatus::Failure;
}

} // namespace dovetrel
