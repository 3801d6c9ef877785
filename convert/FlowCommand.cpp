#include "convert/FlowCommand.h"

#include "convert/Texts.h"
#include "diagram/FlowJson.h"
#include "flow/CallFlow.h"
#include "scenario/Paths.h"
#include "scenario/ScenarioTable.h"

namespace dovetrel {

bool MakeFlowBytes(const CallFlow& flow, const std::string& strEncoding, FlowFormat format,
                   std::string& strBytes, IMessageSink& messages, const DiagramMarks* pMarks) {
  std::string strReason;
  if (!IsDrawnFormat(format)) {
    if (WriteFlowJson(flow, strEncoding, strBytes, strReason, pMarks))
      return true;
    ShowFailure(messages, FindingCode::CannotDraw, text::kCannotDraw, {.strNote = strReason});
    return false;
  }
  const CDiagramModule* pModule = CDiagramModule::Load(strReason);
  if (!pModule) {
    messages.ShowMessage(Finding{FindingCode::CannotLoadModule,
                                 Severity::Error,
                                 std::string(text::kCannotLoadModule),
                                 {},
                                 0,
                                 0,
                                 0,
                                 strReason},
                         MessageKind::Error);
    return false;
  }
  if (pModule->Draw(flow, strEncoding, format, strBytes, strReason, pMarks))
    return true;
  ShowFailure(messages, FindingCode::CannotDraw, text::kCannotDraw, {.strNote = strReason});
  return false;
}

bool WriteFlowFile(const std::string& strPath, const std::string& strBytes,
                   const LoadedFlow& loaded, const ConversionOptions& options,
                   IMessageSink& messages) {
  return WriteSideFile(strPath, strBytes, loaded.files,
                       {FindingCode::TargetIsScenario, text::kFlowTargetIsScenario,
                        FindingCode::CannotWriteFlow, text::kCannotWriteFlow},
                       messages, options.pOutput);
}

std::optional<LoadedFlow> LoadFlow(const std::string& strIvrFile, IMessageSink& messages,
                                   const ConversionOptions& options) {
  CScenarioTable table;
  const ReadContext reading{messages, options.pFiles ? *options.pFiles : SystemInputFiles(),
                            options.pObserver};
  if (strIvrFile.empty() || !LoadScenarioSet(strIvrFile, DirectoryOf(strIvrFile), table, reading)) {
    if (strIvrFile.empty())
      ShowFailure(messages, FindingCode::NameMissing, text::kNameMissing, {});
    else
      ShowFailure(messages, FindingCode::LoadFailed, text::kLoadFailed, {});
    return std::nullopt;
  }
  return LoadedFlow{BuildCallFlow(table),
                    options.strEncoding.empty() ? DetectSourceEncoding(table) : options.strEncoding,
                    table.FilePaths()};
}

FlowOutcome RunFlow(const std::string& strIvrFile, const std::string& strFlowFile,
                    FlowFormat format, IMessageSink& messages, const ConversionOptions& options,
                    const DiagramMarks* pMarks) {
  if (strIvrFile.empty() || strFlowFile.empty()) {
    ShowFailure(messages, FindingCode::NameMissing, text::kNameMissing, {});
    return FlowOutcome::NameMissing;
  }
  const std::optional<LoadedFlow> loaded = LoadFlow(strIvrFile, messages, options);
  if (!loaded)
    return FlowOutcome::LoadFailed;
  if (const std::string strSame = FindSetFile(strFlowFile, loaded->files); !strSame.empty()) {
    ShowFailure(messages, FindingCode::TargetIsScenario, text::kFlowTargetIsScenario,
                {.strFile = strSame});
    return FlowOutcome::TargetIsScenario;
  }
  std::string strBytes;
  if (!MakeFlowBytes(loaded->flow, loaded->strEncoding, format, strBytes, messages, pMarks))
    return FlowOutcome::NotDrawn;
  if (!WriteFlowFile(strFlowFile, strBytes, *loaded, options, messages))
    return FlowOutcome::WriteFailed;
  messages.ShowMessage(Finding{FindingCode::None, Severity::Information,
                               std::string(text::kFlowWritten), strFlowFile},
                       MessageKind::Information);
  return FlowOutcome::Written;
}

} // namespace dovetrel
