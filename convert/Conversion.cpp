#include "convert/Conversion.h"

#include "convert/Greetings.h"
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
void AddFlowFindings(CScenarioChecker& checker, const CScenarioTable& table, Dialect dialect) {
  const CallFlow flow = BuildCallFlow(table);
  std::vector<Finding> findings = FindInertRows(flow);
  if (dialect == Dialect::W3c) {
    std::vector<Finding> leftOut = FindRowsLeftOut(flow);
    findings.insert(findings.end(), leftOut.begin(), leftOut.end());
  }
  for (Finding& finding : findings)
    checker.WarnAtKey(std::move(finding));
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
    ShowFailure(messages, texts.sameCode, texts.sameText, {.strFile = strSame});
    return false;
  }
  std::string strReason;
  const std::unique_ptr<IOutputStream> pStream =
      pOutput ? pOutput->CreateStream(strPath, strReason) : CreateReplacingFile(strPath, strReason);
  if (pStream && pStream->Write(bytes.data(), bytes.size()) && pStream->Commit())
    return true;
  if (pStream)
    strReason = pStream->Reason();
  ShowFailure(messages, texts.failCode, texts.failText, {.strFile = strPath, .strNote = strReason});
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
    ShowFailure(messages, FindingCode::NameMissing, text::kNameMissing, {});
    return ConversionOutcome::NameMissing;
  }
  std::optional<CScenarioChecker> checker;
  if (options.bReportWarnings && !options.pObserver)
    checker.emplace(strBaseDir);
  const ReadContext reading{messages, options.pFiles ? *options.pFiles : SystemInputFiles(),
                            checker ? &*checker : options.pObserver};
  if (!LoadScenarioSet(strIvrFile, strBaseDir, table, reading)) {
    ShowFailure(messages, FindingCode::LoadFailed, text::kLoadFailed, {});
    return ConversionOutcome::LoadFailed;
  }
  if (const std::string strSame = FindSetFile(strVxmlFile, table); !strSame.empty()) {
    ShowFailure(messages, FindingCode::TargetIsScenario, text::kTargetIsScenario,
                {.strFile = strSame});
    ShowFailure(messages, FindingCode::ConvertFailed, text::kConvertFailed, {});
    return ConversionOutcome::TargetIsScenario;
  }
  const WriteContext writing{messages, options.pOutput ? *options.pOutput : SystemXmlOutput(),
                             options.strEncoding, options.dialect};
  if (!WriteVoiceXml(strVxmlFile, table, writing)) {
    ShowFailure(messages, FindingCode::ConvertFailed, text::kConvertFailed, {});
    return ConversionOutcome::WriteFailed;
  }
  Finding converted{FindingCode::None, Severity::Information, std::string(text::kConverted)};
  if (checker) {
    checker->CheckTableUse(table);
    AddFlowFindings(*checker, table, options.dialect);
    converted.vecRelated = checker->Findings();
    // The document is written: what --check calls an error (CR line ends) is a warning here.
    for (Finding& warning : converted.vecRelated)
      warning.severity = Severity::Warning;
  }
  messages.ShowMessage(converted, MessageKind::Information);
  return ConversionOutcome::Converted;
}

std::vector<Finding> RunCheck(const std::string& strIvrFile, const ConversionOptions& options,
                              CScenarioTable* pLoaded) {
  const std::string strBaseDir = DirectoryOf(strIvrFile);
  CScenarioChecker checker(strBaseDir);
  CScenarioTable own;
  CScenarioTable& table = pLoaded ? *pLoaded : own;
  const ReadContext reading{checker, options.pFiles ? *options.pFiles : SystemInputFiles(),
                            &checker};
  const bool bLoaded = LoadScenarioSet(strIvrFile, strBaseDir, table, reading);
  AddFlowFindings(checker, table, options.dialect);
  if (bLoaded) {
    checker.CheckTableUse(table);
    if (options.pAudio != nullptr) {
      const std::string strEncoding =
          options.strEncoding.empty() ? DetectSourceEncoding(table) : options.strEncoding;
      for (Finding& finding :
           FindGreetingFindings(BuildCallFlow(table), strEncoding, *options.pAudio))
        checker.AddAtGreeting(std::move(finding));
    }
    (void)WriteVoiceXml(
        strIvrFile, table,
        WriteContext{checker, DiscardingXmlOutput(), options.strEncoding, options.dialect});
  }
  return checker.Findings();
}

bool ReportExceptions(IMessageSink& messages, const std::function<void()>& command) {
  Finding failure;
  try {
    command();
    return true;
  } catch (const CFileReadError& error) {
    failure = Finding{FindingCode::ReadError, Severity::Error, error.what()};
  } catch (const std::bad_alloc&) {
    failure = Finding{FindingCode::OutOfMemory, Severity::Error, std::string(text::kOutOfMemory)};
  } catch (const std::exception& error) {
    failure = Finding{FindingCode::Unexpected, Severity::Error, error.what()};
  }
  messages.ShowMessage(failure, MessageKind::Error);
  return false;
}

} // namespace dovetrel
