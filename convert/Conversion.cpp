#include "convert/Conversion.h"

#include "convert/Texts.h"
#include "scenario/ScenarioCheck.h"
#include "vxml/VoiceXmlWriter.h"

#include <optional>

namespace dovetrel {

std::string BaseDirectoryOf(const std::string& strIvrFile) {
  const std::size_t nSlash = strIvrFile.rfind('/');
  return nSlash == std::string::npos ? std::string() : strIvrFile.substr(0, nSlash + 1);
}

std::string ProposeVxmlName(const std::string& strIvrFile) {
  const std::size_t nNameStart = strIvrFile.rfind('/') + 1; // 0 when there is no '/'
  const std::size_t nDot = strIvrFile.find('.', nNameStart);
  return strIvrFile.substr(0, nDot) + ".vxml";
}

ConversionOutcome RunConversion(const std::string& strIvrFile, const std::string& strVxmlFile,
                                std::string& strBaseDir, CScenarioConverter& converter,
                                IMessageSink& messages, const ConversionOptions& options) {
  strBaseDir = BaseDirectoryOf(strIvrFile);
  if (strIvrFile.empty() || strVxmlFile.empty()) {
    messages.ShowMessage(text::kNameMissing, MessageKind::Warning);
    return ConversionOutcome::NameMissing;
  }
  std::optional<CScenarioChecker> checker;
  if (options.bReportWarnings && !options.pObserver)
    checker.emplace(strBaseDir);
  const ReadContext reading{messages, options.pFiles ? *options.pFiles : SystemInputFiles(),
                            checker ? &*checker : options.pObserver};
  if (!LoadScenarioSet(strIvrFile, strBaseDir, converter, reading)) {
    messages.ShowMessage(text::kLoadFailed, MessageKind::Warning);
    return ConversionOutcome::LoadFailed;
  }
  const WriteContext writing{messages, options.pOutput ? *options.pOutput : SystemXmlOutput(),
                             options.strEncoding};
  if (!WriteVoiceXml(strVxmlFile, converter, writing)) {
    messages.ShowMessage(text::kConvertFailed, MessageKind::Warning);
    return ConversionOutcome::WriteFailed;
  }
  MessageDetail warnings;
  if (checker) {
    checker->Finish();
    for (const Diagnostic& diagnostic : checker->Diagnostics())
      warnings.strNote += (warnings.strNote.empty() ? "" : "\n") + FormatDiagnostic(diagnostic);
  }
  messages.ShowMessage(text::kConverted, MessageKind::Information, warnings);
  return ConversionOutcome::Converted;
}

} // namespace dovetrel
