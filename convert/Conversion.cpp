#include "convert/Conversion.h"

#include "convert/Texts.h"
#include "flow/CallFlow.h"
#include "scenario/Paths.h"
#include "scenario/ScenarioCheck.h"
#include "vxml/VoiceXmlWriter.h"
#include "vxml/W3cWriter.h"

#include <filesystem>
#include <new>
#include <optional>

namespace dovetrel {

namespace {

/// Hands the rows of the loaded table that never act to \p checker, and those that the document
/// of \p dialect leaves out.
void AddFlowFindings(CScenarioChecker& checker, const CScenarioTable& table,
                     Dialect dialect) {
  const CallFlow flow = BuildCallFlow(table);
  std::vector<FlowFinding> findings = FindInertRows(flow);
  if (dialect == Dialect::W3c) {
    std::vector<FlowFinding> leftOut = FindRowsLeftOut(flow);
    findings.insert(findings.end(), leftOut.begin(), leftOut.end());
  }
  for (FlowFinding& finding : findings)
    checker.WarnAtKey(finding.source.strFile, finding.source.nLine, std::move(finding.strText));
}

} // namespace

std::string FindSetFile(const std::string& strPath, const CScenarioTable& table) {
  return FindSetFile(strPath, table.FilePaths());
}

std::string FindSetFile(const std::string& strPath, const std::vector<std::string>& files) {
  for (const std::string& strFile : files) {
    std::error_code error;
    if (std::filesystem::equivalent(strPath, strFile, error))
      return strFile;
  }
  return {};
}

bool WriteSideFile(const std::string& strPath, std::string_view bytes,
                   const std::vector<std::string>& setFiles, const SideFileTexts& texts,
                   IMessageSink& messages, IXmlOutputFactory* pOutput) {
  if (const std::string strSame = FindSetFile(strPath, setFiles); !strSame.empty()) {
    ShowFailure(messages, texts.sameCode, texts.sameText, {strSame, 0, {}});
    return false;
  }
  std::string strReason;
  const std::unique_ptr<IOutputStream> pStream =
      pOutput ? pOutput->CreateStream(strPath, strReason) : CreateReplacingFile(strPath, strReason);
  if (pStream && pStream->Write(bytes.data(), bytes.size()) && pStream->Commit())
    return true;
  if (pStream)
    strReason = pStream->Reason();
  ShowFailure(messages, texts.failCode, texts.failText, {strPath, 0, strReason});
  return false;
}

std::string ProposeVxmlName(const std::string& strIvrFile, Dialect dialect) {
  const std::string_view name = FileNameOf(strIvrFile);
  return DirectoryOf(strIvrFile) + std::string(name.substr(0, name.find('.'))) +
         (dialect == Dialect::W3c ? ".w3c.vxml" : ".vxml");
}

ConversionOutcome RunConversion(const std::string& strIvrFile, const std::string& strVxmlFile,
                                std::string& strBaseDir, CScenarioTable& table,
                                IMessageSink& messages, const ConversionOptions& options) {
  strBaseDir = DirectoryOf(strIvrFile);
  if (strIvrFile.empty() || strVxmlFile.empty()) {
    ShowFailure(messages, FailureCode::NameMissing, text::kNameMissing, {});
    return ConversionOutcome::NameMissing;
  }
  std::optional<CScenarioChecker> checker;
  if (options.bReportWarnings && !options.pObserver)
    checker.emplace(strBaseDir);
  const ReadContext reading{messages, options.pFiles ? *options.pFiles : SystemInputFiles(),
                            checker ? &*checker : options.pObserver};
  if (!LoadScenarioSet(strIvrFile, strBaseDir, table, reading)) {
    ShowFailure(messages, FailureCode::LoadFailed, text::kLoadFailed, {});
    return ConversionOutcome::LoadFailed;
  }
  if (const std::string strSame = FindSetFile(strVxmlFile, table); !strSame.empty()) {
    ShowFailure(messages, FailureCode::TargetIsScenario, text::kTargetIsScenario,
                MessageDetail{strSame, 0, {}});
    ShowFailure(messages, FailureCode::ConvertFailed, text::kConvertFailed, {});
    return ConversionOutcome::TargetIsScenario;
  }
  const WriteContext writing{messages, options.pOutput ? *options.pOutput : SystemXmlOutput(),
                             options.strEncoding, options.dialect};
  if (!WriteVoiceXml(strVxmlFile, table, writing)) {
    ShowFailure(messages, FailureCode::ConvertFailed, text::kConvertFailed, {});
    return ConversionOutcome::WriteFailed;
  }
  MessageDetail warnings;
  if (checker) {
    checker->CheckTableUse(table);
    AddFlowFindings(*checker, table, options.dialect);
    // The document is written: what --check calls an error (CR line ends) is a warning here.
    for (Diagnostic diagnostic : checker->Diagnostics()) {
      diagnostic.severity = Severity::Warning;
      if (!warnings.strNote.empty())
        warnings.strNote += '\n';
      warnings.strNote += FormatDiagnostic(diagnostic);
    }
  }
  messages.ShowMessage(text::kConverted, MessageKind::Information, warnings);
  return ConversionOutcome::Converted;
}

std::vector<Diagnostic> RunCheck(const std::string& strIvrFile, const ConversionOptions& options) {
  const std::string strBaseDir = DirectoryOf(strIvrFile);
  CScenarioChecker checker(strBaseDir);
  CFailureCollector failures(checker);
  CScenarioTable table;
  const ReadContext reading{failures, options.pFiles ? *options.pFiles : SystemInputFiles(),
                            &checker};
  const bool bLoaded = LoadScenarioSet(strIvrFile, strBaseDir, table, reading);
  AddFlowFindings(checker, table, options.dialect);
  if (bLoaded) {
    checker.CheckTableUse(table);
    (void)WriteVoiceXml(
        strIvrFile, table,
        WriteContext{failures, DiscardingXmlOutput(), options.strEncoding, options.dialect});
  }
  return checker.Diagnostics();
}

bool ReportExceptions(IMessageSink& messages, const std::function<void()>& command) {
  MessageDetail detail;
  try {
    command();
    return true;
  } catch (const CFileReadError& error) {
    detail.code = FailureCode::ReadError;
    messages.ShowMessage(error.what(), MessageKind::Error, detail);
  } catch (const std::bad_alloc&) {
    detail.code = FailureCode::OutOfMemory;
    messages.ShowMessage(text::kOutOfMemory, MessageKind::Error, detail);
  } catch (const std::exception& error) {
    detail.code = FailureCode::Unexpected;
    messages.ShowMessage(error.what(), MessageKind::Error, detail);
  }
  return false;
}

} // namespace dovetrel
