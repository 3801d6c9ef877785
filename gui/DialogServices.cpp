#include "gui/DialogServices.h"

#include "gui/Texts.h"

#include <filesystem>
#include <system_error>

namespace dovetrel {

std::string AbsolutePath(const std::string& strPath) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(strPath, error);
  if (error)
    return strPath;
  // The folder as the system resolves it, so that "sub/../out.vxml" names the folder the file is
  // really in even where "sub" is a link.
  const std::filesystem::path folder =
      std::filesystem::weakly_canonical(absolute.parent_path(), error);
  if (error)
    return absolute.string();
  return (folder / absolute.filename()).string();
}

MessageReply CBoxMessageSink::ShowMessage(const Finding& finding, MessageKind kind) {
  // Information is the success of the conversion; every other kind is an ordinary box.
  if (kind != MessageKind::Information)
    return m_services.ShowBox(kind, EscapeControls(finding.strText), finding);
  ShowSuccess(finding);
  return MessageReply::Ok;
}

void CBoxMessageSink::ShowSuccess(const Finding& success) {
  // The conversion hands its warnings over with the success, each shown as one line.
  ConversionReport report{AbsolutePath(m_strDocument), {}};
  for (const Finding& warning : success.vecRelated)
    report.warnings.push_back(FormatFinding(warning));
  if (m_services.ShowSuccess(EscapeControls(success.strText), report) != SuccessReply::OpenFolder)
    return;
  const std::string strFolder = std::filesystem::path(report.strDocument).parent_path().string();
  if (m_services.OpenFolder(strFolder))
    return;
  m_services.ShowBox(MessageKind::Warning, text::kCannotOpenFolder,
                     {FindingCode::CannotOpenFolder, Severity::Error, {}, strFolder});
}

} // namespace dovetrel
